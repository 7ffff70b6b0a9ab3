#include "PBOnceOnly.h"

#include "mainwindow/ProgramParameters.h"

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
    // Also a start without parameters: the running window comes forward, so a program hidden
    // where no notification area shows it is never lost.
    if (sendParameters && !mainWindowClass.isEmpty())
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
