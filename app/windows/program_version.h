#pragma once
// The program's version, set once in the build (the project's version in the top CMakeLists.txt):
// the about window, --version, the man page and the package all show the same one.
namespace zorbalin {

// "2.2.0.44"
const char* ProgramVersion();

} // namespace zorbalin
