#include "TMVWebElement.h"

#include "TFlashThread.h"
#include "TMVWebElementDrag.h"
#include "TileText.h"
#include "markup/CountBadge.h"
#include "markup/MnemonicText.h"
#include "markup/VisualPainting.h"
#include "pictures/GraphicTools.h"
#include "pictures/RectEdges.h"

#include "TMorvalenBaseClass.h"
#include "common/Errors.h"
#include "stores/TFavoriteIconManager.h"
#include "stores/TThumbnailManager.h"

#include <QDrag>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QTimer>
#include <QToolTip>

using namespace Qt::Literals::StringLiterals;
using namespace TileGeometry;

namespace {

constexpr TColor kFocusBorder = 0xFF0000;
constexpr TColor kPlainBorder = 0xCEBEBD;
constexpr TColor kFlashBorder = 0x0000FF;
constexpr TColor kShadow = 0xE3E3E3;
constexpr TColor kOuterShadow = 0xF5F5F5;
constexpr TColor kCardBottom = 0xD4EFF6;
constexpr TColor kHeaderBottom = 0xFFE7E7;
constexpr TColor kFlashHeaderBottom = 0x00FFFF;
constexpr TColor kHeaderLine = 0xCECECE;
constexpr TColor kTitleShadowFar = 0xECECEC;
constexpr TColor kTitleShadowNear = 0xD4D4D4;
constexpr TColor kFocusedTitle = 0x000080;
constexpr TColor kTitle = 0x000000;
constexpr TColor kAddress = 0xF06048;
constexpr TColor kUnfocusedDescription = 0x808080;
// The moon of a sleeping site: a night blue.
constexpr TColor kSleepingMoon = 0x9C6A4A;

constexpr uint32_t kFlashInterval = 200;
constexpr int kFlashTicks = 5;

const char* const kPopupComponent = "TMVWebElementPopupComponent";

using RectEdges::Bottom;
using RectEdges::Right;

const QFont& TitleFont()
{
    static const QFont font(u"Tahoma"_s, 10, QFont::Bold);
    return font;
}

const QFont& TextFont()
{
    static const QFont font(u"Tahoma"_s, 8);
    return font;
}

// Pictures with alpha are blended fastest premultiplied; the colours stay as they were.
QImage Paintable(const QImage& picture)
{
    return picture.isNull() ? QImage() : picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

const QFontMetrics& TitleMetrics()
{
    static const QFontMetrics metrics(TitleFont());
    return metrics;
}

const QFontMetrics& TextMetrics()
{
    static const QFontMetrics metrics(TextFont());
    return metrics;
}

} // namespace

TMVWebElement::TMVWebElement(QWidget* parent) : QWidget(parent)
{
    // Decoded once for all tiles; the copies share the pixels.
    static const QImage closeImage =
        Paintable(GraphicTools::LoadPngResource(u"wiClose"_s, GraphicTools::ProgramPixelRatio()));
    static const QImage runImage =
        Paintable(GraphicTools::LoadPngResource(u"wiRun"_s, GraphicTools::ProgramPixelRatio()));
    static const QImage shortcutImage =
        Paintable(GraphicTools::LoadPngResource(u"wiShortCut"_s, GraphicTools::ProgramPixelRatio()));
    m_closeImage = closeImage;
    m_runImage = runImage;
    m_shortcutImage = shortcutImage;
    m_zones[zoneRun].Hint = u"Open in Browser"_s;
    m_zones[zoneClose].Hint = u"Close current browser"_s;
    ExecuteDrag = [](QDrag& drag) {
        drag.exec(Qt::MoveAction);
    };
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAcceptDrops(true);
    resize(kWidth, kHeight);
}

TMVWebElement::~TMVWebElement()
{
    StopFlash();
    if (m_popupMenu && PopupComponentOf(m_popupMenu.data()) == this)
        m_popupMenu->setProperty(kPopupComponent, QVariant());
}

void TMVWebElement::SetColor(TColor color)
{
    m_color = color;
    update();
}

TMVWebElement* TMVWebElement::PopupComponentOf(const QMenu* menu)
{
    if (!menu)
        return nullptr;
    return qobject_cast<TMVWebElement*>(menu->property(kPopupComponent).value<QObject*>());
}

void TMVWebElement::SetIcon(const TExIcon& icon)
{
    m_icon.Assign(icon);
    IconChanged();
    update();
}

void TMVWebElement::IconChanged()
{
    m_iconPicture = QImage();
    if (m_icon.Empty())
        return;
    try {
        m_iconPicture = Paintable(m_icon.Handle());
    } catch (const EMorvalenError&) {
        // An image that does not decode shows as no icon.
    }
}

void TMVWebElement::SetThumbnail(const QImage& thumbnail)
{
    m_thumbnail = Paintable(thumbnail);
    update();
}

void TMVWebElement::SetHasBrowser(bool hasBrowser)
{
    m_hasBrowser = hasBrowser;
    if (!hasBrowser)
        m_sleeping = false;
    update();
}

void TMVWebElement::SetSleeping(bool sleeping)
{
    if (sleeping == m_sleeping)
        return;
    m_sleeping = sleeping;
    update();
}

void TMVWebElement::SetUnreadCount(int count, bool old)
{
    count = std::max(count, 0);
    if (count == m_unreadCount && old == m_unreadCountOld)
        return;
    m_unreadCount = count;
    m_unreadCountOld = old;
    update();
}

void TMVWebElement::SetMorvalenItem(TMorvalenBaseClass* item, TImageLoading loading)
{
    m_item = item;
    m_imagesPending = false;
    if (item && loading == ImagesNow)
        ReloadImages();
    else if (item)
        m_imagesPending = true;
    update();
}

void TMVWebElement::LoadPendingImages()
{
    if (m_imagesPending)
        ReloadImages();
}

void TMVWebElement::ReloadImages()
{
    m_imagesPending = false;
    if (!m_item)
        return;
    if (m_thumbnails) {
        m_thumbnails->LoadThumbnail(m_item->URL(), m_thumbnail);
        m_thumbnail = Paintable(m_thumbnail);
    }
    if (m_favoriteIcons && !m_item->FavIconFileName().isEmpty()) {
        GraphicTools::LoadBestSmallIcon(m_icon, m_favoriteIcons->Folder() + m_item->FavIconFileName(),
                                        QString());
        IconChanged();
    }
}

QRect TMVWebElement::ZoneRect(TZone zone) const
{
    const THotZone& hot = m_zones[zone];
    return hot.Visible ? hot.Bounds : QRect();
}

bool TMVWebElement::ShowsFocus() const
{
    return m_forcedFocusLook.value_or(hasFocus());
}

void TMVWebElement::ForceFocusLook(std::optional<bool> focused)
{
    m_forcedFocusLook = focused;
    update();
}

// ---------------------------------------------------------------------------------------
// Painting

void TMVWebElement::paintEvent(QPaintEvent*)
{
    LoadPendingImages();
    for (THotZone& zone : m_zones)
        zone.Visible = false;
    const bool focused = ShowsFocus();
    TTileContent content;
    content.HasThumbnail = !m_thumbnail.isNull();
    content.HasIcon = !m_iconPicture.isNull();
    content.ButtonShows = m_hasBrowser || focused;
    content.ShortcutHeight = int(m_shortcutImage.deviceIndependentSize().height());
    const TTileLayout layout = Layout(size(), content);

    QPainter painter(this);
    PaintCard(painter, layout, focused);
    PaintTexts(painter, layout, focused);
    PaintBadge(painter, layout);
    PaintMoon(painter, layout);
}

void TMVWebElement::PaintCard(QPainter& painter, const TTileLayout& layout, bool focused)
{
    const QColor window = ColorToQColor(clWindow);
    painter.fillRect(rect(), window);

    TColor border = focused ? kFocusBorder : kPlainBorder;
    if (m_flashing)
        border = m_flashPhase ? kPlainBorder : kFlashBorder;
    const QRect& card = layout.Card;
    // The outline on the card's border pixels; its inside has the window colour already.
    const QColor outline = ColorToQColor(border);
    painter.fillRect(QRect(card.x(), card.y(), card.width(), 1), outline);
    painter.fillRect(QRect(card.x(), card.bottom(), card.width(), 1), outline);
    painter.fillRect(QRect(card.x(), card.y(), 1, card.height()), outline);
    painter.fillRect(QRect(card.right(), card.y(), 1, card.height()), outline);

    const int left = card.x();
    const int top = card.y();
    const int right = Right(card);
    const int bottom = Bottom(card);
    const QColor shadow = ColorToQColor(kShadow);
    VisualPainting::Line(painter, QPoint(left + 1, bottom), QPoint(right, bottom), shadow);
    VisualPainting::Line(painter, QPoint(right, bottom), QPoint(right, top), shadow);
    const QColor outer = ColorToQColor(kOuterShadow);
    VisualPainting::Line(painter, QPoint(left + 2, bottom + 1), QPoint(right + 1, bottom + 1), outer);
    VisualPainting::Line(painter, QPoint(right + 1, bottom + 1), QPoint(right + 1, top + 1), outer);

    // The flash look wins over the focus look; its plain phase shows the bare card.
    const bool flashLook = m_flashing && !m_flashPhase;
    if ((focused && !m_flashing) || flashLook) {
        const QRect& header = layout.Header;
        GraphicTools::GradientFillRect(painter, layout.Inner, m_color, GraphicTools::gdVertical, kCardBottom);
        GraphicTools::GradientFillRect(painter, header, m_color, GraphicTools::gdVertical,
                                       flashLook ? kFlashHeaderBottom : kHeaderBottom);
        VisualPainting::Line(painter, QPoint(header.x(), Bottom(header)),
                             QPoint(Right(header), Bottom(header)), ColorToQColor(kHeaderLine));
    }

    if (m_hasBrowser) {
        painter.drawImage(layout.ButtonPos, m_closeImage);
        m_zones[zoneClose].Visible = true;
        m_zones[zoneClose].Bounds = layout.ButtonZone;
    } else if (focused) {
        painter.drawImage(layout.ButtonPos, m_runImage);
        m_zones[zoneRun].Visible = true;
        m_zones[zoneRun].Bounds = layout.ButtonZone;
    }

    if (!m_thumbnail.isNull()) {
        painter.drawImage(layout.ThumbnailPos, m_thumbnail);
        if (m_item && m_item->ShortcutKinds() != 0)
            painter.drawImage(layout.ShortcutPos, m_shortcutImage);
    }
    PaintIcon(painter, layout);
}

void TMVWebElement::PaintIcon(QPainter& painter, const TTileLayout& layout)
{
    if (m_iconPicture.isNull())
        return;
    painter.save();
    if (m_sleeping)
        painter.setOpacity(0.35);
    painter.drawImage(QRect(layout.IconPos, QSize(kIconSize, kIconSize)), m_iconPicture);
    painter.restore();
}

void TMVWebElement::PaintMoon(QPainter& painter, const TTileLayout& layout)
{
    if (!m_sleeping)
        return;
    // In the header left of the button and of the count, where a long title ends anyway: a
    // disc with a disc of the card's colour cut out of its upper right.
    const int middle = layout.Header.center().y();
    int right = layout.ButtonZone.left() - 3;
    if (m_unreadCount > 0)
        right = CountBadge::Bounds(CountBadge::Text(m_unreadCount), TextFont(), right, middle).left() - 3;
    constexpr qreal kMoon = 13;
    const QRectF moon(right - kMoon, middle - kMoon / 2 + 0.5, kMoon, kMoon);
    QPainterPath crescent;
    crescent.addEllipse(moon);
    QPainterPath bite;
    bite.addEllipse(moon.translated(kMoon * 0.38, -kMoon * 0.22));
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(ColorToQColor(kSleepingMoon));
    painter.drawPath(crescent.subtracted(bite));
    painter.restore();
}

void TMVWebElement::PaintBadge(QPainter& painter, const TTileLayout& layout)
{
    if (m_unreadCount <= 0)
        return;
    // In the header beside the button, over the end of a long title: the address colour
    // for a count of now, the description's grey for an old one.
    const QString text = CountBadge::Text(m_unreadCount);
    const QRect bounds =
        CountBadge::Bounds(text, TextFont(), layout.ButtonZone.left() - 3, layout.Header.center().y());
    CountBadge::Paint(painter, bounds, text, TextFont(),
                      ColorToQColor(m_unreadCountOld ? kUnfocusedDescription : kAddress));
}

void TMVWebElement::PaintTexts(QPainter& painter, const TTileLayout& layout, bool focused)
{
    const QString title = MnemonicText::HideMnemonics(m_item ? m_item->Title() : u"No element"_s);
    const QStaticText& shownTitle =
        TileText::FitLine(m_titleFit, title, TitleFont(), TitleMetrics(), layout.Title.width()).Static;
    painter.setFont(TitleFont());
    painter.setPen(ColorToQColor(kTitleShadowFar));
    TileText::DrawLine(painter, TitleMetrics(), layout.Title.translated(2, 2), shownTitle, true);
    painter.setPen(ColorToQColor(kTitleShadowNear));
    TileText::DrawLine(painter, TitleMetrics(), layout.Title.translated(1, 1), shownTitle, true);
    painter.setPen(ColorToQColor(focused ? kFocusedTitle : kTitle));
    TileText::DrawLine(painter, TitleMetrics(), layout.Title, shownTitle, true);

    if (!m_item)
        return;
    painter.setFont(TextFont());
    painter.setPen(ColorToQColor(kAddress));
    const QString address = AddressText(m_item->URL(), m_item->TabURLs().size());
    TileText::DrawLine(
        painter, TextMetrics(), layout.Address,
        TileText::FitLine(m_addressFit, address, TextFont(), TextMetrics(), layout.Address.width()).Static,
        false);

    QString description = m_item->Description();
    if (description.isEmpty() && focused && OnGetStatusText) {
        const auto handler = OnGetStatusText;
        handler(*this, description);
    }
    if (description.isEmpty())
        return;
    painter.setPen(ColorToQColor(focused ? clWindowText : kUnfocusedDescription));
    const QRect& area = layout.Description;
    const TileText::TFittedBlock& block =
        TileText::FitBlock(m_descriptionFit, description, TextFont(), area.width());
    if (block.OneLine) {
        TileText::DrawLine(painter, TextMetrics(), area, block.Static.front(), true);
        return;
    }
    // Two lines from the area's top; the second may reach a little below the area.
    for (size_t i = 0; i < block.Static.size(); ++i) {
        const int top = area.y() + int(i) * TextMetrics().height();
        TileText::DrawLine(painter, TextMetrics(), QRect(area.x(), top, area.width(), TextMetrics().height()),
                           block.Static[i], false);
    }
}

// ---------------------------------------------------------------------------------------
// Mouse, focus and context menu

TMVWebElement::TZone TMVWebElement::VisibleZoneAt(QPoint point) const
{
    for (const TZone zone : {zoneRun, zoneClose}) {
        if (m_zones[zone].Visible && m_zones[zone].Bounds.contains(point))
            return zone;
    }
    return zoneNone;
}

void TMVWebElement::ClearHint()
{
    if (toolTip().isEmpty())
        return;
    setToolTip(QString());
    QToolTip::hideText();
}

void TMVWebElement::mousePressEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    const TZone zone = event->button() == Qt::LeftButton ? VisibleZoneAt(point) : zoneNone;
    m_pressedZone = zone;
    if (zone == zoneNone) {
        m_dragArmed = true;
        m_dragPoint = point;
    }
    QWidget::mousePressEvent(event);
}

