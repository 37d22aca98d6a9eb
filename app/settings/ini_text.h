#pragma once
// The settings file's INI text, read and edited in memory. Section and key
// names match without regard to ASCII letter case; the white space around
// names and values does not count. Editing changes only the bytes of the one
// value it writes (or adds its line or section), so comments, unknown keys,
// blank lines and CRLF line ends survive.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zorbalin {

// Reads an integer the way every settings value is read: one optional sign,
// then decimal digits, or hexadecimal digits after "0x", "0X", "$", "x" or
// "X". Surrounding white space is ignored. Returns nothing for any other text,
// for an empty text and for a number outside the 32-bit signed range.
std::optional<int32_t> ParseIniInteger(std::string_view Text);

// The value of the first line `key` = ... inside a section `section` (several
// sections of one name are searched in file order), trimmed; nothing when the
// key or the section is missing.
std::optional<std::string> ReadIniValue(std::string_view Text, std::string_view Section,
                                        std::string_view Key);

// ReadIniValue parsed with ParseIniInteger, or `fallback`.
int32_t ReadIniInteger(std::string_view Text, std::string_view Section, std::string_view Key,
                       int32_t Fallback);

// `text` with `key` of `section` set to `value`: the value is replaced where it
// stands, or the key line is added after the last non-blank line of the first
// section of that name, or the section is added at the end. New lines use the
// text's own line end (CRLF when its first line ends so, else LF).
std::string WriteIniValue(std::string_view Text, std::string_view Section, std::string_view Key,
                          std::string_view Value);

} // namespace zorbalin
