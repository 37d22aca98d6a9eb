#pragma once
// The player's language: Hungarian, the program's own, unless the player asks for English by
// ZORBALIN_LANG for one run or by Language in [Screen] of the settings file. The locale plays no
// part: the game's texts are Hungarian whatever the desktop speaks.
#include <optional>
#include <string>

namespace zorbalin {

enum class TLanguage { Hungarian, English };

// "hu" or "en", as in the settings file and the catalogues' folders.
const char* LanguageCode(TLanguage Language);

// The language of a code; nothing for an unknown or empty one.
std::optional<TLanguage> ParseLanguage(const std::string& Code);

// ZORBALIN_LANG when set and not empty, else the settings file's value; an unknown language in
// the one that decides, or none in either, is Hungarian.
TLanguage ChooseLanguage(const char* Environment, const std::string& Setting);

// The language the player chose for this run: ZORBALIN_LANG and the settings file at IniPath.
TLanguage ChosenLanguage(const std::string& IniPath);

// Keeps Language in the settings file at IniPath. Throws EIniWriteError when it cannot.
void SaveLanguage(const std::string& IniPath, TLanguage Language);

// The compiled catalogue of Language for a program in AppDir: beside it in the build tree
// (locale/), or in the share/locale of an installed tree or the package. "" when none exists.
std::string CatalogueFile(const std::string& AppDir, TLanguage Language);

// Shows the program's texts in Language from now on. A language whose catalogue is missing or
// damaged leaves Hungarian in place and returns the error to tell the player; "" otherwise.
std::string UseLanguage(TLanguage Language, const std::string& AppDir);

} // namespace zorbalin
