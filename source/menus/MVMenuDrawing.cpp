#include "MVMenuDrawing.h"

#include "markup/MnemonicText.h"
#include "markup/VisualPainting.h"
#include "pictures/Colors.h"
#include "pictures/GraphicTools.h"
#include "pictures/RectEdges.h"

#include <QAction>
#include <QFontMetrics>
#include <QMenu>
#include <QPainter>
#include <QStyleOptionMenuItem>

using namespace Qt::Literals::StringLiterals;
using namespace MenuMetrics;

namespace {

constexpr TColor kItemBackground = 0xFFFAFD;
constexpr TColor kGlyphColumnStart = 0xFFF9F9;
constexpr TColor kGlyphColumnEnd = 0xB99D9F;
constexpr TColor kHighlightFill = 0xC2EEFF;
constexpr TColor kHighlightOutline = 0x6F4B4B;
constexpr TColor kDisabledHighlightFill = 0xEFEFEF;
constexpr TColor kDisabledHighlightOutline = 0x707070;
constexpr TColor kCheckSelected = 0x3E80FE;
constexpr TColor kCheckUnselected = 0x6FC0FF;
constexpr TColor kCaptionShadow = 0xAECEDA;
constexpr TColor kDisabledText = 0x808080;
constexpr TColor kShortcutText = 0x800000;
constexpr TColor kTitleBandTop = 0xFFFAFD;
constexpr TColor kTitleBandBottom = 0xF6EDED;
constexpr TColor kTitleShadow = 0xC9C3C4;
constexpr TColor kLine = 0x8F6D6E;

const char* const kTagProperty = "MVMenuTag";
const char* const kImageIndexProperty = "MVMenuImageIndex";

QColor Color(TColor color)
{
    return ColorToQColor(color);
}

using RectEdges::Bottom;
using RectEdges::Right;

QImage FromList(const TMVImageList* list, int index)
{
    if (!list || index < 0 || size_t(index) >= list->size())
        return {};
    return (*list)[size_t(index)];
}

// Caption and shortcut of an item as Qt hands them over: "Caption\tShortcut".
std::pair<QString, QString> SplitShortcut(const QString& text)
{
    const qsizetype tab = text.indexOf(u'\t');
    if (tab < 0)
        return {text, QString()};
    return {text.left(tab), text.mid(tab + 1)};
}

QString ShortcutText(const QAction& item)
{
    const auto [caption, shortcut] = SplitShortcut(item.text());
    if (!shortcut.isEmpty())
        return shortcut;
    return item.shortcut().toString(QKeySequence::NativeText);
}

} // namespace

namespace MVMenuItems {

void SetTag(QAction& item, int tag)
{
    item.setProperty(kTagProperty, tag);
}

int Tag(const QAction& item)
{
    return item.property(kTagProperty).toInt();
}

void SetImageIndex(QAction& item, int index)
{
    item.setProperty(kImageIndexProperty, index);
}

int ImageIndex(const QAction& item)
{
    const QVariant index = item.property(kImageIndexProperty);
    return index.isValid() ? index.toInt() : -1;
}

bool IsSeparator(const QAction& item)
{
    return item.isSeparator() || item.text() == u"-"_s;
}

} // namespace MVMenuItems

TMVMenuDrawing::TMVMenuDrawing(TMVMenuKind kind) : m_kind(kind)
{
    m_checkMark = GraphicTools::LoadPngResource(u"mnCheck"_s);
}

TMVMenuDrawing::~TMVMenuDrawing() = default;

QImage TMVMenuDrawing::ItemImage(const QAction& item) const
{
    const QImage listed = FromList(m_images, MVMenuItems::ImageIndex(item));
    if (!listed.isNull())
        return listed;
    if (item.icon().isNull())
        return {};
    return item.icon().pixmap(16, 16).toImage();
}

QImage TMVMenuDrawing::DisabledItemImage(const QAction& item) const
{
    return FromList(m_disabledImages, MVMenuItems::ImageIndex(item));
}

QImage TMVMenuDrawing::TitleImage(const QAction& item) const
{
    return ItemImage(item);
}

