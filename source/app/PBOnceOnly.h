#pragma once

#include "platform/SingleInstance.h"

#include <QString>
#include <QStringList>

#include <functional>

// The single-instance guard and the parameters a second start hands to the first.

inline constexpr char16_t kInstanceName[] = u"{MorvalenDesktop:C7BB5887-55B4-4760-9315-C4F28B4D0A47}";

// Error raised when the guard cannot be set up ("Error creating shared memory %s (%d)").
class EOnceOnlyError final : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// True when another instance owns the name. Then, with sendParameters and at least one
// parameter, the parameters have been handed to it (or given up on after 11 attempts).
// Runs once per process; the claim lasts until the process ends.
bool AlreadyRunning(const QString& instanceName, const QString& mainWindowClass, bool sendParameters,
                    bool sessionLocal, const QStringList& parameters);

// The process-wide guard once AlreadyRunning has made this process the first instance.
SingleInstance* OnceOnlyGuard();
// Releases the claim (at the end of the process, and between tests).
void ReleaseOnceOnlyGuard();

using TParameterEvent = std::function<void(const QString& parameter)>;

// The record a start with these parameters sends.
CopyDataRecord MakeCopyDataRecord(const QStringList& parameters);
// Calls onParameter for the record's text (data value 1) or for each of its lines.
void HandleCopyDataParameters(const CopyDataRecord& record, const TParameterEvent& onParameter);
void HandleCommandLineParameters(const QStringList& parameters, const TParameterEvent& onParameter);

// A parameter as the main window reads it: "element=<id>" with an optional
// " runminimized" anywhere, all letter cases alike.
struct TElementParameter
{
    bool empty = true;
    bool minimized = false;
    QString elementId; // lower case; the whole text when it has no "element=" in front
};
TElementParameter ParseParameter(const QString& parameter);

// Whether the first parameter asks for a hidden start.
bool IsStartMinimized(const QStringList& parameters);
