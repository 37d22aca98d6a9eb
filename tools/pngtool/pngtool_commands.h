// The three commands of pngtool. Each returns the process exit status and raises
// the picture's own exceptions for load and save failures.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>

namespace zorbalin {

struct TDrawOptions {
    uint32_t Background = 0xFFFFFF; // RRGGBB
    int Width = -1;                 // -1: the picture's own size
    int Height = -1;
};

int InfoCommand(const std::string& Path, std::ostream& Out);
int DrawCommand(const std::string& In, const std::string& Out, const TDrawOptions& Options);
int ResaveCommand(const std::string& In, const std::string& Out);

} // namespace zorbalin
