#pragma once
// An advisory lock between processes for the read-change-write of one file, so
// that two running copies of the game never write over each other's changes.
#include <chrono>
#include <memory>
#include <string>

namespace zorbalin {

class TUniqueFd;

class TFileLock {
  public:
    // How long a writer waits for another before it writes anyway: a copy
    // that hangs while holding the lock must not cost the player a change.
    static constexpr std::chrono::milliseconds kPatience{1000};

    // Takes the lock on the file at `path` itself (made, empty, when it is
    // missing), so that no lock file is left beside it. A writer replaces the
    // file by renaming a new one over it: whoever got the lock on the file
    // that was replaced meanwhile tries again on the new one. Waits up to
    // `patience`; holds nothing when the lock could not be had in that time
    // or at all (a file that cannot be opened).
    explicit TFileLock(const std::string& Path, std::chrono::milliseconds Patience = kPatience);
    ~TFileLock();
    TFileLock(const TFileLock&) = delete;
    TFileLock& operator=(const TFileLock&) = delete;

    bool Held() const { return FFd != nullptr; }

  private:
    std::unique_ptr<TUniqueFd> FFd; // the locked file; closing it lets go
};

} // namespace zorbalin
