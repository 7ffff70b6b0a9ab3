#include "HtmlLabel.h"

#include "MnemonicText.h"
#include "VisualPainting.h"
#include "pictures/Colors.h"
#include "pictures/GraphicTools.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

#include <array>
#include <optional>

namespace {

constexpr TColor kLabelDisabledText = 0x808080;
// Wider images than the label is high are drawn in full but only take this much of the line.
constexpr int kTallImageSlot = 16;

// The label's text: unshaped where the script allows (no kerning, as the desktop's own
// text drawing), which makes measuring a line several times cheaper.
QFont LabelFont(QFont font, TFontStyles style)
{
    font = VisualPainting::FontWithStyle(font, style);
    font.setStyleStrategy(QFont::StyleStrategy(font.styleStrategy() | QFont::PreferNoShaping));
    return font;
}

// Shaping a string is the dear part of a layout; the blanks around images and links are
// single characters, whose advance needs no shaping.
int TextWidth(const QFontMetrics& metrics, const QString& text)
{
    if (text.size() == 1 && text.at(0) >= u' ' && text.at(0) < QChar(0x7F) && text.at(0) != u'&')
        return metrics.horizontalAdvance(text.at(0));
    return metrics.horizontalAdvance(MnemonicText::HideMnemonics(text));
}

} // namespace

THtmlLabel::THtmlLabel(QWidget* parent) : QWidget(parent)
{
    resize(65, 13);
    setMouseTracking(true);
}

THtmlLabel::~THtmlLabel() = default;

void THtmlLabel::SetCaption(const QString& caption)
{
    m_caption = caption;
    m_needsParse = true;
    update();
}

const std::vector<TStyledPhrase>& THtmlLabel::Phrases()
{
    EnsureLayout();
    return m_phrases;
}

const std::vector<TUrlRegion>& THtmlLabel::LinkRegions()
{
    EnsureLayout();
    return m_regions;
}

QImage THtmlLabel::PhrasePicture(size_t index) const
{
    return index < m_pictures.size() ? m_pictures[index] : QImage();
}

void THtmlLabel::EnsureLayout()
{
    if (m_inLayout)
        return;
    // A hidden label gets no resize events, so a changed size is looked at directly.
    if (m_needsParse)
        Parse();
    else if (m_needsLayout || rect() != m_layoutRect)
        Layout();
}

void THtmlLabel::Parse()
{
    m_phrases = HtmlMarkup::Parse(m_caption, VisualPainting::StyleOfFont(font()));
    m_pictures.assign(m_phrases.size(), QImage());
    m_needsParse = false;
    Layout();
}

void THtmlLabel::Layout()
{
    m_inLayout = true;
    m_regions.clear();
    const QRect client = rect();
    const int right = client.x() + client.width();
    int x = client.x();
    for (TStyledPhrase& phrase : m_phrases)
        phrase.Bounds = QRect();
    // One set of metrics per style met in this pass.
    std::array<std::optional<QFontMetrics>, 16> metricsByStyle;

    for (size_t i = 0; i < m_phrases.size() && x < right; ++i) {
        TStyledPhrase& phrase = m_phrases[i];
        if (phrase.IsImage) {
            phrase.IsImage = false;
            if (OnGetImage) {
                QImage picture;
                // Copy the handler: it may replace itself while it runs.
                const auto handler = OnGetImage;
                handler(*this, phrase.Target, picture);
                if (m_needsParse)
                    break; // the handler changed the caption; the next paint starts over
                if (!picture.isNull() && picture.width() > 0 && picture.height() > 0) {
                    m_pictures[i] = picture;
                    const int width = picture.height() > client.height() ? kTallImageSlot : picture.width();
                    phrase.Bounds = QRect(x, client.y(), std::min(width, right - x), client.height());
                    x += phrase.Bounds.width();
                    phrase.IsImage = true;
                    continue;
                }
            }
            // Unusable: the phrase is a plain space from now on, taking no room in this pass.
            m_pictures[i] = QImage();
            continue;
        }
        if (phrase.Text.isEmpty())
            continue;
        std::optional<QFontMetrics>& metrics = metricsByStyle[phrase.Style & 0x0F];
        if (!metrics)
            metrics.emplace(LabelFont(font(), phrase.Style));
        const int width = TextWidth(*metrics, phrase.Text);
        phrase.Bounds = QRect(x, client.y(), std::min(width, right - x), client.height());
        x += phrase.Bounds.width();
        if (phrase.IsLink)
            m_regions.push_back({phrase.Bounds, phrase.Target});
    }
    m_layoutRect = client;
    m_needsLayout = false;
    m_inLayout = false;
}

QColor THtmlLabel::FontColor() const
{
    return palette().color(QPalette::WindowText);
}

void THtmlLabel::paintEvent(QPaintEvent*)
{
    EnsureLayout();
    QPainter painter(this);
    const int right = width();
    const TFontStyles fontStyle = VisualPainting::StyleOfFont(font());
    for (size_t i = 0; i < m_phrases.size(); ++i) {
        const TStyledPhrase& phrase = m_phrases[i];
        if (phrase.Bounds.isNull())
            continue;
        if (phrase.IsImage) {
            painter.drawImage(phrase.Bounds.topLeft(), m_pictures[i]);
        } else {
            painter.setFont(LabelFont(font(), fontStyle | phrase.Style));
            QColor color = FontColor();
            if (!isEnabled())
                color = ColorToQColor(kLabelDisabledText);
            else if (phrase.HasColor && phrase.Color != ColorNames::kNone &&
                     phrase.Color != ColorNames::kDefault)
                color = ColorToQColor(phrase.Color);
            painter.setPen(color);
            const QRect line(phrase.Bounds.x(), 0, phrase.Bounds.width(), height());
            VisualPainting::TextLine(painter, line, phrase.Text,
                                     VisualPainting::tlHideMnemonic | VisualPainting::tlEllipsis);
        }
        if (phrase.Bounds.x() + phrase.Bounds.width() >= right)
            break;
    }
}

const TUrlRegion* THtmlLabel::RegionAt(QPoint point) const
{
    for (const TUrlRegion& region : m_regions) {
        if (region.Bounds.contains(point))
            return &region;
    }
    return nullptr;
}

void THtmlLabel::mouseMoveEvent(QMouseEvent* event)
{
    EnsureLayout();
    if (RegionAt(event->position().toPoint()))
        setCursor(m_linkCursor);
    else
        unsetCursor();
    QWidget::mouseMoveEvent(event);
}

void THtmlLabel::mouseReleaseEvent(QMouseEvent* event)
{
    EnsureLayout();
    const TUrlRegion* region = RegionAt(event->position().toPoint());
    if (!region || !OnLinkClick) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    // The handler may close the window that holds this label: nothing is touched after it.
    const QString target = region->Target;
    const auto handler = OnLinkClick;
    handler(*this, target);
}

void THtmlLabel::leaveEvent(QEvent* event)
{
    unsetCursor();
    QWidget::leaveEvent(event);
}

void THtmlLabel::resizeEvent(QResizeEvent* event)
{
    m_needsLayout = true;
    QWidget::resizeEvent(event);
}

void THtmlLabel::moveEvent(QMoveEvent* event)
{
    m_needsLayout = true;
    QWidget::moveEvent(event);
}

void THtmlLabel::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange) {
        // The font's style is where the markup starts, so a new font means a new parse.
        m_needsParse = true;
        update();
    } else if (event->type() == QEvent::EnabledChange || event->type() == QEvent::PaletteChange) {
        update();
    }
    QWidget::changeEvent(event);
}
