#include "app/settings/stats.h"

#include "app/settings/atomic_file.h"
#include "app/settings/ini_file.h"
#include "app/settings/ini_text.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <stdexcept>
#include <utility>
#include <vector>

namespace zorbalin {

namespace {

const char kStatsSection[] = "Stats";
constexpr std::int32_t kInt32Max = std::numeric_limits<std::int32_t>::max();

std::string KeyFor(const char* Figure, std::int32_t ColourCount) {
    return Figure + std::to_string(ColourCount);
}

std::optional<std::int32_t> ReadNumber(std::string_view Text, const std::string& Key) {
    std::optional<std::string> value = ReadIniValue(Text, kStatsSection, Key);
    return value ? ParseIniInteger(*value) : std::nullopt;
}

// A count: missing or negative reads as 0.
std::int32_t ReadCount(std::string_view Text, const std::string& Key) {
    return std::max(ReadNumber(Text, Key).value_or(0), 0);
}

bool IsResult(std::int64_t Value) {
    return Value >= 0 && Value <= kCellCount;
}

// "5,0,12": results separated by commas; anything that is not a result is skipped.
std::vector<std::int32_t> ParseResults(const std::string& Text) {
    std::vector<std::int32_t> results;
    std::size_t begin = 0;
    while (begin <= Text.size()) {
        std::size_t comma = std::min(Text.find(',', begin), Text.size());
        std::optional<std::int32_t> value = ParseIniInteger(Text.substr(begin, comma - begin));
        if (value && IsResult(*value))
            results.push_back(*value);
        begin = comma + 1;
    }
    if (results.size() > kRecentResults)
        results.erase(results.begin(), results.end() - kRecentResults);
    return results;
}

std::string FormatResults(const std::vector<std::int32_t>& Results) {
    std::string text;
    for (std::int32_t result : Results)
        text += (text.empty() ? "" : ",") + std::to_string(result);
    return text;
}

TColourStats ReadColourStats(std::string_view Text, std::int32_t ColourCount) {
    TColourStats stats;
    stats.Finished = ReadCount(Text, KeyFor("Finished", ColourCount));
    if (stats.Finished == 0)
        return stats; // nothing else means anything without a finished deal
    // The figures can only be as large as the finished deals allow.
    std::optional<std::int32_t> best = ReadNumber(Text, KeyFor("Best", ColourCount));
    stats.Best = best && IsResult(*best) ? *best : -1;
    std::int64_t total = ReadCount(Text, KeyFor("Total", ColourCount));
    stats.Total = std::min<std::int64_t>(total, std::int64_t{kCellCount} * stats.Finished);
    stats.Praised = std::min(ReadCount(Text, KeyFor("Praised", ColourCount)), stats.Finished);
    stats.Cleared = std::min(ReadCount(Text, KeyFor("Cleared", ColourCount)), stats.Praised);
    if (std::optional<std::string> recent =
            ReadIniValue(Text, kStatsSection, KeyFor("Recent", ColourCount)))
        stats.Recent = ParseResults(*recent);
    return stats;
}

} // namespace

double TColourStats::Mean() const {
    return Finished > 0 ? static_cast<double>(Total) / Finished : 0.0;
}

void TColourStats::Record(std::int32_t PebblesLeft) {
    if (!IsResult(PebblesLeft))
        throw std::out_of_range("a result is 0 to 162 pebbles");
    // Counts stop at the largest value the file can hold rather than wrap.
    if (Finished == kInt32Max)
        return;
    ++Finished;
    Total = std::min<std::int64_t>(Total + PebblesLeft, kInt32Max);
    if (Best < 0 || PebblesLeft < Best)
        Best = PebblesLeft;
    if (PebblesLeft <= kPraisedAtMost)
        ++Praised;
    if (PebblesLeft == 0)
        ++Cleared;
    Recent.push_back(PebblesLeft);
    if (Recent.size() > kRecentResults)
        Recent.erase(Recent.begin());
}

TColourStats& TStats::For(std::int32_t ColourCount) {
    if (ColourCount < kFewestColours || ColourCount > kMostColours)
        throw std::out_of_range("the number of colours must be 3, 4 or 5");
    return ByColours[static_cast<std::size_t>(ColourCount - kFewestColours)];
}

const TColourStats& TStats::For(std::int32_t ColourCount) const {
    return const_cast<TStats*>(this)->For(ColourCount);
}

TStats ReadStats(const std::string& IniPath) {
    TStats stats;
    std::optional<std::string> text = ReadWholeFile(IniPath, kMaxIniFileSize);
    if (!text)
        return stats;
    for (std::int32_t colours = 3; colours <= 5; ++colours)
        stats.For(colours) = ReadColourStats(*text, colours);
    return stats;
}

void WriteStats(const std::string& IniPath, const TStats& Stats,
                const std::vector<TIniValue>& More) {
    std::vector<TIniValue> values;
    for (std::int32_t colours = 3; colours <= 5; ++colours) {
        const TColourStats& figures = Stats.For(colours);
        const auto add = [&](const char* Figure, std::string Value) {
            values.push_back({kStatsSection, KeyFor(Figure, colours), std::move(Value)});
        };
        add("Finished", std::to_string(figures.Finished));
        add("Best", figures.Best < 0 ? std::string() : std::to_string(figures.Best));
        add("Total", std::to_string(figures.Total));
        add("Praised", std::to_string(figures.Praised));
        add("Cleared", std::to_string(figures.Cleared));
        add("Recent", FormatResults(figures.Recent));
    }
    values.insert(values.end(), More.begin(), More.end());
    TIniFile(IniPath).WriteValues(values);
}

TStats RecordResult(const std::string& IniPath, std::int32_t ColourCount, std::int32_t PebblesLeft,
                    const std::vector<TIniValue>& More) {
    TStats stats = ReadStats(IniPath);
    stats.For(ColourCount).Record(PebblesLeft);
    WriteStats(IniPath, stats, More);
    return stats;
}

} // namespace zorbalin
