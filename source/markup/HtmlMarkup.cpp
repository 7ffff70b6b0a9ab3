#include "HtmlMarkup.h"

#include "MnemonicText.h"

using namespace Qt::Literals::StringLiterals;

namespace HtmlMarkup {

namespace {

// Blanks and control characters, as a parameter's trimming removes them.
bool IsBlank(QChar c)
{
    return c.unicode() <= 0x20;
}

QString TrimBlanks(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && IsBlank(text.at(begin)))
        ++begin;
    while (end > begin && IsBlank(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin).toString();
}

class MarkupParser final
{
public:
    explicit MarkupParser(TFontStyles fontStyle) : m_style(fontStyle) {}

    std::vector<TStyledPhrase> Run(const QString& caption);

private:
    void Flush();
    void Obey(const TTagItemInfo& tag);

    std::vector<TStyledPhrase> m_phrases;
    TFontStyles m_style;
    bool m_hasColor = false;
    TColor m_color = 0;
    bool m_isLink = false;
    QString m_target;
    bool m_isImage = false;
    bool m_forceNew = false;
    QString m_text;
};

std::vector<TStyledPhrase> MarkupParser::Run(const QString& caption)
{
    const QString lower = LowerCaseCopy(caption);
    qsizetype position = 0;
    // The first ">" at or after the position, found once per ">" rather than once per "<":
    // a caption full of "<" stays linear.
    qsizetype closeAt = lower.indexOf(u'>');
    while (position < caption.size()) {
        if (closeAt >= 0 && closeAt < position)
            closeAt = lower.indexOf(u'>', position);
        const TTagItemInfo tag = RecogniseTagBefore(lower, position, closeAt);
        if (tag.TagIndex < 0) {
            // Everything up to the next "<" is literal; a "<" that starts no tag is too.
            qsizetype next = lower.indexOf(u'<', position + 1);
            if (next < 0)
                next = caption.size();
            m_text += QStringView(caption).mid(position, next - position);
            position = next;
            continue;
        }
        Flush();
        m_text.clear();
        m_isImage = false;
        Obey(tag);
        position += tag.TagLength;
    }
    if (!m_text.isEmpty())
        Flush();
    return std::move(m_phrases);
}

void MarkupParser::Flush()
{
    if (m_phrases.empty()) {
        if (m_text.isEmpty())
            return;
        m_phrases.push_back({});
    } else if (m_forceNew || (m_style != m_phrases.back().Style && !m_phrases.back().Text.isEmpty())) {
        m_phrases.push_back({});
    }
    // Appending to an existing phrase hands it the current attributes as well.
    TStyledPhrase& phrase = m_phrases.back();
    phrase.Text += m_text;
    phrase.Style = m_style;
    phrase.HasColor = m_hasColor;
    phrase.Color = m_color;
    phrase.IsLink = m_isLink;
    phrase.IsImage = m_isImage;
    phrase.Target = m_target;
    m_forceNew = false;
}

void MarkupParser::Obey(const TTagItemInfo& tag)
{
    const TTagItem& item = kTagTable[size_t(tag.TagIndex)];
    const bool opening = tag.Closing == tcOpening;
    switch (item.Kind) {
    case mtStyle:
        if (opening)
            m_style |= item.Style;
        else
            m_style &= TFontStyles(~item.Style);
        break;
    case mtLink:
        if (opening) {
            m_style |= item.Style;
            m_hasColor = true;
            m_color = item.Color;
            m_isLink = true;
            m_target = tag.Parameter;
        } else {
            // Colours do not nest: a colour set before the link is gone after it too.
            m_style &= TFontStyles(~item.Style);
            m_hasColor = false;
            m_isLink = false;
            m_target.clear();
        }
        break;
    case mtColor:
        if (opening) {
            const std::optional<TColor> color = ColorNames::StringToColor(tag.Parameter);
            m_hasColor = color.has_value();
            m_color = color.value_or(0);
        } else {
            m_hasColor = false;
        }
        m_forceNew = true;
        break;
    case mtImage:
        // The closing form reads as an image with an empty name.
        m_isImage = true;
        m_forceNew = true;
        m_text = u" "_s;
        m_target = tag.Parameter;
        Flush();
        m_isImage = false;
        m_forceNew = true;
        // The image is its own phrase: its placeholder space is not carried into the text
        // that follows (captions put explicit blanks around images where they want them).
        m_text.clear();
        break;
    }
}

} // namespace

QString LowerCaseCopy(const QString& text)
{
    QString lower = text;
    for (QChar& c : lower)
        c = c.toLower();
    return lower;
}

TTagItemInfo RecogniseTag(QStringView lowerText, qsizetype position)
{
    return RecogniseTagBefore(lowerText, position, lowerText.indexOf(u'>', position));
}

TTagItemInfo RecogniseTagBefore(QStringView lowerText, qsizetype position, qsizetype closeAt)
{
    const QStringView rest = lowerText.mid(position);
    TTagItemInfo info;
    if (!rest.startsWith(u'<'))
        return info;

    const qsizetype end = closeAt < 0 ? -1 : closeAt - position;
    if (end >= 0) {
        for (size_t row = 0; row < kTagTable.size(); ++row) {
            const QLatin1StringView name = kTagTable[row].Name;
            if (!rest.mid(1).startsWith(name))
                continue;
            const qsizetype afterName = 1 + name.size();
            if (end < afterName)
                continue;
            if (end == afterName) {
                info.Parameter.clear();
            } else if (rest.at(afterName) == u' ') {
                info.Parameter = TrimBlanks(rest.mid(afterName + 1, end - afterName - 1));
            } else {
                continue;
            }
            info.TagIndex = int(row);
            info.Closing = tcOpening;
            info.TagLength = int(end + 1);
            return info;
        }
    }

    if (!rest.startsWith(u"</"))
        return info;
    for (size_t row = 0; row < kTagTable.size(); ++row) {
        const QLatin1StringView name = kTagTable[row].Name;
        // No blank is allowed anywhere inside a closing tag.
        if (rest.mid(2).startsWith(name) && rest.mid(2 + name.size()).startsWith(u'>')) {
            info.TagIndex = int(row);
            info.Closing = tcClosing;
            info.TagLength = int(name.size() + 3);
            return info;
        }
    }
    return info;
}

std::vector<TStyledPhrase> Parse(const QString& caption, TFontStyles fontStyle)
{
    return MarkupParser(fontStyle).Run(caption);
}

QString Literal(const QString& text)
{
    QString literal = MnemonicText::Escape(text);
    const QString tagStart = QStringLiteral("<") + QChar(kTagBreaker);
    return literal.replace(u'<', tagStart);
}

} // namespace HtmlMarkup
