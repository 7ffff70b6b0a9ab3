#include "PBOnceOnly.h"

#include <QRegularExpression>

#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

std::unique_ptr<SingleInstance>& Guard()
{
    static std::unique_ptr<SingleInstance> guard;
    return guard;
}

} // namespace

bool AlreadyRunning(const QString& instanceName, const QString& mainWindowClass, bool sendParameters,
                    bool sessionLocal, const QStringList& parameters)
{
    Q_ASSERT_X(!Guard(), "AlreadyRunning", "Already running more than once!");
    auto guard = std::make_unique<SingleInstance>(instanceName, sessionLocal);
    int errorCode = 0;
    switch (guard->TryClaim(errorCode)) {
    case SingleInstance::Claim::First:
        Guard() = std::move(guard);
        return false;
    case SingleInstance::Claim::Failed:
        throw EOnceOnlyError(
            u"Error creating shared memory %1 (%2)"_s.arg(guard->Name()).arg(errorCode).toStdString());
    case SingleInstance::Claim::AlreadyRunning:
        break;
    }
    if (sendParameters && !mainWindowClass.isEmpty() && !parameters.isEmpty())
        guard->Send(MakeCopyDataRecord(parameters));
    return true;
}

SingleInstance* OnceOnlyGuard()
{
    return Guard().get();
}

void ReleaseOnceOnlyGuard()
{
    Guard().reset();
}

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
