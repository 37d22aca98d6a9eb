#include "app/settings/stats.h"

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
constexpr std::int64_t kCountMax = std::numeric_limits<std::int64_t>::max();

std::string KeyFor(const char* Figure, std::int32_t ColourCount) {
    return Figure + std::to_string(ColourCount);
}

// A count: missing, not a number or negative reads as 0.
std::int64_t ReadCount(const TIniText& Text, const std::string& Key) {
    std::optional<std::string_view> value = Text.Value(kStatsSection, Key);
    return std::max<std::int64_t>(value ? ParseIniInteger64(*value).value_or(0) : 0, 0);
}

// Counts stop at the largest value rather than wrap.
std::int64_t SaturatingAdd(std::int64_t Count, std::int64_t More) {
    return Count > kCountMax - More ? kCountMax : Count + More;
}

bool IsResult(std::int64_t Value) {
    return Value >= 0 && Value <= kCellCount;
}

// "5,0,12": results separated by commas; anything that is not a result is skipped.
std::vector<std::int32_t> ParseResults(std::string_view Text) {
    std::vector<std::int32_t> results;
    std::size_t begin = 0;
    while (begin <= Text.size()) {
        std::size_t comma = std::min(Text.find(',', begin), Text.size());
        std::optional<std::int32_t> value = ParseIniInteger(Text.substr(begin, comma - begin));
        if (value && IsResult(*value))
            results.push_back(*value);
        begin = comma + 1;
        // Only the latest few are kept: a huge list must not fill the memory.
        if (results.size() > 2 * kRecentResults)
            results.erase(results.begin(), results.end() - kRecentResults);
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

TColourStats ReadColourStats(const TIniText& Text, std::int32_t ColourCount) {
    TColourStats stats;
    stats.Finished = ReadCount(Text, KeyFor("Finished", ColourCount));
    if (stats.Finished == 0)
        return stats; // nothing else means anything without a finished deal
    // The figures can only be as large as the finished deals allow.
    std::optional<std::string_view> best = Text.Value(kStatsSection, KeyFor("Best", ColourCount));
    std::optional<std::int32_t> bestValue = best ? ParseIniInteger(*best) : std::nullopt;
    stats.Best = bestValue && IsResult(*bestValue) ? *bestValue : -1;
    const std::int64_t total = ReadCount(Text, KeyFor("Total", ColourCount));
    stats.Total = stats.Finished > kCountMax / kCellCount
                      ? total
                      : std::min<std::int64_t>(total, kCellCount * stats.Finished);
    stats.Praised = std::min(ReadCount(Text, KeyFor("Praised", ColourCount)), stats.Finished);
    stats.Cleared = std::min(ReadCount(Text, KeyFor("Cleared", ColourCount)), stats.Praised);
    if (std::optional<std::string_view> recent =
            Text.Value(kStatsSection, KeyFor("Recent", ColourCount)))
        stats.Recent = ParseResults(*recent);
    return stats;
}

TStats ReadStatsFrom(const TIniText& Text) {
    TStats stats;
    for (std::int32_t colours = 3; colours <= 5; ++colours)
        stats.For(colours) = ReadColourStats(Text, colours);
    return stats;
}

std::vector<TIniValue> StatsValues(const TStats& Stats) {
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
    return values;
}

} // namespace

double TColourStats::Mean() const {
    return Finished > 0 ? static_cast<double>(Total) / static_cast<double>(Finished) : 0.0;
}

void TColourStats::Record(std::int32_t PebblesLeft) {
    if (!IsResult(PebblesLeft))
        throw std::out_of_range("a result is 0 to 162 pebbles");
    Finished = SaturatingAdd(Finished, 1);
    Total = SaturatingAdd(Total, PebblesLeft);
    if (Best < 0 || PebblesLeft < Best)
        Best = PebblesLeft;
    if (PebblesLeft <= kPraisedAtMost)
        Praised = SaturatingAdd(Praised, 1);
    if (PebblesLeft == 0)
        Cleared = SaturatingAdd(Cleared, 1);
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
    return ReadStatsFrom(TIniFile(IniPath).Read());
}

void WriteStats(const std::string& IniPath, const TStats& Stats,
                const std::vector<TIniValue>& More) {
    std::vector<TIniValue> values = StatsValues(Stats);
    values.insert(values.end(), More.begin(), More.end());
    TIniFile(IniPath).WriteValues(values);
}

TStats RecordResult(const std::string& IniPath, std::int32_t ColourCount, std::int32_t PebblesLeft,
                    const std::vector<TIniValue>& More) {
    TStats stats;
    TIniFile(IniPath).Update([&](const TIniText& Current) {
        stats = ReadStatsFrom(Current);
        stats.For(ColourCount).Record(PebblesLeft);
        std::vector<TIniValue> values = StatsValues(stats);
        values.insert(values.end(), More.begin(), More.end());
        return values;
    });
    return stats;
}

} // namespace zorbalin
