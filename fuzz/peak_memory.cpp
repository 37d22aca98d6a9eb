// Linked into every fuzz target: when the run ends, the target reports its peak
// resident memory (from getrusage), so that a reader that began to keep more
// than its inputs justify shows up as a number in every fuzzing run.
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>

namespace {

void ReportPeakMemory() {
    rusage usage{};
    if (::getrusage(RUSAGE_SELF, &usage) == 0)
        std::fprintf(stderr, "peak resident memory: %.1f MB\n", usage.ru_maxrss / 1024.0);
}

[[maybe_unused]] const int kReportAtExit = std::atexit(ReportPeakMemory);

} // namespace
