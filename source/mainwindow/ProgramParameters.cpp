#include "ProgramParameters.h"

#include <QRegularExpression>

using namespace Qt::Literals::StringLiterals;

CopyDataRecord MakeCopyDataRecord(const QStringList& parameters)
{
    CopyDataRecord record;
    record.dataValue = int32_t(parameters.size());
    if (parameters.size() == 1) {
        record.text = parameters.first().toUtf8();
    } else {
        for (const QString& parameter : parameters)
            record.text += parameter.toUtf8() + "\r\n";
    }
    return record;
}

void HandleCopyDataParameters(const CopyDataRecord& record, const TParameterEvent& onParameter)
{
    Q_ASSERT_X(onParameter, "HandleCopyDataParameters", "OnParameter cannot be nil");
    const QString text = QString::fromUtf8(record.text);
    if (record.dataValue == 1) {
        onParameter(text);
        return;
    }
    static const QRegularExpression lineEnd(u"\r\n|\r|\n"_s);
    QStringList lines = text.split(lineEnd);
    // The last parameter's line end leaves nothing behind it.
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (const QString& line : std::as_const(lines))
        onParameter(line);
}

void HandleCommandLineParameters(const QStringList& parameters, const TParameterEvent& onParameter)
{
    Q_ASSERT_X(onParameter, "HandleCommandLineParameters", "OnParameter cannot be nil");
    for (const QString& parameter : parameters)
        onParameter(parameter);
}

TElementParameter ParseParameter(const QString& parameter)
{
    TElementParameter result;
    // Blanks and control characters at either end go.
    qsizetype begin = 0;
    qsizetype end = parameter.size();
    while (begin < end && parameter.at(begin).unicode() <= u' ')
        ++begin;
    while (end > begin && parameter.at(end - 1).unicode() <= u' ')
        --end;
    QString text = parameter.mid(begin, end - begin).toLower();
    if (text.isEmpty())
        return result;
    result.empty = false;

    static const QString runMinimized = u" runminimized"_s;
    if (const qsizetype at = text.indexOf(runMinimized); at >= 0) {
        text.remove(at, runMinimized.size());
        result.minimized = true;
    }
    if (text.startsWith(u"element="_s))
        text.remove(0, 8);
    result.elementId = text;
    return result;
}

bool IsStartMinimized(const QStringList& parameters)
{
    return !parameters.isEmpty() && parameters.first().toLower() == u"runminimized"_s;
}
