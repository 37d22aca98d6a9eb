// Reads arbitrary bytes as a settings file, writes one key into them, on disk
// and in memory, and reads it back: the written value must come back, the
// other keys must keep their values, and nothing may crash or leak.
#include "app/settings/ini_file.h"
#include "app/settings/ini_text.h"
#include "app/settings/settings.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <strings.h>

namespace {

using namespace zorbalin;

struct TKey {
    const char* Section;
    const char* Key;
};

// The file's own keys, with letter cases the file may use as well.
const TKey kKeys[] = {
    {"Screen", "Left"}, {"Screen", "Top"}, {"Game", "Hard"}, {"SCREEN", "left"}, {"game", "HARD"}};
constexpr size_t kKeyCount = sizeof kKeys / sizeof kKeys[0];

// A folder of this process, on a memory file system when there is one, so
// that the flush of every write costs little.
class TScratchFolder {
  public:
    TScratchFolder() {
        std::string base = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
        std::string pattern = base + "/fuzz_settings-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr)
            std::abort();
        FPath = pattern;
    }
    ~TScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(FPath, ignored);
    }
    std::string IniPath() const { return FPath + "/ZorbaLin.ini"; }

  private:
    std::string FPath;
};

void Check(bool Condition, const char* What) {
    if (!Condition) {
        std::fprintf(stderr, "fuzz_settings: %s\n", What);
        std::abort();
    }
}

void CheckInMemory(const std::string& Content, const TKey& Key, int32_t Value) {
    std::string written = WriteIniValue(Content, Key.Section, Key.Key, std::to_string(Value));
    Check(ReadIniInteger(written, Key.Section, Key.Key, Value ^ 1) == Value,
          "the written value does not read back");
    for (const TKey& other : kKeys) {
        bool same =
            ::strcasecmp(other.Section, Key.Section) == 0 && ::strcasecmp(other.Key, Key.Key) == 0;
        if (!same)
            Check(ReadIniValue(written, other.Section, other.Key) ==
                      ReadIniValue(Content, other.Section, other.Key),
                  "another key changed");
    }
}

void CheckOnDisk(const std::string& Path, const std::string& Content, const TKey& Key,
                 int32_t Value) {
    {
        std::ofstream out(Path, std::ios::binary | std::ios::trunc);
        out.write(Content.data(), static_cast<std::streamsize>(Content.size()));
    }
    TSettings before = ReadSettings(Path);
    Check(before.ColourCount >= 3 && before.ColourCount <= 5, "colour count out of range");
    TIniFile ini(Path);
    ini.WriteInteger(Key.Section, Key.Key, Value);
    Check(ini.ReadInteger(Key.Section, Key.Key, Value ^ 1) == Value,
          "the written value does not read back from the file");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    static TScratchFolder folder;
    FuzzedDataProvider provider(Data, Size);
    const TKey& key = kKeys[provider.ConsumeIntegralInRange<size_t>(0, kKeyCount - 1)];
    int32_t value = provider.ConsumeIntegral<int32_t>();
    std::string content = provider.ConsumeRemainingBytesAsString();
    CheckInMemory(content, key, value);
    CheckOnDisk(folder.IniPath(), content, key, value);
    return 0;
}
