#include "app/ini_text.h"

#include <vector>

namespace zorbalin {

namespace {

constexpr int64_t kInt32Max = 2147483647;

// One line of the text: [Begin, ContentEnd) is its content, [ContentEnd, End)
// its line end ("\n" or "\r\n", empty on a last line without one).
struct TIniLine {
    size_t Begin;
    size_t ContentEnd;
    size_t End;
};

// Where a key lies, or where it would go.
struct TKeyPlace {
    bool SectionFound = false;
    size_t LastLineOfSection = 0; // index of the last non-blank line of the first such section
    bool KeyFound = false;
    size_t ValueBegin = 0; // offsets into the whole text
    size_t ValueEnd = 0;
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Names compare by ASCII letters only, so the result never depends on the
// locale the program happens to run under.
bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i]))
            return false;
    return true;
}

std::vector<TIniLine> SplitLines(std::string_view text) {
    std::vector<TIniLine> lines;
    size_t begin = 0;
    while (begin < text.size()) {
        size_t newline = text.find('\n', begin);
        if (newline == std::string_view::npos) {
            lines.push_back({begin, text.size(), text.size()});
            break;
        }
        size_t contentEnd = (newline > begin && text[newline - 1] == '\r') ? newline - 1 : newline;
        lines.push_back({begin, contentEnd, newline + 1});
        begin = newline + 1;
    }
    return lines;
}

std::string_view Content(std::string_view text, const TIniLine& line) {
    return text.substr(line.Begin, line.ContentEnd - line.Begin);
}

// "[name]" with anything after the bracket ignored; a line that opens a
// bracket and never closes it is not a section header.
std::optional<std::string_view> SectionName(std::string_view content) {
    std::string_view trimmed = Trim(content);
    if (trimmed.empty() || trimmed.front() != '[')
        return std::nullopt;
    size_t close = trimmed.find(']');
    if (close == std::string_view::npos)
        return std::nullopt;
    return Trim(trimmed.substr(1, close - 1));
}

TKeyPlace FindKey(std::string_view text, const std::vector<TIniLine>& lines,
                  std::string_view section, std::string_view key) {
    TKeyPlace place;
    bool inMatchingSection = false;
    bool inFirstMatchingSection = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string_view content = Content(text, lines[i]);
        if (std::optional<std::string_view> name = SectionName(content)) {
            inMatchingSection = SameName(*name, section);
            inFirstMatchingSection = inMatchingSection && !place.SectionFound;
            if (inFirstMatchingSection) {
                place.SectionFound = true;
                place.LastLineOfSection = i;
            }
            continue;
        }
        if (inFirstMatchingSection && !Trim(content).empty())
            place.LastLineOfSection = i;
        size_t equals = content.find('=');
        if (!inMatchingSection || equals == std::string_view::npos)
            continue;
        if (!SameName(Trim(content.substr(0, equals)), key))
            continue;
        std::string_view rawValue = content.substr(equals + 1);
        std::string_view value = Trim(rawValue);
        size_t valueBegin = lines[i].Begin + equals + 1;
        if (!value.empty())
            valueBegin += static_cast<size_t>(value.data() - rawValue.data());
        place.KeyFound = true;
        place.ValueBegin = valueBegin;
        place.ValueEnd = valueBegin + value.size();
        return place;
    }
    return place;
}

std::string_view LineEndOf(std::string_view text) {
    size_t newline = text.find('\n');
    if (newline != std::string_view::npos && newline > 0 && text[newline - 1] == '\r')
        return "\r\n";
    return "\n";
}

std::optional<int64_t> ParseDigits(std::string_view digits, int base) {
    if (digits.empty())
        return std::nullopt;
    int64_t value = 0;
    for (char c : digits) {
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && AsciiLower(c) >= 'a' && AsciiLower(c) <= 'f')
            digit = AsciiLower(c) - 'a' + 10;
        else
            return std::nullopt;
        value = value * base + digit;
        if (value > kInt32Max + 1) // keeps the sum far from int64 overflow
            return std::nullopt;
    }
    return value;
}

} // namespace

std::optional<int32_t> ParseIniInteger(std::string_view text) {
    text = Trim(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    } else if (!text.empty() && (text[0] == '$' || text[0] == 'x' || text[0] == 'X')) {
        base = 16;
        text.remove_prefix(1);
    }
    std::optional<int64_t> magnitude = ParseDigits(text, base);
    if (!magnitude)
        return std::nullopt;
    int64_t value = negative ? -*magnitude : *magnitude;
    if (value > kInt32Max || value < -kInt32Max - 1)
        return std::nullopt;
    return static_cast<int32_t>(value);
}

std::optional<std::string> ReadIniValue(std::string_view text, std::string_view section,
                                        std::string_view key) {
    TKeyPlace place = FindKey(text, SplitLines(text), section, key);
    if (!place.KeyFound)
        return std::nullopt;
    return std::string(text.substr(place.ValueBegin, place.ValueEnd - place.ValueBegin));
}

int32_t ReadIniInteger(std::string_view text, std::string_view section, std::string_view key,
                       int32_t fallback) {
    std::optional<std::string> value = ReadIniValue(text, section, key);
    if (!value)
        return fallback;
    return ParseIniInteger(*value).value_or(fallback);
}

std::string WriteIniValue(std::string_view text, std::string_view section, std::string_view key,
                          std::string_view value) {
    std::vector<TIniLine> lines = SplitLines(text);
    TKeyPlace place = FindKey(text, lines, section, key);
    std::string result(text);
    if (place.KeyFound)
        return result.replace(place.ValueBegin, place.ValueEnd - place.ValueBegin, value);

    std::string_view lineEnd = LineEndOf(text);
    std::string keyLine = std::string(key) + "=" + std::string(value) + std::string(lineEnd);
    if (place.SectionFound) {
        const TIniLine& last = lines[place.LastLineOfSection];
        // A last line without its own line end must get one before the new key.
        if (last.ContentEnd == last.End)
            keyLine.insert(0, lineEnd);
        return result.insert(last.End, keyLine);
    }
    if (!lines.empty() && lines.back().ContentEnd == lines.back().End)
        result += lineEnd;
    // A blank line keeps the new section apart from the text before it.
    if (!lines.empty() && !Trim(Content(text, lines.back())).empty())
        result += lineEnd;
    result += "[" + std::string(section) + "]" + std::string(lineEnd) + keyLine;
    return result;
}

} // namespace zorbalin
