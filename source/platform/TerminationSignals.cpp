#include "TerminationSignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace TerminationSignals {

namespace {

// Written by the signal handler, read by the notifier on the main thread.
int g_pipe[2] = {-1, -1};

void OnSignal(int)
{
    const char byte = 1;
    // Nothing else is allowed in a signal handler; a full pipe already carries a wake-up.
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[0], &byte, 1);
}

constexpr int kSignalEndSeconds = 10;

} // namespace

void EndWithin(int seconds)
{
    static bool armed = false;
    if (std::exchange(armed, true))
        return;
    std::thread([seconds] {
        std::this_thread::sleep_for(std::chrono::seconds(seconds));
        std::fprintf(stderr, "Morvalen Desktop: the shut-down took more than %d s, ending now\n", seconds);
        std::_Exit(1);
    }).detach();
}

void Install(std::function<void()> onSignal)
{
    if (g_pipe[0] != -1 || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_pipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(g_pipe[1], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [onSignal = std::move(onSignal)] {
        static bool ending = false;
        char buffer[16];
        [[maybe_unused]] const ssize_t read = ::read(g_pipe[1], buffer, sizeof buffer);
        if (std::exchange(ending, true)) {
            std::fputs("Morvalen Desktop: asked again to end, ending now\n", stderr);
            std::_Exit(1);
        }
        EndWithin(kSignalEndSeconds);
        onSignal();
    });

    struct sigaction action = {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(signal, &action, nullptr);
}

} // namespace TerminationSignals
