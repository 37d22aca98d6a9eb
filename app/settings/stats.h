#pragma once
// The player's record, per number of colours: deals finished, pebbles left
// (best, mean), deals with at most ten left, boards cleared and the last
// results. It is kept in the settings file, section [Stats], one key a line,
// beside whatever else the file holds.
#include "app/settings/ini_file.h"
#include "game/board.h"
#include "game/result_texts.h" // kPraisedAtMost

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace zorbalin {

// How many of the latest results are kept.
constexpr std::size_t kRecentResults = 20;

// The counts stop at the largest int64 rather than wrap or stop recording.
struct TColourStats {
    std::int64_t Finished = 0;
    std::int32_t Best = -1; // fewest pebbles left; -1 when unknown (no deal, or lost from the file)
    std::int64_t Total = 0; // pebbles left, summed over the finished deals
    std::int64_t Praised = 0;
    std::int64_t Cleared = 0;
    std::vector<std::int32_t> Recent; // oldest first, at most kRecentResults

    // Pebbles left per finished deal; 0 before the first.
    double Mean() const;
    void Record(std::int32_t PebblesLeft);
};

struct TStats {
    // Index 0 for kFewestColours, the last for kMostColours.
    std::array<TColourStats, kMostColours - kFewestColours + 1> ByColours;

    // ColourCount kFewestColours to kMostColours; other values throw std::out_of_range.
    TColourStats& For(std::int32_t ColourCount);
    const TColourStats& For(std::int32_t ColourCount) const;
};

// Reads [Stats] of the settings file. Missing keys, a missing or unreadable
// file and values that make no sense (negative counts, more praised deals
// than finished ones, results outside 0..162) are read as nothing recorded
// for that figure. Never fails.
TStats ReadStats(const std::string& IniPath);

// Writes every key of [Stats], then the More values, in one replacement of the
// file, keeping all its other lines. Throws EIniWriteError (app/settings/ini_file.h)
// when it cannot.
void WriteStats(const std::string& IniPath, const TStats& Stats,
                const std::vector<TIniValue>& More = {});

// The result of a finished deal: read the file, add it, write it back with
// More (the kept game that says it was counted), all under the settings
// file's lock, so that a second running copy of the game loses nothing it
// wrote meanwhile. Returns the figures written.
TStats RecordResult(const std::string& IniPath, std::int32_t ColourCount, std::int32_t PebblesLeft,
                    const std::vector<TIniValue>& More = {});

} // namespace zorbalin
