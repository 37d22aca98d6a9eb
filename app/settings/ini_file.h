#pragma once
// The settings file on disk. Every call reads the file afresh and every write
// goes to the disk at once: nothing is cached between calls.
#include "app/settings/ini_text.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace zorbalin {

// A settings file that cannot be written. what() is exactly
// "Unable to write to <path>", the text the error box shows. It is a
// std::runtime_error rather than the toolkit's Exception so that the plain
// helpers need no toolkit; the error box shows any exception's what().
class EIniWriteError : public std::runtime_error {
  public:
    explicit EIniWriteError(const std::string& Path);
};

// The largest settings file read. A real one holds a few short lines; a
// larger file is treated as unreadable rather than loaded into memory.
constexpr size_t kMaxIniFileSize = 16u << 20;

// A value written as a plain decimal integer, with "-" when negative.
TIniValue IniInteger(std::string Section, std::string Key, int32_t Value);

class TIniFile {
  public:
    // `sizeLimit` stands in for kMaxIniFileSize (tests use small ones).
    explicit TIniFile(std::string FileName, size_t SizeLimit = kMaxIniFileSize);

    const std::string& FileName() const { return FFileName; }

    // The key's value, or `fallback` when the file, the section or the key is
    // missing, the file is larger than kMaxIniFileSize or the value is not a
    // 32-bit integer. Never fails.
    int32_t ReadInteger(const std::string& Section, const std::string& Key, int32_t Fallback) const;
    // The whole file, read once for several lookups; empty when ReadInteger
    // would give the fallbacks.
    TIniText Read() const;
    // The key's value as it stands, or "" as for a missing key. Never fails.
    std::string ReadString(const std::string& Section, const std::string& Key) const;

    // Sets every key of `values`, in order, leaving every other byte of the
    // file as it was, in one replacement of the file: a reader, or a process
    // killed meanwhile, sees all of the new values or none. Temporary files
    // of earlier writers that were killed are removed first.
    //
    // Throws EIniWriteError, with the file unchanged, when the file is
    // read-only, belongs to another user, cannot be read back, is larger than
    // kMaxIniFileSize or would become larger, or its folder is missing. A
    // folder that refuses new files is no failure while the file itself may
    // be written: it is then rewritten in place.
    //
    // Another copy of the game may be writing the same file: the file is
    // locked (app/file_lock.h) from the read to the replacement, and read
    // under the lock, so that no change of the other copy is lost.
    void WriteValues(const std::vector<TIniValue>& Values);
    void WriteInteger(const std::string& Section, const std::string& Key, int32_t Value);

    // As WriteValues, with the values made by `change` from the file's text
    // as it stands under the lock: a change that depends on what is there
    // (a count to raise) counts every other copy's change too.
    using TChange = std::function<std::vector<TIniValue>(const TIniText& Current)>;
    void Update(const TChange& Change);

  private:
    std::string FFileName;
    size_t FSizeLimit;
};

} // namespace zorbalin
