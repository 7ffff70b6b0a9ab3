// The shut-down bound and the second signal, each in a child process of its own: what they
// end is the process.

#include "platform/TerminationSignals.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Runs body in a child; its exit status and how long it took, or -1 when it outlived limitMs.
struct ChildEnd
{
    int status = -1;
    qint64 elapsedMs = 0;
};

template <typename Body>
ChildEnd RunChild(Body body, int limitMs)
{
    QElapsedTimer clock;
    clock.start();
    const pid_t child = ::fork();
    if (child == 0) {
        body();
        ::_exit(0);
    }
    ChildEnd end;
    int status = 0;
    while (clock.elapsed() < limitMs) {
        if (::waitpid(child, &status, WNOHANG) == child) {
            end.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            end.elapsedMs = clock.elapsed();
            return end;
        }
        ::usleep(20000);
    }
    ::kill(child, SIGKILL);
    ::waitpid(child, &status, 0);
    return end;
}

} // namespace

TEST(TerminationSignals, AShutDownThatStallsEndsWithinItsBound)
{
    const ChildEnd end = RunChild(
        [] {
            TerminationSignals::EndWithin(1);
            // A second bound never lengthens the first.
            TerminationSignals::EndWithin(60);
            ::sleep(30); // what never answers
        },
        10000);
    EXPECT_EQ(end.status, 1);
    EXPECT_GE(end.elapsedMs, 900);
}

TEST(TerminationSignals, ASecondSignalEndsAProgramWhoseFirstDidNotEndIt)
{
    const ChildEnd end = RunChild(
        [] {
            int argc = 1;
            char name[] = "child";
            char* argv[] = {name, nullptr};
            QCoreApplication application(argc, argv);
            int calls = 0;
            // The orderly end is asked for and hangs; the user asks again.
            TerminationSignals::Install([&calls] { ++calls; });
            QTimer::singleShot(100, [] { ::raise(SIGTERM); });
            QTimer::singleShot(400, [] { ::raise(SIGINT); });
            QTimer::singleShot(8000, [] { ::_exit(0); });
            application.exec();
        },
        20000);
    EXPECT_EQ(end.status, 1);
    EXPECT_LT(end.elapsedMs, 5000);
}
