#pragma once

#include <functional>

// SIGTERM, SIGINT and SIGHUP (a session that ends, a terminal that closes) arrive as one
// call on the main thread, so that the program ends the orderly way and keeps its files.
namespace TerminationSignals {

// Installs the handlers once; onSignal runs on the thread that owns the event loop.
void Install(std::function<void()> onSignal);

} // namespace TerminationSignals
