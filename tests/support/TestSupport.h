#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <functional>
#include <optional>
#include <ostream>

// Runs the main thread's events until condition holds or timeoutMs passes; returns
// whether it held. The limit is generous: it only ends a test that would hang.
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 10000);

// The transfer limit of tests that make a server stall: short, so the code gives up quickly.
constexpr int kGiveUpMs = 1000;

// Runs the main thread's events for ms milliseconds.
void ProcessEventsFor(int ms);

// Sets an environment variable for the lifetime of the object, then restores it.
class ScopedEnvironment final
{
public:
    ScopedEnvironment(const char* name, const QByteArray& value);
    ~ScopedEnvironment();

    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    const char* m_name;
    std::optional<QByteArray> m_previous;
};

QByteArray ReadFile(const QString& path);
void WriteFile(const QString& path, const QByteArray& data);

// GoogleTest prints Qt strings as text in its messages.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
