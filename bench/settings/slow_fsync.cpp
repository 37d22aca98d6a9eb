// A slow disk for bench_settings_race, loaded with LD_PRELOAD: every fsync and
// fdatasync waits 1.5 s before it is done, which widens the moment in which
// two copies of the game write the settings file.
#include <dlfcn.h>
#include <unistd.h>

namespace {

constexpr useconds_t kDelayMicroseconds = 1500000;

template <typename TCall> TCall Next(const char* Name) {
    return reinterpret_cast<TCall>(::dlsym(RTLD_NEXT, Name));
}

} // namespace

extern "C" int fsync(int Fd) {
    static const auto kReal = Next<int (*)(int)>("fsync");
    ::usleep(kDelayMicroseconds);
    return kReal(Fd);
}

extern "C" int fdatasync(int Fd) {
    static const auto kReal = Next<int (*)(int)>("fdatasync");
    ::usleep(kDelayMicroseconds);
    return kReal(Fd);
}
