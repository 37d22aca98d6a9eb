#include "strings/fields.h"

namespace zorbalin {

std::string GetField(const std::string& Separators, const std::string& Text, int Index) {
    std::string field;
    int counter = 1;
    for (char c : Text) {
        if (Separators.find(c) != std::string::npos)
            ++counter;
        else if (counter == Index)
            field += c;
    }
    return field;
}

} // namespace zorbalin
