#include "MnemonicText.h"

namespace MnemonicText {

QString HideMnemonics(const QString& text)
{
    qsizetype position = -1;
    return HideMnemonics(text, position);
}

QString HideMnemonics(const QString& text, qsizetype& mnemonicPosition)
{
    mnemonicPosition = -1;
    if (!text.contains(u'&'))
        return text;
    QString shown;
    shown.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) != u'&') {
            shown += text.at(i);
            continue;
        }
        // "&&" shows one "&"; "&x" shows "x"; a lone "&" at the end shows nothing.
        if (i + 1 < text.size() && text.at(i + 1) == u'&') {
            shown += u'&';
            ++i;
        } else if (i + 1 < text.size() && mnemonicPosition < 0) {
            mnemonicPosition = shown.size();
        }
    }
    return shown;
}

QString Escape(const QString& text)
{
    QString escaped = text;
    return escaped.replace(u'&', QStringLiteral("&&"));
}

} // namespace MnemonicText