void TMVWebElement::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    const TZone zone = VisibleZoneAt(point);
    if (zone != zoneNone) {
        const THotZone& hot = m_zones[zone];
        setToolTip(hot.Hint);
        QToolTip::showText(event->globalPosition().toPoint(), hot.Hint, this, hot.Bounds);
        setCursor(Qt::PointingHandCursor);
        return;
    }
    ClearHint();
    unsetCursor();
    if (m_dragArmed && DragThresholdReached(m_dragPoint, point)) {
        m_dragPoint = point;
        m_dragArmed = false;
        StartDrag(point);
    }
}

void TMVWebElement::mouseReleaseEvent(QMouseEvent* event)
{
    const TZone pressed = m_pressedZone;
    const bool armed = m_dragArmed;
    m_pressedZone = zoneNone;
    m_dragArmed = false;
    const QPoint point = event->position().toPoint();
    if (event->button() == Qt::LeftButton && pressed != zoneNone && VisibleZoneAt(point) == pressed) {
        ClearHint();
        // A copy: the handler may replace the event or free the tile.
        const auto handler = pressed == zoneRun ? OnRunClick : OnCloseClick;
        if (handler)
            handler(*this);
        return;
    }
    // A right click that did not become a drag opens the menu.
    if (event->button() == Qt::RightButton && armed)
        ShowPopupMenu(event->globalPosition().toPoint());
}

