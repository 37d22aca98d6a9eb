// pngtool: the program's PNG reader on the command line.
//   pngtool info FILE
//   pngtool draw IN OUT.ppm [--bg RRGGBB] [--size WxH]
//   pngtool resave IN OUT
// A failure prints "ClassName: message" on standard error and exits with 1; bad
// arguments print the usage and exit with 2.
#include <cxxabi.h>

#include <cstdlib>
#include <iostream>
#include <memory>
#include <typeinfo>

#include "pngtool_commands.h"
#include "toolkit/exception.h"

namespace {

constexpr const char* kUsage = "usage: pngtool info FILE | pngtool draw IN OUT.ppm [--bg RRGGBB] "
                               "[--size WxH] | pngtool resave IN OUT";

int Usage() {
    std::cerr << kUsage << "\n";
    return 2;
}

// The exception's class name without its namespace, e.g. "EPngInvalidCRC".
std::string ClassName(const std::exception& E) {
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> name(
        abi::__cxa_demangle(typeid(E).name(), nullptr, nullptr, &status), std::free);
    std::string full = status == 0 && name ? name.get() : typeid(E).name();
    const size_t colon = full.rfind("::");
    return colon == std::string::npos ? full : full.substr(colon + 2);
}

bool ParseHex(const std::string& Text, uint32_t& Value) {
    if (Text.size() != 6 || Text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        return false;
    Value = static_cast<uint32_t>(std::stoul(Text, nullptr, 16));
    return true;
}

bool ParseSize(const std::string& Text, int& Width, int& Height) {
    const size_t x = Text.find('x');
    if (x == std::string::npos || x == 0 || x + 1 == Text.size())
        return false;
    const std::string w = Text.substr(0, x), h = Text.substr(x + 1);
    if (w.find_first_not_of("0123456789") != std::string::npos ||
        h.find_first_not_of("0123456789") != std::string::npos || w.size() > 5 || h.size() > 5)
        return false;
    Width = std::stoi(w);
    Height = std::stoi(h);
    return Width > 0 && Height > 0;
}

bool ParseDrawOptions(int Argc, char** Argv, zorbalin::TDrawOptions& Options) {
    for (int i = 4; i < Argc; i += 2) {
        if (i + 1 >= Argc)
            return false;
        const std::string flag = Argv[i], value = Argv[i + 1];
        if (flag == "--bg") {
            if (!ParseHex(value, Options.Background))
                return false;
        } else if (flag == "--size") {
            if (!ParseSize(value, Options.Width, Options.Height))
                return false;
        } else {
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3)
        return Usage();
    const std::string command = argv[1];
    try {
        if (command == "info" && argc == 3)
            return zorbalin::InfoCommand(argv[2], std::cout);
        if (command == "resave" && argc == 4)
            return zorbalin::ResaveCommand(argv[2], argv[3]);
        if (command == "draw" && argc >= 4) {
            zorbalin::TDrawOptions options;
            if (!ParseDrawOptions(argc, argv, options))
                return Usage();
            return zorbalin::DrawCommand(argv[2], argv[3], options);
        }
        return Usage();
    } catch (const zorbalin::Exception& e) {
        std::cerr << ClassName(e) << ": " << e.Message() << "\n";
        return 1;
    } catch (const std::exception& e) {
        std::cerr << ClassName(e) << ": " << e.what() << "\n";
        return 1;
    }
}
