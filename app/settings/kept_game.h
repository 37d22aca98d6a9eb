#pragma once
// The game in progress, kept in the settings file (section [KeptGame]) after every move when the
// player asked for it (Resume=1 in [Game]), so that the next start brings it back: its deal
// number, colour count and starting board, every click that changed the board (those redo can
// still take included), how many of them are played, and whether its end is in the statistics
// already.
//
//   [KeptGame]
//   Format=1
//   Deal=123456789
//   Colours=4
//   Start=<162 digits 1-5, column 1 rows 1-9 first>
//   Clicks=1.9,2.9,3.9      column.row, in the order played
//   Played=2
//   Counted=0
//
// The section shares the settings file so that a finished game's statistics and its being
// counted reach the disk in one write: a game can never be counted twice.
#include "app/settings/ini_file.h"
#include "game/played_game.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zorbalin {

struct TKeptGame {
    TPlayedGame Game;
    bool Counted = false; // its end has gone into the statistics
};

// More clicks than a board has pebbles cannot come from play.
constexpr std::size_t kMostKeptClicks = kCellCount;

// The kept game in a settings file's text; nothing when there is none, or when it cannot be read:
// a missing or damaged value, a later format, more than kMostKeptClicks clicks. Whether its clicks
// play back is TGame::Resume's to say.
std::optional<TKeptGame> ParseKeptGame(std::string_view IniText);
std::optional<TKeptGame> ParseKeptGame(const TIniText& IniText);
// The same, read from the settings file; never fails.
std::optional<TKeptGame> ReadKeptGame(const std::string& IniPath);

// The values that keep Game, and the values that leave no game kept.
std::vector<TIniValue> KeptGameValues(const TKeptGame& Game);
std::vector<TIniValue> NoKeptGameValues();
// Values as one text, a line each, to tell whether a write would change anything.
std::string IniValuesText(const std::vector<TIniValue>& Values);

} // namespace zorbalin
