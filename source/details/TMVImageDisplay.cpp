#include "TMVImageDisplay.h"

#include "DetailGeometry.h"
#include "DetailText.h"
#include "markup/VisualPainting.h"
#include "pictures/GifFile.h"
#include "pictures/GraphicTools.h"
#include "pictures/JpegFile.h"
#include "pictures/PictureLimits.h"
#include "pictures/PngFile.h"

#include "common/FileUtils.h"

#include <QFileInfo>
#include <QMouseEvent>
#include <QPainter>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr TColor kFrameColor = 0x959595;
constexpr TColor kShadowColor = 0xD0D0D0;
constexpr TColor kOuterShadowColor = 0xEFEFEF;
constexpr int kPlaceholderTop = 18;

} // namespace

TMVImageDisplay::TMVImageDisplay(QWidget* parent) : QWidget(parent)
{
    m_zoomGlyph = GraphicTools::LoadPngResource(u"idZoom"_s);
    setMouseTracking(true);
    resize(140, 140);
}

TMVImageDisplay::~TMVImageDisplay() = default;

void TMVImageDisplay::SetColor(TColor color)
{
    m_color = color;
    update();
}

void TMVImageDisplay::SetZoomText(const QString& text)
{
    m_zoomText = text;
    update();
}

void TMVImageDisplay::SetZoomColor(TColor color)
{
    m_zoomColor = color;
    update();
}

void TMVImageDisplay::SetBorder(int border)
{
    if (border < 1 || border > 9)
        return;
    m_border = border;
    update();
}

void TMVImageDisplay::ShowNoImage()
{
    ShowPlaceholder(isNoImage, u"idNoImage"_s);
}

void TMVImageDisplay::ShowLoading()
{
    ShowPlaceholder(isLoading, u"idLoadingImage"_s);
}

void TMVImageDisplay::ShowPlaceholder(TState state, const QString& pictureName)
{
    if (m_state == state)
        return;
    m_state = state;
    m_picture = GraphicTools::LoadPngResource(pictureName);
    m_pressed = false;
    unsetCursor();
    repaint();
}

void TMVImageDisplay::LoadImageFile(const QString& fileName)
{
    const QFileInfo info(fileName);
    const QString extension = info.suffix().toLower();
    QImage (*decode)(QByteArrayView, qsizetype) = nullptr;
    if (extension == u"jpg"_s || extension == u"jpeg"_s)
        decode = JpegFile::Read;
    else if (extension == u"png"_s)
        decode = PngFile::Read;
    else if (extension == u"gif"_s)
        decode = GifFile::Read;
    else
        throw EMVImageDisplayException(u"Invalid Image File Format! ("_s + info.fileName() + u")"_s);

    const std::optional<QByteArray> bytes = FileUtils::ReadWholeFile(fileName);
    if (!bytes)
        throw EFileError(u"Cannot read file \"%1\"."_s.arg(fileName));
    // Decoded before anything changes, so that a bad file leaves the display as it was.
    QImage picture = decode(*bytes, PictureLimits::kCatalogPicture);
    m_picture = std::move(picture);
    m_fileName = fileName;
    m_state = isImage;
    m_pressed = false;
    update();
}

QRect TMVImageDisplay::ImageRect() const
{
    if (m_state != isImage)
        return {};
    return DetailGeometry::ImageRect(size(), m_border, m_picture.size());
}

void TMVImageDisplay::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), ColorToQColor(m_color));
    switch (m_state) {
    case isEmpty:
        break;
    case isNoImage:
    case isLoading:
        // Transparent pixels of the picture show the background colour.
        painter.drawImage(DetailGeometry::CentredOffset(width(), m_picture.width()), kPlaceholderTop,
                          m_picture);
        break;
    case isImage:
        PaintImage(painter);
        break;
    }
}

void TMVImageDisplay::PaintImage(QPainter& painter)
{
    const QRect image = ImageRect();
    painter.drawImage(image.topLeft(), m_picture);

    const QRect frame = image.adjusted(-2, -2, 2, 2);
    VisualPainting::Rectangle(painter, frame, ColorToQColor(kFrameColor), Qt::transparent);
    const int left = frame.x();
    const int top = frame.y();
    const int right = frame.x() + frame.width();
    const int bottom = frame.y() + frame.height();
    const QColor shadow = ColorToQColor(kShadowColor);
    VisualPainting::Line(painter, QPoint(left + 1, bottom), QPoint(right, bottom), shadow);
    VisualPainting::Line(painter, QPoint(right, bottom), QPoint(right, top), shadow);
    const QColor outer = ColorToQColor(kOuterShadowColor);
    VisualPainting::Line(painter, QPoint(left + 2, bottom + 1), QPoint(right + 1, bottom + 1), outer);
    VisualPainting::Line(painter, QPoint(right + 1, bottom + 1), QPoint(right + 1, top + 1), outer);

    const int textWidth = DetailText::LineSize(font(), m_zoomText).width();
    const DetailGeometry::TZoomLinkPlacement zoom =
        DetailGeometry::ZoomLinkPlacement(size(), m_border, image, m_zoomGlyph.width(), textWidth);
    painter.setFont(font());
    painter.setPen(ColorToQColor(m_zoomColor));
    DetailText::DrawLine(painter, zoom.Zone, m_zoomText,
                         DetailText::HideMnemonic | (zoom.Elided ? DetailText::Ellipsis : 0));
    painter.drawImage(zoom.GlyphPos, m_zoomGlyph);
    m_zoomZone = zoom.Zone;
}

bool TMVImageDisplay::InZone(QPoint point) const
{
    return ZoomZone().contains(point);
}

void TMVImageDisplay::mousePressEvent(QMouseEvent* event)
{
    m_pressed = InZone(event->position().toPoint());
    QWidget::mousePressEvent(event);
}

void TMVImageDisplay::mouseMoveEvent(QMouseEvent* event)
{
    if (InZone(event->position().toPoint()))
        setCursor(Qt::PointingHandCursor);
    else
        unsetCursor();
    QWidget::mouseMoveEvent(event);
}

void TMVImageDisplay::mouseReleaseEvent(QMouseEvent* event)
{
    const bool pressed = m_pressed;
    m_pressed = false;
    if (pressed && InZone(event->position().toPoint()) && OnZoomClick)
        OnZoomClick(*this);
    else
        QWidget::mouseReleaseEvent(event);
}
