#include "app/settings/settings.h"

#include "app/settings/ini_file.h"
#include "game/board.h"

#include <algorithm>

namespace zorbalin {

namespace {

const char kScreenSection[] = "Screen";
const char kLeftKey[] = "Left";
const char kTopKey[] = "Top";
const char kScaleKey[] = "Scale";
const char kAnimationKey[] = "Animation";
const char kGameSection[] = "Game";
const char kHardKey[] = "Hard";
const char kResumeKey[] = "Resume";
const char kClearableKey[] = "Clearable";

} // namespace

TSettings ReadSettings(const std::string& IniPath) {
    const TIniText ini = TIniFile(IniPath).Read();
    TSettings settings;
    settings.SavedLeft = ini.Integer(kScreenSection, kLeftKey, settings.SavedLeft);
    settings.SavedTop = ini.Integer(kScreenSection, kTopKey, settings.SavedTop);
    settings.Scale = std::clamp(ini.Integer(kScreenSection, kScaleKey, 0), 0, 4);
    const int32_t animation = ini.Integer(kScreenSection, kAnimationKey, -1);
    if (animation == 0 || animation == 1)
        settings.Animation = animation;
    int32_t colours = ini.Integer(kGameSection, kHardKey, settings.ColourCount);
    if (colours >= kFewestColours && colours <= kMostColours)
        settings.ColourCount = colours;
    settings.Resume = ini.Integer(kGameSection, kResumeKey, 0) == 1;
    settings.Clearable = ini.Integer(kGameSection, kClearableKey, 0) == 1;
    return settings;
}

void WriteSettings(const std::string& IniPath, int32_t Left, int32_t Top, int32_t ColourCount,
                   const std::vector<TIniValue>& More) {
    std::vector<TIniValue> values = {IniInteger(kScreenSection, kLeftKey, Left),
                                     IniInteger(kScreenSection, kTopKey, Top),
                                     IniInteger(kGameSection, kHardKey, ColourCount)};
    values.insert(values.end(), More.begin(), More.end());
    TIniFile(IniPath).WriteValues(values);
}

TIniValue ResumeValue(bool Resume) {
    return IniInteger(kGameSection, kResumeKey, Resume ? 1 : 0);
}

bool MotionWanted(int32_t Animation, bool DesktopAnimations) {
    if (Animation == 0 || Animation == 1)
        return Animation == 1;
    return DesktopAnimations;
}

void WriteAnimationSetting(const std::string& IniPath, bool On) {
    TIniFile(IniPath).WriteValues({IniInteger(kScreenSection, kAnimationKey, On ? 1 : 0)});
}

TIniValue ClearableValue(bool Clearable) {
    return IniInteger(kGameSection, kClearableKey, Clearable ? 1 : 0);
}

} // namespace zorbalin