void TMVWebElement::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        mousePressEvent(event);
        return;
    }
    // The second click of a double click on the button is no second run (or, once the
    // browser has opened, a close): the first click has done what the button does.
    m_pressedZone = zoneNone;
    m_dragArmed = false;
    if (VisibleZoneAt(event->position().toPoint()) != zoneNone)
        return;
    if (const auto handler = OnDblClick)
        handler(*this);
}

void TMVWebElement::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (event->modifiers() & ~Qt::KeypadModifier)
            break;
        event->accept();
        // A copy: the handler may free the tile.
        if (const auto handler = OnRunClick)
            handler(*this);
        return;
    case Qt::Key_Space:
        if (event->modifiers() != Qt::NoModifier)
            break;
        event->accept();
        setFocus(Qt::OtherFocusReason);
        return;
    default:
        break;
    }
    QWidget::keyPressEvent(event);
}

void TMVWebElement::contextMenuEvent(QContextMenuEvent* event)
{
    event->accept();
    // The mouse's menu opens on the right button's release, once it is clear that no drag
    // started; the keyboard's opens at once.
    if (event->reason() != QContextMenuEvent::Mouse)
        ShowPopupMenu(mapToGlobal(rect().center()));
}

void TMVWebElement::ShowPopupMenu(QPoint globalPosition)
{
    if (!m_popupMenu)
        return;
    m_popupMenu->setProperty(kPopupComponent, QVariant::fromValue<QObject*>(this));
    m_popupMenu->popup(globalPosition);
}

