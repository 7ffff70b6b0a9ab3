#pragma once

#include <QString>

#include <stdexcept>

// The program's own errors carry the English messages the user or the caller sees
// ("Invalid check sum detected!", ...). what() returns them as UTF-8.
class EMorvalenError : public std::runtime_error
{
public:
    explicit EMorvalenError(const QString& message) : std::runtime_error(message.toStdString()) {}

    QString Message() const { return QString::fromUtf8(what()); }
};

// Raised by every read that would go past the end of a stream, or that is handed a
// length the stream cannot hold.
class EStreamReadError final : public EMorvalenError
{
public:
    EStreamReadError() : EMorvalenError(QStringLiteral("Stream read error")) {}
};

// A file could not be read or written as a whole.
class EFileError final : public EMorvalenError
{
public:
    using EMorvalenError::EMorvalenError;
};
