#include "app/windows/board_motion.h"

#include "app/windows/cell_pictures.h"
#include "toolkit/application.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace zorbalin {

TMotionTimes MotionTimes(const std::vector<TPebbleMove>& Moves) {
    TMotionTimes times;
    for (const TPebbleMove& move : Moves) {
        if (move.FromRow != move.ToRow)
            times.Fall = kFallTime;
        if (move.FromCol != move.ToCol)
            times.Slide = kSlideTime;
    }
    return times;
}

namespace {

// From 0 to 1 as the phase goes by: a fall speeds up, a slide slows down.
double FallShare(uint32_t Elapsed, uint32_t Time) {
    const double t = std::min(1.0, static_cast<double>(Elapsed) / Time);
    return t * t;
}

double SlideShare(uint32_t Elapsed, uint32_t Time) {
    const double t = std::min(1.0, static_cast<double>(Elapsed) / Time);
    return t * (2.0 - t);
}

int Between(int From, int To, double Share) {
    return From + static_cast<int>(std::lround((To - From) * Share));
}

} // namespace

TPoint MotionOffset(const TPebbleMove& Move, const TMotionTimes& Times, uint32_t Elapsed) {
    const TCellBox start = HomeBox(Move.FromCol, Move.FromRow);
    const TCellBox landed = HomeBox(Move.FromCol, Move.ToRow);
    const TCellBox end = HomeBox(Move.ToCol, Move.ToRow);
    int left = start.Left;
    int top = landed.Top;
    if (Elapsed < Times.Fall)
        top = Between(start.Top, landed.Top, FallShare(Elapsed, Times.Fall));
    else if (Times.Slide > 0)
        left = Between(start.Left, end.Left, SlideShare(Elapsed - Times.Fall, Times.Slide));
    else
        left = end.Left;
    return {left - end.Left, top - end.Top};
}

TBoardMotion::~TBoardMotion() {
    if (gApplication)
        gApplication->RemoveTicker(this);
}

void TBoardMotion::Start(std::vector<TPebbleMove> Moves) {
    Finish();
    if (Moves.empty())
        return;
    FMoves = std::move(Moves);
    FTimes = MotionTimes(FMoves);
    FStart = gApplication ? gApplication->Backend().Ticks() : 0;
    ShowFrame(0);
    if (gApplication)
        gApplication->AddTicker(this);
}

void TBoardMotion::ShowFrame(uint32_t Elapsed) {
    for (const TPebbleMove& move : FMoves) {
        const TPoint offset = MotionOffset(move, FTimes, Elapsed);
        FCells.Place(move.ToCol, move.ToRow, offset.X, offset.Y);
    }
}

void TBoardMotion::Finish() {
    if (gApplication)
        gApplication->RemoveTicker(this);
    if (FMoves.empty())
        return;
    ShowFrame(FTimes.Total());
    FMoves.clear();
    if (OnFinished)
        OnFinished();
}

int TBoardMotion::Tick(uint32_t Now) {
    if (FMoves.empty())
        return -1;
    const uint32_t elapsed = Now - FStart;
    if (elapsed >= FTimes.Total()) {
        Finish();
        return -1;
    }
    ShowFrame(elapsed);
    return static_cast<int>(std::min(kFrameTime, FTimes.Total() - elapsed));
}

} // namespace zorbalin
