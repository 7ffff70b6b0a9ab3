#pragma once

#include <functional>

// SIGTERM, SIGINT and SIGHUP (a session that ends, a terminal that closes) arrive as one
// call on the main thread, so that the program ends the orderly way and keeps its files.
namespace TerminationSignals {

// Installs the handlers once; onSignal runs on the thread that owns the event loop. A signal
// that comes while the first is still being handled ends the process at once: the user asked
// twice.
void Install(std::function<void()> onSignal);

// Once the program has decided to end, it ends within seconds even when something it waits
// for never answers; the files it writes are replaced atomically, so none is left half written.
void EndWithin(int seconds);

} // namespace TerminationSignals
