#pragma once
// The decoded pebble pictures, one per file, shared by every cell that shows it.
//
// A pebble file is read again at the first show of every game operation, so
// that a changed file shows from the next operation on; it is decoded only when
// its contents differ from what was decoded before. However many cells show a
// picture, it is held in memory once, and a file that cannot be read or decoded
// costs one attempt per operation, not one per cell.
#include <cstdint>
#include <exception>
#include <map>
#include <memory>
#include <string>

namespace zorbalin {

class TGraphic;

class TPebblePictures {
  public:
    // A new game operation begins: every file is read again at its first use.
    void NextOperation() { ++FOperation; }

    // The picture of the file. Raises what reading or decoding it raised; for
    // the rest of the operation the same failure is raised again without
    // another attempt.
    std::shared_ptr<TGraphic> Picture(const std::string& Path);

  private:
    struct TEntry {
        std::uint64_t Operation = 0; // the operation in which the file was last read
        std::uint64_t Digest = 0;    // of the contents that Picture was decoded from
        std::shared_ptr<TGraphic> Picture;
        std::exception_ptr Failure;
    };
    void Read(const std::string& Path, TEntry& Entry);

    std::map<std::string, TEntry> FEntries;
    std::uint64_t FOperation = 1;
};

} // namespace zorbalin
