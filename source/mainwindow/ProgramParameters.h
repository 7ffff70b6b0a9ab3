#pragma once

#include "platform/SingleInstance.h"

#include <QString>
#include <QStringList>

#include <functional>

// The program's parameter list ("runminimized", "Element=..."), from its own command line or
// handed over by a second start.

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
