#include "app/settings.h"

#include "app/ini_file.h"

#include <algorithm>

namespace zorbalin {

namespace {

const char kScreenSection[] = "Screen";
const char kLeftKey[] = "Left";
const char kTopKey[] = "Top";
const char kScaleKey[] = "Scale";
const char kGameSection[] = "Game";
const char kHardKey[] = "Hard";

constexpr int32_t kFewestColours = 3;
constexpr int32_t kMostColours = 5;

} // namespace

TSettings ReadSettings(const std::string& iniPath) {
    const TIniFile ini(iniPath);
    TSettings settings;
    settings.SavedLeft = ini.ReadInteger(kScreenSection, kLeftKey, settings.SavedLeft);
    settings.SavedTop = ini.ReadInteger(kScreenSection, kTopKey, settings.SavedTop);
    settings.Scale = std::clamp(ini.ReadInteger(kScreenSection, kScaleKey, 0), 0, 4);
    int32_t colours = ini.ReadInteger(kGameSection, kHardKey, settings.ColourCount);
    if (colours >= kFewestColours && colours <= kMostColours)
        settings.ColourCount = colours;
    return settings;
}

void WriteSettings(const std::string& iniPath, int32_t left, int32_t top, int32_t colourCount,
                   const std::vector<TIniValue>& more) {
    std::vector<TIniValue> values = {IniInteger(kScreenSection, kLeftKey, left),
                                     IniInteger(kScreenSection, kTopKey, top),
                                     IniInteger(kGameSection, kHardKey, colourCount)};
    values.insert(values.end(), more.begin(), more.end());
    TIniFile(iniPath).WriteValues(values);
}

} // namespace zorbalin
