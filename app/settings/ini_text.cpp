#include "app/settings/ini_text.h"

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

bool IsBlank(char C) {
    return C == ' ' || C == '\t' || C == '\r' || C == '\v' || C == '\f';
}

std::string_view Trim(std::string_view Text) {
    while (!Text.empty() && IsBlank(Text.front()))
        Text.remove_prefix(1);
    while (!Text.empty() && IsBlank(Text.back()))
        Text.remove_suffix(1);
    return Text;
}

char AsciiLower(char C) {
    return (C >= 'A' && C <= 'Z') ? static_cast<char>(C - 'A' + 'a') : C;
}

// Names compare by ASCII letters only, so the result never depends on the
// locale the program happens to run under.
bool SameName(std::string_view A, std::string_view B) {
    if (A.size() != B.size())
        return false;
    for (size_t i = 0; i < A.size(); ++i)
        if (AsciiLower(A[i]) != AsciiLower(B[i]))
            return false;
    return true;
}

std::vector<TIniLine> SplitLines(std::string_view Text) {
    std::vector<TIniLine> lines;
    size_t begin = 0;
    while (begin < Text.size()) {
        size_t newline = Text.find('\n', begin);
        if (newline == std::string_view::npos) {
            lines.push_back({begin, Text.size(), Text.size()});
            break;
        }
        size_t contentEnd = (newline > begin && Text[newline - 1] == '\r') ? newline - 1 : newline;
        lines.push_back({begin, contentEnd, newline + 1});
        begin = newline + 1;
    }
    return lines;
}

std::string_view Content(std::string_view Text, const TIniLine& Line) {
    return Text.substr(Line.Begin, Line.ContentEnd - Line.Begin);
}

// "[name]" with anything after the bracket ignored; a line that opens a
// bracket and never closes it is not a section header.
std::optional<std::string_view> SectionName(std::string_view Content) {
    std::string_view trimmed = Trim(Content);
    if (trimmed.empty() || trimmed.front() != '[')
        return std::nullopt;
    size_t close = trimmed.find(']');
    if (close == std::string_view::npos)
        return std::nullopt;
    return Trim(trimmed.substr(1, close - 1));
}

TKeyPlace FindKey(std::string_view Text, const std::vector<TIniLine>& Lines,
                  std::string_view Section, std::string_view Key) {
    TKeyPlace place;
    bool inMatchingSection = false;
    bool inFirstMatchingSection = false;
    for (size_t i = 0; i < Lines.size(); ++i) {
        std::string_view content = Content(Text, Lines[i]);
        if (std::optional<std::string_view> name = SectionName(content)) {
            inMatchingSection = SameName(*name, Section);
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
        if (!SameName(Trim(content.substr(0, equals)), Key))
            continue;
        std::string_view rawValue = content.substr(equals + 1);
        std::string_view value = Trim(rawValue);
        size_t valueBegin = Lines[i].Begin + equals + 1;
        if (!value.empty())
            valueBegin += static_cast<size_t>(value.data() - rawValue.data());
        place.KeyFound = true;
        place.ValueBegin = valueBegin;
        place.ValueEnd = valueBegin + value.size();
        return place;
    }
    return place;
}

std::string_view LineEndOf(std::string_view Text) {
    size_t newline = Text.find('\n');
    if (newline != std::string_view::npos && newline > 0 && Text[newline - 1] == '\r')
        return "\r\n";
    return "\n";
}

std::optional<int64_t> ParseDigits(std::string_view Digits, int Base) {
    if (Digits.empty())
        return std::nullopt;
    int64_t value = 0;
    for (char c : Digits) {
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (Base == 16 && AsciiLower(c) >= 'a' && AsciiLower(c) <= 'f')
            digit = AsciiLower(c) - 'a' + 10;
        else
            return std::nullopt;
        value = value * Base + digit;
        if (value > kInt32Max + 1) // keeps the sum far from int64 overflow
            return std::nullopt;
    }
    return value;
}

} // namespace

std::optional<int32_t> ParseIniInteger(std::string_view Text) {
    Text = Trim(Text);
    bool negative = false;
    if (!Text.empty() && (Text.front() == '-' || Text.front() == '+')) {
        negative = Text.front() == '-';
        Text.remove_prefix(1);
    }
    int base = 10;
    if (Text.size() >= 2 && Text[0] == '0' && (Text[1] == 'x' || Text[1] == 'X')) {
        base = 16;
        Text.remove_prefix(2);
    } else if (!Text.empty() && (Text[0] == '$' || Text[0] == 'x' || Text[0] == 'X')) {
        base = 16;
        Text.remove_prefix(1);
    }
    std::optional<int64_t> magnitude = ParseDigits(Text, base);
    if (!magnitude)
        return std::nullopt;
    int64_t value = negative ? -*magnitude : *magnitude;
    if (value > kInt32Max || value < -kInt32Max - 1)
        return std::nullopt;
    return static_cast<int32_t>(value);
}

std::optional<std::string> ReadIniValue(std::string_view Text, std::string_view Section,
                                        std::string_view Key) {
    TKeyPlace place = FindKey(Text, SplitLines(Text), Section, Key);
    if (!place.KeyFound)
        return std::nullopt;
    return std::string(Text.substr(place.ValueBegin, place.ValueEnd - place.ValueBegin));
}

int32_t ReadIniInteger(std::string_view Text, std::string_view Section, std::string_view Key,
                       int32_t Fallback) {
    std::optional<std::string> value = ReadIniValue(Text, Section, Key);
    if (!value)
        return Fallback;
    return ParseIniInteger(*value).value_or(Fallback);
}

std::string WriteIniValue(std::string_view Text, std::string_view Section, std::string_view Key,
                          std::string_view Value) {
    std::vector<TIniLine> lines = SplitLines(Text);
    TKeyPlace place = FindKey(Text, lines, Section, Key);
    std::string result(Text);
    if (place.KeyFound)
        return result.replace(place.ValueBegin, place.ValueEnd - place.ValueBegin, Value);

    std::string_view lineEnd = LineEndOf(Text);
    std::string keyLine = std::string(Key) + "=" + std::string(Value) + std::string(lineEnd);
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
    if (!lines.empty() && !Trim(Content(Text, lines.back())).empty())
        result += lineEnd;
    result += "[" + std::string(Section) + "]" + std::string(lineEnd) + keyLine;
    return result;
}

} // namespace zorbalin
