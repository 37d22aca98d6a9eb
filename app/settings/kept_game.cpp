#include "app/settings/kept_game.h"

#include "app/settings/ini_text.h"

#include <charconv>

namespace zorbalin {

namespace {

const char kSection[] = "KeptGame";
const char kFormatKey[] = "Format";
const char kDealKey[] = "Deal";
const char kColoursKey[] = "Colours";
const char kStartKey[] = "Start";
const char kClicksKey[] = "Clicks";
const char kPlayedKey[] = "Played";
const char kCountedKey[] = "Counted";
// Raised when the layout changes; a later layout is not guessed at.
constexpr std::int32_t kFormat = 1;

std::optional<std::int32_t> ReadNumber(const TIniText& Text, const char* Key) {
    std::optional<std::string_view> value = Text.Value(kSection, Key);
    return value ? ParseIniInteger(*value) : std::nullopt;
}

bool ParseStart(std::string_view Text, TPlayedGame& Game) {
    if (Text.size() != Game.Start.size())
        return false;
    for (std::size_t i = 0; i < Text.size(); ++i) {
        if (Text[i] < '1' || Text[i] > '9')
            return false;
        Game.Start[i] = Text[i] - '0';
    }
    return true;
}

// A whole decimal number in Text, nothing else.
std::optional<int> WholeNumber(std::string_view Text) {
    int value = 0;
    const char* end = Text.data() + Text.size();
    auto [at, error] = std::from_chars(Text.data(), end, value);
    if (error != std::errc() || at != end || Text.empty())
        return std::nullopt;
    return value;
}

// "1.9,2.9": cells on the board, as many as kMostKeptClicks.
bool ParseClicks(std::string_view Text, TPlayedGame& Game) {
    if (Text.empty())
        return true;
    std::size_t begin = 0;
    while (begin <= Text.size()) {
        if (Game.Clicks.size() == kMostKeptClicks)
            return false;
        const std::size_t comma = std::min(Text.find(',', begin), Text.size());
        const std::string_view click = Text.substr(begin, comma - begin);
        const std::size_t dot = click.find('.');
        if (dot == std::string_view::npos)
            return false;
        std::optional<int> col = WholeNumber(click.substr(0, dot));
        std::optional<int> row = WholeNumber(click.substr(dot + 1));
        if (!col || !row || !IsOnBoard(*col, *row))
            return false;
        Game.Clicks.push_back({*col, *row});
        begin = comma + 1;
    }
    return true;
}

std::string FormatStart(const TPlayedGame& Game) {
    std::string text;
    for (std::int32_t colour : Game.Start)
        text += static_cast<char>('0' + colour);
    return text;
}

std::string FormatClicks(const TPlayedGame& Game) {
    std::string text;
    for (const TCellPosition& click : Game.Clicks)
        text +=
            (text.empty() ? "" : ",") + std::to_string(click.Col) + "." + std::to_string(click.Row);
    return text;
}

} // namespace

std::optional<TKeptGame> ParseKeptGame(std::string_view IniText) {
    return ParseKeptGame(TIniText(std::string(IniText)));
}

std::optional<TKeptGame> ParseKeptGame(const TIniText& IniText) {
    if (ReadNumber(IniText, kFormatKey) != kFormat)
        return std::nullopt;
    std::optional<std::int32_t> deal = ReadNumber(IniText, kDealKey);
    std::optional<std::int32_t> colours = ReadNumber(IniText, kColoursKey);
    std::optional<std::int32_t> played = ReadNumber(IniText, kPlayedKey);
    std::optional<std::int32_t> counted = ReadNumber(IniText, kCountedKey);
    std::optional<std::string_view> start = IniText.Value(kSection, kStartKey);
    std::optional<std::string_view> clicks = IniText.Value(kSection, kClicksKey);
    if (!deal || *deal < 0 || !colours || !played || *played < 0 || !counted ||
        (*counted != 0 && *counted != 1) || !start || !clicks)
        return std::nullopt;
    TKeptGame kept;
    kept.Game.Number = static_cast<TDealNumber>(*deal);
    kept.Game.Colours = *colours;
    kept.Game.Played = static_cast<std::size_t>(*played);
    kept.Counted = *counted == 1;
    if (!ParseStart(*start, kept.Game) || !ParseClicks(*clicks, kept.Game))
        return std::nullopt;
    return kept;
}

std::optional<TKeptGame> ReadKeptGame(const std::string& IniPath) {
    return ParseKeptGame(TIniFile(IniPath).Read());
}

std::vector<TIniValue> KeptGameValues(const TKeptGame& Game) {
    const TPlayedGame& game = Game.Game;
    return {IniInteger(kSection, kFormatKey, kFormat),
            {kSection, kDealKey, std::to_string(game.Number)},
            IniInteger(kSection, kColoursKey, game.Colours),
            {kSection, kStartKey, FormatStart(game)},
            {kSection, kClicksKey, FormatClicks(game)},
            {kSection, kPlayedKey, std::to_string(game.Played)},
            IniInteger(kSection, kCountedKey, Game.Counted ? 1 : 0)};
}

std::vector<TIniValue> NoKeptGameValues() {
    // An empty format reads as no kept game; the rest is emptied so as not to linger.
    std::vector<TIniValue> values;
    for (const char* key :
         {kFormatKey, kDealKey, kColoursKey, kStartKey, kClicksKey, kPlayedKey, kCountedKey})
        values.push_back({kSection, key, ""});
    return values;
}

std::string IniValuesText(const std::vector<TIniValue>& Values) {
    std::string text;
    for (const TIniValue& value : Values)
        text += value.Section + "." + value.Key + "=" + value.Value + "\n";
    return text;
}

} // namespace zorbalin
