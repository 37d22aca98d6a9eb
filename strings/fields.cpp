#include "strings/fields.h"

namespace zorbalin {

std::string GetField(const std::string& separators, const std::string& text, int index) {
    std::string field;
    int counter = 1;
    for (char c : text) {
        if (separators.find(c) != std::string::npos)
            ++counter;
        else if (counter == index)
            field += c;
    }
    return field;
}

} // namespace zorbalin
