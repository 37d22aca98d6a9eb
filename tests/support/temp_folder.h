#pragma once
// Scratch folders and environment variables for tests that must never touch
// the real home folder.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>

namespace zorbalin::testing {

// A fresh folder under the system's temporary folder, removed with everything
// in it when the object goes.
class TTempFolder {
  public:
    TTempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "zorbalin-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("mkdtemp failed");
        FPath = pattern;
    }
    ~TTempFolder() {
        std::error_code ignored;
        // Read-only folders left by a test must not keep their contents alive.
        std::filesystem::permissions(FPath, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(FPath, ignored);
    }
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;

    const std::string& Path() const { return FPath; }
    std::string operator/(const std::string& Name) const { return FPath + "/" + Name; }

  private:
    std::string FPath;
};

// Sets (or with nullopt, removes) one environment variable for the life of
// the object, then puts the old value back.
class TScopedEnv {
  public:
    TScopedEnv(std::string Name, const std::optional<std::string>& Value) : FName(std::move(Name)) {
        if (const char* old = std::getenv(FName.c_str()))
            FOld = old;
        Set(Value);
    }
    ~TScopedEnv() { Set(FOld); }
    TScopedEnv(const TScopedEnv&) = delete;
    TScopedEnv& operator=(const TScopedEnv&) = delete;

  private:
    void Set(const std::optional<std::string>& Value) {
        if (Value)
            ::setenv(FName.c_str(), Value->c_str(), 1);
        else
            ::unsetenv(FName.c_str());
    }
    std::string FName;
    std::optional<std::string> FOld;
};

inline std::string ReadFile(const std::string& Path) {
    std::ifstream in(Path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFile(const std::string& Path, const std::string& Content) {
    std::ofstream out(Path, std::ios::binary | std::ios::trunc);
    out << Content;
}

} // namespace zorbalin::testing
