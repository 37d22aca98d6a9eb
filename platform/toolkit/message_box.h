// The message box: a modal dialog of our own (not the window system's), so that it keeps the
// program's windows painted while it is open and runs the same way on every backend. It shows
// an icon (a stop sign for MB_ICONSTOP), the text word-wrapped, and OK (with MB_OKCANCEL also
// Cancel); Enter answers OK, Esc answers Cancel, or OK when there is no Cancel. The backend is
// told of every box (headless runs record and answer them).
#pragma once

#include <string>

namespace zorbalin {

// Runs the box on the global Application; returns IDOK or IDCANCEL.
int RunMessageBox(const std::string& Text, const std::string& Caption, unsigned Flags);

} // namespace zorbalin
