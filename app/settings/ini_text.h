#pragma once
// The settings file's INI text, read and edited in memory. Section and key
// names match without regard to ASCII letter case; the white space around
// names and values does not count. Editing changes only the bytes of the
// values it writes (or adds their lines or sections), so comments, unknown
// keys, blank lines, CRLF line ends and a UTF-8 byte order mark survive.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zorbalin {

// One key's new value, for a write that sets several keys at once.
struct TIniValue {
    std::string Section;
    std::string Key;
    std::string Value;
};

// Reads an integer the way every settings value is read: one optional sign,
// then decimal digits, or hexadecimal digits after "0x", "0X", "$", "x" or
// "X". Surrounding white space is ignored. Returns nothing for any other text,
// for an empty text and for a number outside the 32-bit signed range.
std::optional<int32_t> ParseIniInteger(std::string_view Text);
// The same for the 64-bit signed range (the statistics' counts).
std::optional<int64_t> ParseIniInteger64(std::string_view Text);

// A settings text split into its lines once: every lookup and edit after that
// searches the table of its section and key lines, never the text again. A
// UTF-8 byte order mark at the start is not part of the first line.
class TIniText {
  public:
    explicit TIniText(std::string Text = {});

    const std::string& Text() const { return FText; }

    // The value of the first line `key` = ... inside a section `section`
    // (several sections of one name are searched in file order), trimmed;
    // nothing when the key or the section is missing.
    std::optional<std::string_view> Value(std::string_view Section, std::string_view Key) const;
    // Value parsed with ParseIniInteger, or `fallback`.
    int32_t Integer(std::string_view Section, std::string_view Key, int32_t Fallback) const;

    // The text with every key of `values` set, in order (a later value of the
    // same key wins): a value is replaced where it stands, or the key line is
    // added after the last non-blank line of the first section of that name,
    // or the section is added at the end. New lines use the text's own line
    // end (CRLF when its first line ends so, else LF).
    std::string With(const std::vector<TIniValue>& Values) const;

  private:
    struct TKeyPlace;

    TKeyPlace Find(std::string_view Section, std::string_view Key) const;
    std::string_view LineAt(size_t Begin) const;
    size_t SectionEnd(size_t NextHeader) const;

    std::string FText;
    size_t FStart = 0; // past the byte order mark
    // The section headers and key lines: where each one's content begins
    // (past its leading white space), and a tag of one byte, the top bit set
    // for a header and the rest a hash of the lower-cased name. Two arrays of
    // 4 and 1 bytes: a file of millions of short lines stays small in memory.
    std::vector<uint32_t> FBegins;
    std::vector<uint8_t> FTags;
};

// One-off forms of TIniText's calls, for a text read once.
std::optional<std::string> ReadIniValue(std::string_view Text, std::string_view Section,
                                        std::string_view Key);
int32_t ReadIniInteger(std::string_view Text, std::string_view Section, std::string_view Key,
                       int32_t Fallback);
std::string WriteIniValue(std::string_view Text, std::string_view Section, std::string_view Key,
                          std::string_view Value);

} // namespace zorbalin
