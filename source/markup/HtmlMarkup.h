#pragma once

#include "pictures/ColorNames.h"

#include <QLatin1StringView>
#include <QRect>
#include <QString>

#include <array>
#include <cstdint>
#include <vector>

// The markup of THtmlLabel captions: <b>, <i>, <u>, <color X>, <a TARGET> and <img NAME>.
// Parsing is pure text work, so it lives here, without fonts or pictures; the label lays the
// phrases out and paints them.

// Font style bits, combined into TFontStyles.
enum TFontStyle : uint8_t
{
    fsBold = 1,
    fsItalic = 2,
    fsUnderline = 4,
    fsStrikeOut = 8
};
using TFontStyles = uint8_t;

enum TMarkupTagKind : uint8_t
{
    mtStyle,
    mtLink,
    mtImage,
    mtColor
};

struct TTagItem
{
    QLatin1StringView Name;
    TFontStyles Style;
    bool HasColor;
    TColor Color;
    TMarkupTagKind Kind;
};

// Searched in this order: "i" comes after "b" but before "img", which it must not swallow.
inline constexpr std::array<TTagItem, 6> kTagTable{{
    {QLatin1StringView("b"), fsBold, false, 0, mtStyle},
    {QLatin1StringView("i"), fsItalic, false, 0, mtStyle},
    {QLatin1StringView("u"), fsUnderline, false, 0, mtStyle},
    {QLatin1StringView("a"), fsUnderline, true, 0xFF0000, mtLink},
    {QLatin1StringView("color"), 0, false, 0, mtColor},
    {QLatin1StringView("img"), 0, false, 0, mtImage},
}};

enum TTagClosing : uint8_t
{
    tcOpening = 0,
    tcClosing = 1,
    tcNoTag = 2
};

struct TTagItemInfo
{
    int TagIndex = -1;
    uint8_t Closing = tcNoTag;
    int TagLength = 0;
    QString Parameter;
};

// One run of text drawn with one set of attributes. Bounds is set by the label's layout.
struct TStyledPhrase
{
    QString Text;
    TFontStyles Style = 0;
    bool HasColor = false;
    TColor Color = 0;
    QRect Bounds;
    bool IsLink = false;
    bool IsImage = false;
    // The link target of link text, the image name of an image.
    QString Target;
};

namespace HtmlMarkup {

// The caption in lower case, one code unit for one code unit, so that positions in the copy
// are positions in the caption.
QString LowerCaseCopy(const QString& text);

// Whether a tag begins at position of the lower-case text, and which.
TTagItemInfo RecogniseTag(QStringView lowerText, qsizetype position);
// The same, with closeAt the first ">" at or after position (-1 when there is none).
TTagItemInfo RecogniseTagBefore(QStringView lowerText, qsizetype position, qsizetype closeAt);

// The phrases of a caption, in caption order, before layout. fontStyle is the label font's
// style, the starting style of the markup.
std::vector<TStyledPhrase> Parse(const QString& caption, TFontStyles fontStyle = 0);

// Text to be shown as it stands inside a caption (what a user typed): every "&" shows, and
// no "<" in it begins a tag. The markup has no escape for "<", so an invisible word joiner
// (U+2060) follows each one; it keeps the text from forming a tag name and draws nothing.
QString Literal(const QString& text);
inline constexpr char16_t kTagBreaker = u'\u2060';

} // namespace HtmlMarkup
