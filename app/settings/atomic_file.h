#pragma once
// Whole-file reading and replacing for small files that must never be seen
// half-written.
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <sys/types.h>

namespace zorbalin {

// The bytes of the regular file at `path`; nothing when it is missing, is not
// a regular file, cannot be read or holds more than `limit` bytes (checked
// while reading too, so a file that grows meanwhile cannot exhaust memory).
std::optional<std::string> ReadWholeFile(const std::string& Path, size_t Limit);

// Gives the file at `path` the new `content`. The new bytes go to a temporary
// file beside it (named `path` + ".tmp<pid>-<n>"), which is flushed to the
// disk and renamed over `path`, and then the folder is flushed too: readers
// and a crash at any moment see the old file or the new one, never a part.
//
// `existingMode` is the permission bits of the file as it stands, or nothing
// when there is no file yet (the new one then gets 0666 less the umask). The
// new file also gets the old one's owner and group where this process may
// give them, so that a file shared through a group stays shared. When
// the folder does not let a new file be made but the existing file may be
// written, the file is rewritten in place instead: the whole new content,
// then the length, then a flush. That keeps a user's own file in a shared
// folder writable, at the price of the all-or-nothing guarantee.
//
// Returns false when the content did not reach the disk; `path` is then as it
// was and no temporary file is left.
bool ReplaceFileContent(const std::string& Path, const std::string& Content,
                        std::optional<mode_t> ExistingMode);

class TTemporaryFile;

// ReplaceFileContent in its steps, for a writer that must put the new content
// in place at a moment of its choosing (under a lock, after checking that the
// file is still as it was read): the slow part, writing the new file beside
// `path` and flushing it to the disk, comes first; the rename, then the
// flush of the folder, are quick. The new file is removed again unless it
// was put in place.
class TPreparedContent {
  public:
    TPreparedContent(const std::string& Path, const std::string& Content,
                     std::optional<mode_t> ExistingMode);
    ~TPreparedContent();
    TPreparedContent(const TPreparedContent&) = delete;
    TPreparedContent& operator=(const TPreparedContent&) = delete;

    // Whether the new content lies on the disk beside the file.
    bool IsReady() const { return FReady; }
    // Why it does not: the folder lets no new file be made, and only a
    // rewrite in place (RewriteFileInPlace) can change the file.
    bool FolderRefusesNewFiles() const;
    // Renames the new file over `path`; false when it is not ready or the
    // rename fails.
    bool PutInPlace();

  private:
    std::unique_ptr<TTemporaryFile> FFile;
    bool FReady = false;
};

// Flushes the folder of `path`, so that a rename in it survives a power cut.
bool SyncFolderOf(const std::string& Path);

// The whole new content, then the length, then a flush, into the file where it
// stands: for a file whose folder refuses new files (see ReplaceFileContent).
bool RewriteFileInPlace(const std::string& Path, const std::string& Content);

// Removes the temporary files that replacing `path` left behind in processes
// that were killed before they could clean up: those whose process is gone.
void RemoveStaleTemporaryFiles(const std::string& Path);

} // namespace zorbalin
