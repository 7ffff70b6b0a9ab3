#pragma once

#include <QByteArray>
#include <QString>

#include <map>
#include <optional>

// Reads the request target (path and query) exactly as the client sent it. The program puts
// its search text into the address as typed, so the target may hold raw double quotes,
// ampersands and UTF-8 bytes as well as percent escapes; the server's HTTP layer would
// split and decode such a query wrongly.
namespace RequestTarget {

// "%41" becomes "A"; a "%" not followed by two hexadecimal digits stays as it is, and "+"
// stays "+" (the program never writes a blank as "+").
QByteArray PercentDecode(QByteArrayView text);

// The path before "?", percent-decoded. Empty when the path is not safe to look up: it does
// not start with "/", or it holds a ".." segment, a backslash or a NUL byte, raw or escaped.
std::optional<QByteArray> SafePath(QByteArrayView target);

// The raw query after "?" (empty without one).
QByteArrayView Query(QByteArrayView target);

// The search text of "query=\"TEXT\"&action=search": everything from after "query=" up to the
// last "&action=" (so an ampersand inside the text does no harm), percent-decoded as UTF-8,
// with one double quote taken off each end. Empty when there is no query parameter.
QString SearchText(QByteArrayView query);

// A query of name=value pairs, decoded. Empty when a pair has no "=" or a name repeats:
// such a request is ambiguous and is refused.
std::optional<std::map<QByteArray, QByteArray>> StrictParameters(QByteArrayView query);

} // namespace RequestTarget
