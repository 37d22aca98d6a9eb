// Class names for messages and the conversion error of Assign.
#include "toolkit/exception.h"

#include <cxxabi.h>

#include <cstdlib>
#include <memory>
#include <typeinfo>

namespace zorbalin {

std::string ClassNameOf(const TObject* Object) {
    if (!Object)
        return "nil";
    const char* mangled = typeid(*Object).name();
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> demangled(
        abi::__cxa_demangle(mangled, nullptr, nullptr, &status), std::free);
    std::string name = status == 0 && demangled ? demangled.get() : mangled;
    std::size_t colon = name.rfind("::");
    return colon == std::string::npos ? name : name.substr(colon + 2);
}

void RaiseAssignError(const TObject* Source, const TObject* Destination) {
    throw EConvertError("Cannot assign a " + ClassNameOf(Source) + " to a " +
                        ClassNameOf(Destination));
}

} // namespace zorbalin
