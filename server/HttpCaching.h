#pragma once

#include <QByteArray>

#include <cstdint>
#include <optional>

// Validators and conditional requests, so that any HTTP cache or CDN in front of the server can
// keep the catalog's files and ask only whether they changed.
namespace HttpCaching {

// A strong entity tag of the bytes, quoted: the same bytes give the same tag in every instance.
QByteArray EntityTag(QByteArrayView body);

// Seconds since 1970 as an HTTP date ("Sun, 06 Nov 1994 08:49:37 GMT").
QByteArray FormatDate(int64_t seconds);

// An HTTP date in any of the three forms a recipient must read (IMF-fixdate, RFC 850 and
// asctime); nothing for anything else.
std::optional<int64_t> ParseDate(QByteArrayView text);

// Whether an If-None-Match value ("*" or a list of entity tags, weak or strong) names the tag,
// compared weakly as the header asks. A malformed list names nothing.
bool NoneMatchNames(QByteArrayView ifNoneMatch, QByteArrayView entityTag);

// Whether a GET or HEAD with these headers (null when absent) gets 304 Not Modified for an
// answer with this tag and time (0: none). If-None-Match, when present, decides alone;
// If-Modified-Since counts only without it and only when it is a valid date.
bool IsNotModified(const QByteArray& ifNoneMatch, const QByteArray& ifModifiedSince, QByteArrayView entityTag,
                   int64_t lastModified);

} // namespace HttpCaching