bool TMVMenuDrawing::IsFirstItem(const QMenu& menu, const QAction& item)
{
    for (const QAction* action : menu.actions()) {
        if (action->isVisible())
            return action == &item;
    }
    return false;
}

void TMVMenuDrawing::DrawItemBackground(QPainter& canvas, const QRect& rect) const
{
    canvas.fillRect(rect, Color(kItemBackground));
    GraphicTools::GradientFillRect(canvas, GlyphColumn(rect), kGlyphColumnStart, 0, kGlyphColumnEnd);
}

void TMVMenuDrawing::DrawHighlight(QPainter& canvas, const QRect& rect, bool enabled) const
{
    VisualPainting::Rectangle(canvas, rect, Color(enabled ? kHighlightOutline : kDisabledHighlightOutline),
                              Color(enabled ? kHighlightFill : kDisabledHighlightFill));
}

QRect TMVMenuDrawing::DrawCheckBox(QPainter& canvas, const QRect& rect, bool selected) const
{
    const QRect box = CheckBox(rect);
    VisualPainting::Rectangle(canvas, box, Color(kHighlightOutline),
                              Color(selected ? kCheckSelected : kCheckUnselected));
    return box;
}

void TMVMenuDrawing::DrawItemText(const QAction& item, QPainter& canvas, const QRect& rect, bool selected,
                                  bool bold, std::optional<QColor> captionColor) const
{
    const QRect text = ItemTextRect(rect);
    QFont font = canvas.font();
    font.setBold(bold);
    canvas.setFont(font);
    const QString caption = SplitShortcut(item.text()).first;
    const int flags = VisualPainting::tlShowMnemonic;
    const bool enabled = item.isEnabled();
    if (selected && enabled) {
        canvas.setPen(Color(kCaptionShadow));
        VisualPainting::TextLine(canvas, text.translated(1, 1), caption, flags);
    }
    canvas.setPen(enabled ? captionColor.value_or(Color(clMenuText)) : Color(kDisabledText));
    VisualPainting::TextLine(canvas, text, caption, flags);

    const QString shortcut = ShortcutText(item);
    if (!shortcut.isEmpty()) {
        font.setBold(false);
        canvas.setFont(font);
        canvas.setPen(Color(enabled ? kShortcutText : kDisabledText));
        VisualPainting::TextLine(canvas, text, shortcut, VisualPainting::tlRight);
    }
}

void TMVMenuDrawing::DrawMenuItem(const QMenu& menu, QAction& item, QPainter& canvas, const QRect& rect,
                                  bool selected)
{
    DrawItemBackground(canvas, rect);
    if (selected)
        DrawHighlight(canvas, rect, item.isEnabled());
    if (item.isChecked()) {
        const QRect box = DrawCheckBox(canvas, rect, selected);
        const QImage image = ItemImage(item);
        if (!image.isNull())
            canvas.drawImage(box.topLeft() + QPoint(3, 3), image);
        else if (!m_checkMark.isNull())
            canvas.drawImage(box.topLeft() + QPoint(5, 5), m_checkMark);
    } else {
        const QImage image = item.isEnabled() ? ItemImage(item) : DisabledItemImage(item);
        if (!image.isNull())
            canvas.drawImage(rect.topLeft() + QPoint(3, 3), image);
    }
    DrawItemText(item, canvas, rect, selected, menu.defaultAction() == &item, std::nullopt);
}

void TMVMenuDrawing::MeasureMenuItem(const QStyleOptionMenuItem& item, int& width, int& height)
{
    const auto [caption, shortcut] = SplitShortcut(item.text);
    QFont captionFont = item.font;
    captionFont.setBold(item.menuItemType == QStyleOptionMenuItem::DefaultItem);
    const QFontMetrics captionMetrics(captionFont);
    const QSize captionSize(VisualPainting::TextLineWidth(captionFont, caption), captionMetrics.height());
    std::optional<QSize> shortcutSize;
    if (!shortcut.isEmpty()) {
        QFont regular = item.font;
        regular.setBold(false);
        shortcutSize =
            QSize(QFontMetrics(regular).horizontalAdvance(shortcut), QFontMetrics(regular).height());
    }
    const QSize size = ItemSize(captionSize, shortcutSize);
    width = size.width();
    height = size.height();
}

