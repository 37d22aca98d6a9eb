#include "app/settings/language.h"

#include "app/settings/ini_file.h"
#include "strings/catalogue.h"
#include "strings/translate.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <sys/stat.h>

#ifndef ZORBALIN_LOCALE_FROM_PROGRAM
#define ZORBALIN_LOCALE_FROM_PROGRAM "../../share/locale"
#endif

namespace zorbalin {

namespace {

const char kScreenSection[] = "Screen";
const char kLanguageKey[] = "Language";
const char kCatalogueName[] = "zorbalin.mo";

bool IsFile(const std::string& Path) {
    struct stat info {};
    return ::stat(Path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// The file's bytes; nothing when it cannot be read or is larger than a catalogue can be.
std::optional<std::string> ReadCatalogueBytes(const std::string& Path) {
    std::ifstream file(Path, std::ios::binary);
    if (!file)
        return std::nullopt;
    std::string bytes;
    char buffer[4096];
    while (file.read(buffer, sizeof buffer) || file.gcount() > 0) {
        bytes.append(buffer, static_cast<std::size_t>(file.gcount()));
        if (bytes.size() > TCatalogue::kMaxSize)
            return std::nullopt;
    }
    if (file.bad())
        return std::nullopt;
    return bytes;
}

} // namespace

const char* LanguageCode(TLanguage Language) {
    return Language == TLanguage::English ? "en" : "hu";
}

std::optional<TLanguage> ParseLanguage(const std::string& Code) {
    if (Code == "hu")
        return TLanguage::Hungarian;
    if (Code == "en")
        return TLanguage::English;
    return std::nullopt;
}

TLanguage ChooseLanguage(const char* Environment, const std::string& Setting) {
    const bool fromEnvironment = Environment != nullptr && Environment[0] != '\0';
    return ParseLanguage(fromEnvironment ? Environment : Setting).value_or(TLanguage::Hungarian);
}

TLanguage ChosenLanguage(const std::string& IniPath) {
    return ChooseLanguage(std::getenv("ZORBALIN_LANG"),
                          TIniFile(IniPath).ReadString(kScreenSection, kLanguageKey));
}

void SaveLanguage(const std::string& IniPath, TLanguage Language) {
    TIniFile(IniPath).WriteValues({{kScreenSection, kLanguageKey, LanguageCode(Language)}});
}

std::string CatalogueFile(const std::string& AppDir, TLanguage Language) {
    const std::string tail =
        std::string("/") + LanguageCode(Language) + "/LC_MESSAGES/" + kCatalogueName;
    for (const std::string& folder :
         {AppDir + "/locale", AppDir + "/" + ZORBALIN_LOCALE_FROM_PROGRAM}) {
        if (IsFile(folder + tail))
            return folder + tail;
    }
    return {};
}

std::string UseLanguage(TLanguage Language, const std::string& AppDir) {
    UseCatalogue(nullptr);
    if (Language == TLanguage::Hungarian)
        return {};
    const std::string path = CatalogueFile(AppDir, Language);
    if (path.empty())
        return std::string("No catalogue for the language \"") + LanguageCode(Language) +
               "\" beside the program; the texts stay Hungarian";
    std::optional<std::string> bytes = ReadCatalogueBytes(path);
    std::optional<TCatalogue> catalogue = bytes ? TCatalogue::Parse(*bytes) : std::nullopt;
    if (!catalogue)
        return "The catalogue " + path + " is damaged; the texts stay Hungarian";
    UseCatalogue(std::make_shared<const TCatalogue>(std::move(*catalogue)));
    return {};
}

} // namespace zorbalin
