#include "app/windows/par_search.h"

#include "game/solver.h"

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>

namespace zorbalin {

namespace {

// The calling thread runs only when nothing else wants the processor; where
// that class is refused, it takes the weakest ordinary priority instead.
void LowerThisThread() {
    sched_param none{};
    if (pthread_setschedparam(pthread_self(), SCHED_IDLE, &none) != 0)
        setpriority(PRIO_PROCESS, 0, 19); // Linux: 0 names the calling thread here
}

} // namespace

TParSearch::~TParSearch() {
    Cancel();
}

void TParSearch::Start(const TBoard& Deal, std::chrono::milliseconds Time) {
    Cancel();
    {
        std::lock_guard<std::mutex> hold(FLock);
        FSearching = true;
        FPar.reset();
    }
    FCancel = false;
    FThread = std::thread([this, Deal, Time] { Run(Deal, Time); });
}

void TParSearch::Cancel() {
    FCancel = true;
    if (FThread.joinable())
        FThread.join();
    std::lock_guard<std::mutex> hold(FLock);
    FSearching = false;
    FPar.reset();
}

bool TParSearch::Searching() const {
    std::lock_guard<std::mutex> hold(FLock);
    return FSearching;
}

std::optional<std::int32_t> TParSearch::Par() const {
    std::lock_guard<std::mutex> hold(FLock);
    return FPar;
}

void TParSearch::Run(TBoard Deal, std::chrono::milliseconds Time) {
    LowerThisThread();
    const TSolution best = TSolver().Solve(Deal, Time, &FCancel);
    std::lock_guard<std::mutex> hold(FLock);
    FSearching = false;
    // A search cut short by a new deal found no par for the deal on the board.
    if (!FCancel)
        FPar = best.PebblesLeft;
}

} // namespace zorbalin
