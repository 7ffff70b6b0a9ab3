#pragma once

#include <QString>

#include <cstdint>
#include <functional>

// How a request to the file cache ended. Callers take any non-zero state to mean that the
// file is available.
enum TCacheStatus : uint8_t
{
    // Nothing new was stored; a cached copy, if any, is as it was.
    csFailed = 0,
    // The cached file is present and current.
    csCurrent = 1,
    // New data was downloaded and stored.
    csDownloaded = 2,
};

// The report of one cache request: the file's name inside the cache folder, the lower-cased
// address and the state. It runs on the main thread.
using TCacheFileEvent = std::function<void(const QString& fileName, const QString& url, TCacheStatus status)>;