void TMVMenuDrawing::DrawTitle(const QAction& item, QPainter& canvas, const QRect& rect,
                               const QRect& textRect, bool firstItem) const
{
    QFont font = canvas.font();
    font.setBold(true);
    canvas.setFont(font);
    const QString heading = item.text();
    const int flags = VisualPainting::tlHideMnemonic;
    if (firstItem) {
        canvas.setPen(Color(kTitleShadow));
        VisualPainting::TextLine(canvas, textRect.translated(1, 1), heading, flags);
    }
    canvas.setPen(Color(clMenuText));
    VisualPainting::TextLine(canvas, textRect, heading, flags);

    const int lineLeft = firstItem ? rect.x() : rect.x() + kGlyphColumnWidth;
    VisualPainting::Line(canvas, QPoint(lineLeft, Bottom(rect) - 4), QPoint(Right(rect), Bottom(rect) - 4),
                         Color(kLine));
    if (!firstItem)
        VisualPainting::Line(canvas, QPoint(lineLeft, rect.y() + 3), QPoint(Right(rect), rect.y() + 3),
                             Color(kLine));
}

void TMVMenuDrawing::DrawSeparatorItem(const QMenu& menu, QAction& item, QPainter& canvas, const QRect& rect,
                                       bool)
{
    DrawItemBackground(canvas, rect);
    const bool title = !item.text().isEmpty();
    const bool first = IsFirstItem(menu, item);
    // The main menu's drop-downs open with a band even when their first separator has no heading.
    if (first && (title || m_kind == mkMain)) {
        GraphicTools::GradientFillRect(canvas, TitleBand(rect), kTitleBandTop, 1, kTitleBandBottom);
        const QImage image = TitleImage(item);
        if (!image.isNull())
            canvas.drawImage(rect.topLeft() + QPoint(3, 4), image);
    }
    if (!title) {
        VisualPainting::Line(canvas, QPoint(rect.x() + kGlyphColumnWidth, rect.y() + 3),
                             QPoint(Right(rect), rect.y() + 3), Color(kLine));
        return;
    }
    DrawTitle(item, canvas, rect, TitleTextRect(m_kind, rect, first), first);
}

void TMVMenuDrawing::MeasureSeparatorItem(const QStyleOptionMenuItem& item, int& width, int& height)
{
    if (item.text.isEmpty()) {
        // The width is the menu's; Qt skips an item of no width at all.
        width = std::max(width, 1);
        height = kSeparatorHeight;
        return;
    }
    QFont bold = item.font;
    bold.setBold(true);
    const QSize heading(VisualPainting::TextLineWidth(bold, item.text), QFontMetrics(bold).height());
    const QSize size = TitleItemSize(m_kind, heading);
    width = size.width();
    height = size.height();
}

void TMVMenuDrawing::DrawTopLevelItem(QAction& item, QPainter& canvas, const QRect& rect, bool selected,
                                      bool showMnemonic) const
{
    if (selected)
        DrawHighlight(canvas, rect.adjusted(1, 1, -1, -1), true);
    else
        canvas.fillRect(rect, Color(clMenuBar));
    const QRect text = TopLevelTextRect(rect);
    const int flags = VisualPainting::tlCenter |
                      (showMnemonic ? VisualPainting::tlShowMnemonic : VisualPainting::tlHideMnemonic);
    const bool enabled = item.isEnabled();
    if (selected && enabled) {
        canvas.setPen(Color(kCaptionShadow));
        VisualPainting::TextLine(canvas, text.translated(1, 1), item.text(), flags);
    }
    canvas.setPen(Color(enabled ? clMenuText : kDisabledText));
    VisualPainting::TextLine(canvas, text, item.text(), flags);
}

QSize TMVMenuDrawing::MeasureTopLevelItem(const QFont& font, const QString& caption) const
{
    return TopLevelItemSize(QSize(VisualPainting::TextLineWidth(font, caption), QFontMetrics(font).height()));
}