void TMVWebElement::focusInEvent(QFocusEvent* event)
{
    update();
    QWidget::focusInEvent(event);
}

void TMVWebElement::focusOutEvent(QFocusEvent* event)
{
    update();
    QWidget::focusOutEvent(event);
}

// ---------------------------------------------------------------------------------------
// Dragging

void TMVWebElement::StartDrag(QPoint pointer)
{
    LoadPendingImages();
    auto* carried = new TMVWebElementDrag(this);
    // Qt frees a drag it has run; one that was not run goes with the tile.
    auto* drag = new QDrag(this);
    drag->setMimeData(carried);
    if (!m_thumbnail.isNull()) {
        const TTileLayout layout = Layout(size(), {});
        drag->setPixmap(QPixmap::fromImage(m_thumbnail));
        const QPoint hotSpot = pointer - layout.ThumbnailPos;
        drag->setHotSpot(QPoint(std::clamp(hotSpot.x(), 0, m_thumbnail.width() - 1),
                                std::clamp(hotSpot.y(), 0, m_thumbnail.height() - 1)));
    }
    // Runs inside the drag's own event loop, after the platform's drag has started watching
    // the mouse, so the drag object sees a right-button release before the drop it causes.
    QTimer::singleShot(0, carried, [carried] { carried->WatchReleases(); });
    if (const auto run = ExecuteDrag)
        run(*drag);
}

