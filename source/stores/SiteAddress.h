#pragma once

#include "HttpTransfer.h"

#include <QByteArray>
#include <QString>

// Helpers that derive a host and a site name from an address the user typed, and fetch a
// small file in the calling thread.

// Empty for empty text; the text as it is when, trimmed and lower-cased, it begins with
// "http://" or "https://"; otherwise "http://" and the trimmed text.
QString AddURLScheme(const QString& text);

// The host of an address, lower-cased: without "http://" or "https://", path and query,
// and without one trailing "/".
QString HostOfURL(const QString& text);

// The name of the site behind an address: the host's second label when it has three or
// more ("www.example.com" -> "example"), its first when it has two, the whole host
// without a dot.
QString SiteNameOfURL(const QString& text);

// Fetches url into data in the calling thread, whatever the answer's status (an error page
// is not a picture and fails where the data is read). False, with data empty, when no whole
// answer arrived.
bool DownloadToStream(const QString& url, QByteArray& data, const HttpLimits& limits = {},
                      const HttpTransfer::StopCheck& stopRequested = {});

// What a page says about itself: its meta description (or Open Graph description), else its
// title; entities decoded, blanks folded, at most maxLength characters. Empty when it says
// nothing. Reads only the page's first 256 KiB: the head is there.
QString PageDescription(QByteArrayView page, qsizetype maxLength = 1000);
