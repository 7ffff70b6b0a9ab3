#include "ColorNames.h"

#include <array>

using namespace Qt::Literals::StringLiterals;

namespace ColorNames {

namespace {

struct NamedColor
{
    QLatin1StringView name;
    TColor color;
};

constexpr TColor System(int index)
{
    return TColor(0xFF000000u | uint32_t(index));
}

// Basic, extra and special colours, then the system colours by their index (25 has no name).
constexpr std::array<NamedColor, 52> kNamedColors{{
    {"clBlack"_L1, 0x000000},
    {"clMaroon"_L1, 0x000080},
    {"clGreen"_L1, 0x008000},
    {"clOlive"_L1, 0x008080},
    {"clNavy"_L1, 0x800000},
    {"clPurple"_L1, 0x800080},
    {"clTeal"_L1, 0x808000},
    {"clGray"_L1, 0x808080},
    {"clSilver"_L1, 0xC0C0C0},
    {"clRed"_L1, 0x0000FF},
    {"clLime"_L1, 0x00FF00},
    {"clYellow"_L1, 0x00FFFF},
    {"clBlue"_L1, 0xFF0000},
    {"clFuchsia"_L1, 0xFF00FF},
    {"clAqua"_L1, 0xFFFF00},
    {"clWhite"_L1, 0xFFFFFF},
    {"clMoneyGreen"_L1, 0xC0DCC0},
    {"clSkyBlue"_L1, 0xF0CAA6},
    {"clCream"_L1, 0xF0FBFF},
    {"clMedGray"_L1, 0xA4A0A0},
    {"clNone"_L1, kNone},
    {"clDefault"_L1, kDefault},
    {"clScrollBar"_L1, System(0)},
    {"clBackground"_L1, System(1)},
    {"clActiveCaption"_L1, System(2)},
    {"clInactiveCaption"_L1, System(3)},
    {"clMenu"_L1, System(4)},
    {"clWindow"_L1, System(5)},
    {"clWindowFrame"_L1, System(6)},
    {"clMenuText"_L1, System(7)},
    {"clWindowText"_L1, System(8)},
    {"clCaptionText"_L1, System(9)},
    {"clActiveBorder"_L1, System(10)},
    {"clInactiveBorder"_L1, System(11)},
    {"clAppWorkSpace"_L1, System(12)},
    {"clHighlight"_L1, System(13)},
    {"clHighlightText"_L1, System(14)},
    {"clBtnFace"_L1, System(15)},
    {"clBtnShadow"_L1, System(16)},
    {"clGrayText"_L1, System(17)},
    {"clBtnText"_L1, System(18)},
    {"clInactiveCaptionText"_L1, System(19)},
    {"clBtnHighlight"_L1, System(20)},
    {"cl3DDkShadow"_L1, System(21)},
    {"cl3DLight"_L1, System(22)},
    {"clInfoText"_L1, System(23)},
    {"clInfoBk"_L1, System(24)},
    {"clHotLight"_L1, System(26)},
    {"clGradientActiveCaption"_L1, System(27)},
    {"clGradientInactiveCaption"_L1, System(28)},
    {"clMenuHighlight"_L1, System(29)},
    {"clMenuBar"_L1, System(30)},
}};

bool IsDecimalDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool IsHexDigit(QChar c)
{
    return IsDecimalDigit(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

std::optional<TColor> ParseNumber(const QString& text)
{
    bool ok = false;
    if (text.startsWith(u'$')) {
        const QStringView digits = QStringView(text).mid(1);
        // Only hexadecimal digits: QString's reader would also take a sign or blanks.
        for (const QChar c : digits) {
            if (!IsHexDigit(c))
                return std::nullopt;
        }
        const qulonglong value = digits.toULongLong(&ok, 16);
        if (!ok || value > 0xFFFFFFFFull)
            return std::nullopt;
        return TColor(uint32_t(value));
    }
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (!IsDecimalDigit(c) && !(i == 0 && (c == u'-' || c == u'+')))
            return std::nullopt;
    }
    const int value = text.toInt(&ok, 10);
    if (!ok)
        return std::nullopt;
    return TColor(value);
}

} // namespace

std::optional<TColor> IdentToColor(const QString& name)
{
    for (const NamedColor& entry : kNamedColors) {
        if (name.compare(entry.name, Qt::CaseInsensitive) == 0)
            return entry.color;
    }
    return std::nullopt;
}

std::optional<TColor> StringToColor(const QString& text)
{
    if (const std::optional<TColor> named = IdentToColor(text))
        return named;
    return ParseNumber(text);
}

QString ColorToString(TColor color)
{
    for (const NamedColor& entry : kNamedColors) {
        if (entry.color == color)
            return QString(entry.name);
    }
    return u"$%1"_s.arg(qulonglong(uint32_t(color)), 8, 16, QChar(u'0')).toUpper();
}

} // namespace ColorNames
