#pragma once
// Whole-file reading and replacing for small files that must never be seen
// half-written.
#include <cstddef>
#include <optional>
#include <string>
#include <sys/types.h>

namespace zorbalin {

// The bytes of the regular file at `path`; nothing when it is missing, is not
// a regular file, cannot be read or holds more than `limit` bytes (checked
// while reading too, so a file that grows meanwhile cannot exhaust memory).
std::optional<std::string> ReadWholeFile(const std::string& path, size_t limit);

// Writes `content` to a new file in the folder of `path`, flushes it to the
// disk and renames it over `path`, so readers see the old file or the new one
// and never a part. With `mode` the new file gets exactly those permission
// bits; without it, the usual ones for a new file (0666 less the umask).
// Returns false when any step fails; the temporary file is then gone and
// `path` is unchanged.
bool ReplaceFileAtomically(const std::string& path, const std::string& content,
                           std::optional<mode_t> mode);

} // namespace zorbalin
