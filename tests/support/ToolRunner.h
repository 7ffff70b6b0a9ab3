#pragma once

// Runs morvalen-tool for the tests that check its commands; each such test program
// defines MORVALEN_TOOL_PATH.

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

struct ToolResult
{
    int status = -1;
    QByteArray out;
    QByteArray err;

    QJsonObject Json() const { return QJsonDocument::fromJson(out).object(); }
};

inline ToolResult RunTool(const QStringList& arguments,
                          const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(MORVALEN_TOOL_PATH), arguments);
    EXPECT_TRUE(process.waitForFinished(60000));
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}
