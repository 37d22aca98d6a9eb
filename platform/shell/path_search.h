#pragma once
// Finding a program by name the way a shell does, along $PATH.
#include <string>

namespace zorbalin {

// The full path of the executable regular file Name in the folders of $PATH
// (the system's default path when $PATH is unset), or empty when there is none.
// A Name holding a '/' is taken as a path. Empty $PATH entries are skipped:
// they would mean "the current folder", an unsafe place to pick a program from.
std::string FindProgramOnPath(const std::string& Name);

} // namespace zorbalin
