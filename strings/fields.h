#pragma once
// Text fields: the splitter that reads a cell's column and row from its name and a group key.
// Plain string code, so that the game can use it without the settings or any window.
#include <string>

namespace zorbalin {

// Field number `index` (from 1) of `text`, where every character occurring in
// `separators` ends a field. Empty when the field is empty or does not exist.
// The game names cells "i5i3" and keys groups "5i3", both read with the
// separator "i".
std::string GetField(const std::string& Separators, const std::string& Text, int Index);

} // namespace zorbalin
