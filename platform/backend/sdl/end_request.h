// SIGTERM, SIGINT and SIGHUP (a session that ends, Ctrl+C, a closed terminal) ask the program to
// end; the message loop takes the request like any event (internal to the SDL backend).
#pragma once

namespace zorbalin {

// Installs the handlers; until then the signals keep their default action. SIGINT and SIGHUP
// that the program was started with ignored stay ignored.
void InstallEndSignals();

// Whether an end was asked for since the last call.
bool TakeEndRequest();

// Becomes readable when an end is asked for, so that a wait can include it; -1 when none.
int EndRequestFd();

} // namespace zorbalin