const TMVWebElementDrag* TMVWebElement::TileDrag(const QMimeData* mimeData) const
{
    return qobject_cast<const TMVWebElementDrag*>(mimeData);
}

void TMVWebElement::dragEnterEvent(QDragEnterEvent* event)
{
    dragMoveEvent(event);
}

void TMVWebElement::dragMoveEvent(QDragMoveEvent* event)
{
    const TMVWebElementDrag* drag = TileDrag(event->mimeData());
    bool accept = false;
    if (drag && OnDragOver) {
        accept = true;
        const auto handler = OnDragOver;
        handler(*this, *drag, event->position().toPoint(), accept);
    }
    if (accept)
        event->acceptProposedAction();
    else
        event->ignore();
}

void TMVWebElement::dropEvent(QDropEvent* event)
{
    const TMVWebElementDrag* drag = TileDrag(event->mimeData());
    if (!drag || !OnDragDrop) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    const auto handler = OnDragDrop;
    handler(*this, *drag, event->position().toPoint(), event->modifiers());
}

// ---------------------------------------------------------------------------------------
// Flashing

void TMVWebElement::Flash()
{
    StopFlash();
    m_flashing = true;
    m_flashPhase = true;
    auto* worker = new TFlashThread(
        kFlashInterval, kFlashTicks, [this](TSyncThread*) { FlashTick(); }, this);
    m_flash = worker;
    // The worker is the context: a worker freed early takes its pending end notice with it.
    connect(worker, &QThread::finished, worker, [this, worker] { FlashEnded(worker); });
    update();
}

void TMVWebElement::FlashTick()
{
    m_flashPhase = !m_flashPhase;
    update();
}

void TMVWebElement::FlashEnded(TFlashThread* worker)
{
    if (worker == m_flash) {
        m_flash = nullptr;
        m_flashing = false;
        update();
    }
    worker->deleteLater();
}

void TMVWebElement::StopFlash()
{
    if (!m_flash)
        return;
    TFlashThread* worker = m_flash;
    m_flash = nullptr;
    m_flashing = false;
    worker->ClearCallback();
    // Waits for the thread; a tick it was handing over is dropped.
    delete worker;
}
