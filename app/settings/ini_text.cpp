#include "app/settings/ini_text.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace zorbalin {

namespace {

constexpr int64_t kInt64Max = std::numeric_limits<int64_t>::max();
constexpr uint8_t kHeaderBit = 0x80;
const char kByteOrderMark[] = "\xEF\xBB\xBF";

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

// Equal for names that SameName takes as one; the top bit is left free.
uint8_t NameTag(std::string_view Name) {
    uint32_t hash = 2166136261u;
    for (char c : Name)
        hash = (hash ^ static_cast<unsigned char>(AsciiLower(c))) * 16777619u;
    return static_cast<uint8_t>((hash ^ (hash >> 8) ^ (hash >> 16) ^ (hash >> 24)) & ~kHeaderBit);
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

// The trimmed name before the first "=", or nothing on a line without one.
std::optional<std::string_view> KeyName(std::string_view Content) {
    size_t equals = Content.find('=');
    if (equals == std::string_view::npos)
        return std::nullopt;
    return Trim(Content.substr(0, equals));
}

std::string_view LineEndOf(std::string_view Text) {
    size_t newline = Text.find('\n');
    if (newline != std::string_view::npos && newline > 0 && Text[newline - 1] == '\r')
        return "\r\n";
    return "\n";
}

// Whether the last line of `text` (the one its final line end closes, if it
// has one) holds anything but white space.
bool LastLineHasContent(std::string_view Text) {
    size_t end = Text.size();
    if (end > 0 && Text[end - 1] == '\n')
        --end;
    for (size_t i = end; i > 0 && Text[i - 1] != '\n'; --i)
        if (!IsBlank(Text[i - 1]))
            return true;
    return false;
}

// Keys for one place in the text, in the order first written; a later value
// of a key replaces the earlier.
struct TKeyLines {
    std::string Section; // for a new section
    std::vector<std::pair<std::string, std::string>> Keys;

    void Set(const std::string& Key, const std::string& Value) {
        for (auto& [key, value] : Keys)
            if (SameName(key, Key)) {
                value = Value;
                return;
            }
        Keys.emplace_back(Key, Value);
    }
    std::string Lines(std::string_view LineEnd) const {
        std::string lines;
        for (const auto& [key, value] : Keys)
            lines.append(key).append("=").append(value).append(LineEnd);
        return lines;
    }
};

// One change to the text: [Begin, End) becomes `text`.
struct TEdit {
    size_t Begin;
    size_t End;
    std::string Text;
};

// The digits' value with its sign, or nothing when it falls outside int64.
std::optional<int64_t> ParseDigits(std::string_view Digits, int Base, bool Negative) {
    if (Digits.empty())
        return std::nullopt;
    // The magnitude may be one more than int64's largest when negative.
    const uint64_t limit = static_cast<uint64_t>(kInt64Max) + (Negative ? 1 : 0);
    uint64_t value = 0;
    for (char c : Digits) {
        unsigned digit;
        if (c >= '0' && c <= '9')
            digit = static_cast<unsigned>(c - '0');
        else if (Base == 16 && AsciiLower(c) >= 'a' && AsciiLower(c) <= 'f')
            digit = static_cast<unsigned>(AsciiLower(c) - 'a' + 10);
        else
            return std::nullopt;
        if (value > (limit - digit) / static_cast<unsigned>(Base))
            return std::nullopt;
        value = value * static_cast<unsigned>(Base) + digit;
    }
    if (!Negative)
        return static_cast<int64_t>(value);
    return value == limit ? std::numeric_limits<int64_t>::min() : -static_cast<int64_t>(value);
}

} // namespace

// Where a key lies, or where it would go.
struct TIniText::TKeyPlace {
    bool KeyFound = false;
    size_t ValueBegin = 0;
    size_t ValueEnd = 0;
    bool SectionFound = false;
    // Where the first such section ends: the next header or the end of the
    // text. A new key goes after its last non-blank line (SectionEnd), which
    // is searched only by a write.
    size_t SectionLimit = 0;
};

std::optional<int32_t> ParseIniInteger(std::string_view Text) {
    std::optional<int64_t> value = ParseIniInteger64(Text);
    if (!value || *value > std::numeric_limits<int32_t>::max() ||
        *value < std::numeric_limits<int32_t>::min())
        return std::nullopt;
    return static_cast<int32_t>(*value);
}

std::optional<int64_t> ParseIniInteger64(std::string_view Text) {
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
    return ParseDigits(Text, base, negative);
}

TIniText::TIniText(std::string Text) : FText(std::move(Text)) {
    if (FText.size() > std::numeric_limits<uint32_t>::max())
        throw std::length_error("a settings text is at most 4 GiB");
    if (FText.compare(0, 3, kByteOrderMark) == 0)
        FStart = 3;
    // Room for every line that can be a header or a key, taken at once: a
    // file of millions of short lines must not grow the table by doubling.
    size_t newlines = 0, marks = 0;
    for (size_t i = FStart; i < FText.size(); ++i) {
        newlines += FText[i] == '\n';
        marks += FText[i] == '=' || FText[i] == '[';
    }
    const size_t candidates = std::min(newlines + 1, marks);
    FBegins.reserve(candidates);
    FTags.reserve(candidates);
    for (size_t begin = FStart; begin < FText.size();) {
        // Blank lines and the white space before a line's content are passed
        // over in one tight loop: only lines with content are looked at.
        if (IsBlank(FText[begin]) || FText[begin] == '\n') {
            ++begin;
            continue;
        }
        std::string_view content = LineAt(begin);
        std::optional<uint8_t> tag;
        if (std::optional<std::string_view> name = SectionName(content))
            tag = NameTag(*name) | kHeaderBit;
        else if (std::optional<std::string_view> key = KeyName(content); key && !key->empty())
            tag = NameTag(*key);
        if (tag) {
            FBegins.push_back(static_cast<uint32_t>(begin));
            FTags.push_back(*tag);
        }
        begin += content.size() + 1;
    }
}

std::string_view TIniText::LineAt(size_t Begin) const {
    const char* start = FText.data() + Begin;
    const void* newline = std::memchr(start, '\n', FText.size() - Begin);
    const size_t length = newline ? static_cast<size_t>(static_cast<const char*>(newline) - start)
                                  : FText.size() - Begin;
    return {start, length};
}

// Just past the last non-blank line before `nextHeader` (an offset); a
// section's header is never blank, so the search stops inside the section.
size_t TIniText::SectionEnd(size_t NextHeader) const {
    size_t last = NextHeader;
    while (last > FStart && (IsBlank(FText[last - 1]) || FText[last - 1] == '\n'))
        --last;
    size_t newline = FText.find('\n', last);
    return newline == std::string::npos ? FText.size() : newline + 1;
}

TIniText::TKeyPlace TIniText::Find(std::string_view Section, std::string_view Key) const {
    TKeyPlace place;
    const uint8_t sectionTag = NameTag(Section) | kHeaderBit, keyTag = NameTag(Key);
    bool inMatchingSection = false;
    for (size_t i = 0; i < FTags.size(); ++i) {
        const uint8_t tag = FTags[i];
        const size_t begin = FBegins[i];
        if (tag & kHeaderBit) {
            if (inMatchingSection && !place.SectionFound) {
                place.SectionFound = true;
                place.SectionLimit = begin;
            }
            inMatchingSection = tag == sectionTag && SameName(*SectionName(LineAt(begin)), Section);
            continue;
        }
        if (!inMatchingSection || tag != keyTag)
            continue;
        std::string_view content = LineAt(begin);
        if (!SameName(*KeyName(content), Key))
            continue;
        const size_t equals = content.find('=');
        std::string_view rawValue = content.substr(equals + 1);
        std::string_view value = Trim(rawValue);
        size_t valueBegin = begin + equals + 1;
        if (!value.empty())
            valueBegin += static_cast<size_t>(value.data() - rawValue.data());
        place.KeyFound = true;
        place.ValueBegin = valueBegin;
        place.ValueEnd = valueBegin + value.size();
        return place;
    }
    if (inMatchingSection && !place.SectionFound) {
        place.SectionFound = true;
        place.SectionLimit = FText.size();
    }
    return place;
}

std::optional<std::string_view> TIniText::Value(std::string_view Section,
                                                std::string_view Key) const {
    TKeyPlace place = Find(Section, Key);
    if (!place.KeyFound)
        return std::nullopt;
    return std::string_view(FText).substr(place.ValueBegin, place.ValueEnd - place.ValueBegin);
}

int32_t TIniText::Integer(std::string_view Section, std::string_view Key, int32_t Fallback) const {
    std::optional<std::string_view> value = Value(Section, Key);
    if (!value)
        return Fallback;
    return ParseIniInteger(*value).value_or(Fallback);
}

std::string TIniText::With(const std::vector<TIniValue>& Values) const {
    std::vector<std::pair<size_t, std::string>> replaced; // by where the value begins
    std::vector<size_t> replacedEnds;
    std::vector<std::pair<size_t, TKeyLines>> added; // by where their section ends
    std::vector<TKeyLines> newSections;
    for (const TIniValue& value : Values) {
        TKeyPlace place = Find(value.Section, value.Key);
        if (place.KeyFound) {
            auto same = std::find_if(replaced.begin(), replaced.end(),
                                     [&](const auto& R) { return R.first == place.ValueBegin; });
            if (same != replaced.end()) {
                same->second = value.Value;
            } else {
                replaced.emplace_back(place.ValueBegin, value.Value);
                replacedEnds.push_back(place.ValueEnd);
            }
        } else if (place.SectionFound) {
            auto same = std::find_if(added.begin(), added.end(),
                                     [&](const auto& A) { return A.first == place.SectionLimit; });
            if (same == added.end())
                same = added.insert(added.end(), {place.SectionLimit, TKeyLines{}});
            same->second.Set(value.Key, value.Value);
        } else {
            auto same =
                std::find_if(newSections.begin(), newSections.end(), [&](const TKeyLines& S) {
                    return SameName(S.Section, value.Section);
                });
            if (same == newSections.end())
                same = newSections.insert(newSections.end(), TKeyLines{value.Section, {}});
            same->Set(value.Key, value.Value);
        }
    }

    const std::string_view lineEnd = LineEndOf(FText);
    std::vector<TEdit> edits;
    for (size_t i = 0; i < replaced.size(); ++i)
        edits.push_back({replaced[i].first, replacedEnds[i], replaced[i].second});
    for (const auto& [limit, keys] : added) {
        const size_t at = SectionEnd(limit);
        const bool needsLineEnd = at == FText.size() && !FText.empty() && FText.back() != '\n';
        edits.push_back({at, at, (needsLineEnd ? std::string(lineEnd) : "") + keys.Lines(lineEnd)});
    }
    // A value replaced at the very end comes before lines added there.
    std::stable_sort(edits.begin(), edits.end(),
                     [](const TEdit& A, const TEdit& B) { return A.Begin < B.Begin; });

    size_t length = FText.size();
    for (const TEdit& edit : edits)
        length += edit.Text.size();
    for (const TKeyLines& section : newSections)
        length += section.Section.size() + section.Lines(lineEnd).size() + 6 * lineEnd.size();
    // Taken at once: the text may be megabytes, and growing it by doubling
    // would hold two copies.
    std::string result;
    result.reserve(length);
    size_t copied = 0;
    for (const TEdit& edit : edits) {
        result.append(FText, copied, edit.Begin - copied).append(edit.Text);
        copied = edit.End;
    }
    result.append(FText, copied, std::string::npos);
    for (const TKeyLines& section : newSections) {
        std::string_view written = std::string_view(result).substr(FStart);
        if (!written.empty()) {
            if (written.back() != '\n')
                result += lineEnd;
            // A blank line keeps the new section apart from the text before it.
            if (LastLineHasContent(std::string_view(result).substr(FStart)))
                result += lineEnd;
        }
        result.append("[").append(section.Section).append("]").append(lineEnd);
        result += section.Lines(lineEnd);
    }
    return result;
}

std::optional<std::string> ReadIniValue(std::string_view Text, std::string_view Section,
                                        std::string_view Key) {
    const TIniText text{std::string(Text)};
    std::optional<std::string_view> value = text.Value(Section, Key); // a view into `text`
    return value ? std::optional<std::string>(*value) : std::nullopt;
}

int32_t ReadIniInteger(std::string_view Text, std::string_view Section, std::string_view Key,
                       int32_t Fallback) {
    return TIniText(std::string(Text)).Integer(Section, Key, Fallback);
}

std::string WriteIniValue(std::string_view Text, std::string_view Section, std::string_view Key,
                          std::string_view Value) {
    return TIniText(std::string(Text))
        .With({{std::string(Section), std::string(Key), std::string(Value)}});
}

} // namespace zorbalin
