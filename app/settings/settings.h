#pragma once
// The three values the game keeps between runs: the main window's position and
// the number of pebble colours.
#include "app/settings/ini_file.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zorbalin {

struct TSettings {
    int32_t SavedLeft = 10;  // left edge of the main window, screen pixels
    int32_t SavedTop = 10;   // top edge of the main window, screen pixels
    int32_t ColourCount = 4; // 3, 4 or 5
    int32_t Scale = 0;       // windows' scale 1..4 the user asked for; 0 automatic (only read)
    bool Resume = false;     // the game in progress is kept and comes back at the next start
    int32_t Animation = -1;  // moves shown in motion: 1 yes, 0 no, -1 as the desktop asks
    bool Clearable = false;  // Clearable=1 in [Game]: new deals only boards the solver clears
};

// Whether the board shows its moves in motion: as the settings file says when it says 0 or 1,
// else as the desktop asks.
bool MotionWanted(int32_t Animation, bool DesktopAnimations);

// Writes "Animation" of "Screen" (0 or 1) at once. Throws EIniWriteError like WriteSettings.
void WriteAnimationSetting(const std::string& IniPath, bool On);

// Reads the settings file; missing keys, a missing file and values that are
// not numbers give the defaults, and a colour count outside 3..5 gives 4.
// The position is taken as it is, even when it lies off every screen. A scale
// above 4 gives 4; one below 0 gives 0. Resume and Clearable are on for
// "Resume=1" and "Clearable=1" in "Game" only. An animation value other than 0
// or 1 is not set (-1).
// Never fails.
TSettings ReadSettings(const std::string& IniPath);

// Writes "Left" and "Top" of "Screen", then "Hard" of "Game", and then any
// `more` values, all in one replacement of the file. Throws EIniWriteError
// (app/settings/ini_file.h), with the file unchanged, when it cannot be written.
void WriteSettings(const std::string& IniPath, int32_t Left, int32_t Top, int32_t ColourCount,
                   const std::vector<TIniValue>& More = {});

// The value that turns Resume on or off, saved by itself when the player
// changes it.
TIniValue ResumeValue(bool Resume);

// The value that turns Clearable on or off, saved by itself when the player
// changes it.
TIniValue ClearableValue(bool Clearable);

} // namespace zorbalin
