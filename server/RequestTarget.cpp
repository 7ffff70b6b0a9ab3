#include "RequestTarget.h"

#include <QList>

using namespace Qt::Literals::StringLiterals;

namespace RequestTarget {

namespace {

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

QByteArray PercentDecode(QByteArrayView text)
{
    QByteArray decoded;
    decoded.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
            HexValue(text[i + 2]) >= 0) {
            decoded.append(char(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2])));
            i += 2;
        } else {
            decoded.append(text[i]);
        }
    }
    return decoded;
}

std::optional<QByteArray> SafePath(QByteArrayView target)
{
    const qsizetype question = target.indexOf('?');
    const QByteArray path = PercentDecode(question < 0 ? target : target.first(question));
    if (!path.startsWith('/') || path.contains('\\') || path.contains('\0'))
        return std::nullopt;
    for (const QByteArray& segment : path.split('/')) {
        if (segment == ".." || segment == ".")
            return std::nullopt;
    }
    return path;
}

QByteArrayView Query(QByteArrayView target)
{
    const qsizetype question = target.indexOf('?');
    return question < 0 ? QByteArrayView() : target.sliced(question + 1);
}

QString SearchText(QByteArrayView query)
{
    qsizetype start;
    if (query.startsWith("query="))
        start = 6;
    else if (const qsizetype found = query.indexOf("&query="); found >= 0)
        start = found + 7;
    else
        return {};
    const qsizetype action = query.lastIndexOf("&action=");
    const qsizetype end = action >= start ? action : query.size();
    QString text = QString::fromUtf8(PercentDecode(query.sliced(start, end - start)));
    if (text.startsWith(u'"'))
        text.remove(0, 1);
    if (text.endsWith(u'"'))
        text.chop(1);
    return text;
}

std::optional<std::map<QByteArray, QByteArray>> StrictParameters(QByteArrayView query)
{
    std::map<QByteArray, QByteArray> parameters;
    if (query.isEmpty())
        return parameters;
    for (const QByteArray& pair : query.toByteArray().split('&')) {
        const qsizetype equals = pair.indexOf('=');
        if (equals <= 0)
            return std::nullopt;
        const QByteArray name = PercentDecode(pair.first(equals));
        if (!parameters.emplace(name, PercentDecode(pair.sliced(equals + 1))).second)
            return std::nullopt;
    }
    return parameters;
}

} // namespace RequestTarget
