#include "SiteAddress.h"

#include <QRegularExpression>
#include <QUrl>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace {

bool HasWebScheme(const QString& lowerText)
{
    return lowerText.startsWith("http://"_L1) || lowerText.startsWith("https://"_L1);
}

} // namespace

QString AddURLScheme(const QString& text)
{
    if (text.isEmpty())
        return {};
    const QString trimmed = text.trimmed();
    if (HasWebScheme(trimmed.toLower()))
        return text;
    return u"http://"_s + trimmed;
}

QString HostOfURL(const QString& text)
{
    // Surrounding spaces of a typed address are no part of its host.
    QString host = text.trimmed().toLower();
    if (host.startsWith("http://"_L1))
        host.remove(0, 7);
    else if (host.startsWith("https://"_L1))
        host.remove(0, 8);
    if (const qsizetype slash = host.indexOf(u'/'); slash >= 0)
        host.truncate(slash + 1);
    if (const qsizetype query = host.indexOf(u'?'); query >= 0)
        host.truncate(query);
    if (host.endsWith(u'/'))
        host.chop(1);
    return host;
}

QString SiteNameOfURL(const QString& text)
{
    const QString host = HostOfURL(text);
    // An address without a name (an IP address, localhost) is told apart by all of it: the
    // middle part of "127.0.0.1" would be "0", the same for every such site.
    const QUrl address(u"http://"_s + host);
    const QString name = address.host();
    static const QRegularExpression ipv4(u"^[0-9]{1,3}(\\.[0-9]{1,3}){3}$"_s);
    const bool numeric = ipv4.match(name).hasMatch() || name.contains(u':');
    if (address.isValid() && (numeric || (!name.isEmpty() && !name.contains(u'.')))) {
        QString result = name;
        result.remove(u'[').remove(u']').replace(u':', u'-');
        if (address.port() > 0)
            result += u'-' + QString::number(address.port());
        return result;
    }
    const qsizetype first = host.indexOf(u'.');
    if (first < 0)
        return host;
    const qsizetype second = host.indexOf(u'.', first + 1);
    if (second < 0)
        return host.left(first);
    return host.mid(first + 1, second - first - 1);
}

bool DownloadToStream(const QString& url, QByteArray& data, const HttpLimits& limits,
                      const HttpTransfer::StopCheck& stopRequested)
{
    const HttpResult result = HttpTransfer(limits, stopRequested).Fetch(url, data);
    if (!result.Whole() || result.stalled) {
        data.clear();
        return false;
    }
    return true;
}

QString PageDescription(QByteArrayView page, qsizetype maxLength)
{
    const QString head = QString::fromUtf8(page.first(std::min<qsizetype>(page.size(), 256 * 1024)));
    static const QRegularExpression meta(u"<meta\\b[^>]*>"_s, QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression attribute(
        u"\\b(name|property|content)\\s*=\\s*(\"[^\"]*\"|'[^']*'|[^\\s>]+)"_s,
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression title(u"<title[^>]*>([^<]*)</title>"_s,
                                          QRegularExpression::CaseInsensitiveOption);
    const auto clean = [maxLength](QString text) {
        text.replace(u"&lt;"_s, u"<"_s).replace(u"&gt;"_s, u">"_s).replace(u"&quot;"_s, u"\""_s);
        text.replace(u"&#39;"_s, u"'"_s).replace(u"&apos;"_s, u"'"_s).replace(u"&nbsp;"_s, u" "_s);
        text.replace(u"&amp;"_s, u"&"_s);
        return text.simplified().left(maxLength);
    };
    QString description;
    QString openGraph;
    for (auto it = meta.globalMatch(head); it.hasNext();) {
        const QString tag = it.next().captured(0);
        QString kind;
        QString content;
        for (auto part = attribute.globalMatch(tag); part.hasNext();) {
            const QRegularExpressionMatch match = part.next();
            QString value = match.captured(2);
            if (value.startsWith(u'"') || value.startsWith(u'\''))
                value = value.mid(1, value.size() - 2);
            if (match.captured(1).compare(u"content"_s, Qt::CaseInsensitive) == 0)
                content = value;
            else
                kind = value.toLower();
        }
        if (kind == u"description"_s && description.isEmpty())
            description = clean(content);
        else if (kind == u"og:description"_s && openGraph.isEmpty())
            openGraph = clean(content);
    }
    if (!description.isEmpty())
        return description;
    if (!openGraph.isEmpty())
        return openGraph;
    return clean(title.match(head).captured(1));
}
