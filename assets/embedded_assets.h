#pragma once
// The artwork PNG files, compiled into the program so that it needs no picture files of its own
// beside it (the pebble bitmaps in Ico/ are the exception: they are data the player may replace).

#include <cstddef>
#include <string_view>
#include <utility>

namespace zorbalin {

struct TEmbeddedAssetEntry {
    std::string_view Name; // path below assets/, e.g. "button_close.png", "icons/zorbalin-48.png"
    const unsigned char* Data;
    std::size_t Size;
};

// The bytes of the named file, or {nullptr, 0} when no file of that name was embedded.
std::pair<const unsigned char*, std::size_t> EmbeddedAsset(std::string_view name);

// Every embedded file, sorted by name; `count` receives their number.
const TEmbeddedAssetEntry* EmbeddedAssetTable(std::size_t& count);

// The names the windows use.
namespace asset {
inline constexpr std::string_view kMainBackground = "main_background.png"; // 670 x 480, opaque
inline constexpr std::string_view kResultPanel = "result_panel.png";       // 225 x 150, opaque
inline constexpr std::string_view kAboutPanel = "about_panel.png";         // 367 x 300, opaque
inline constexpr std::string_view kStatsPanel = "stats_panel.png";         // 400 x 330, opaque
inline constexpr std::string_view kButtonReplay = "button_replay.png";     // 32 x 32
inline constexpr std::string_view kButtonNewGame = "button_new_game.png";  // 32 x 32
inline constexpr std::string_view kButtonSettings = "button_settings.png"; // 32 x 32
inline constexpr std::string_view kButtonAbout = "button_about.png";       // 32 x 32
inline constexpr std::string_view kButtonNews = "button_news.png";         // 32 x 32
inline constexpr std::string_view kButtonHome = "button_home.png";         // 32 x 32
inline constexpr std::string_view kButtonMinimise = "button_minimise.png"; // 16 x 16
inline constexpr std::string_view kButtonClose =
    "button_close.png"; // 16 x 16, also the dialogs' cross
inline constexpr std::string_view kIcon16 = "icons/zorbalin-16.png";
inline constexpr std::string_view kIcon24 = "icons/zorbalin-24.png";
inline constexpr std::string_view kIcon32 = "icons/zorbalin-32.png";
inline constexpr std::string_view kIcon48 = "icons/zorbalin-48.png";
inline constexpr std::string_view kIcon64 = "icons/zorbalin-64.png";
inline constexpr std::string_view kIcon128 = "icons/zorbalin-128.png";
inline constexpr std::string_view kIcon256 = "icons/zorbalin-256.png";
} // namespace asset

} // namespace zorbalin
