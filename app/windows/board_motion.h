#pragma once
// The moves of a click (app/windows/motion_plan.h) played on the cell pictures as motion a player
// can follow. The click has already put every picture in its final cell; the motion draws each
// moving one away from its home box and brings it back:
//
//   - the fall: every pebble that drops goes down from its starting row to the row it lands in,
//     all at once, accelerating as a falling thing does;
//   - the slide: every column that closes up goes left to its place, all at once, slowing down
//     as it arrives.
//
// Each phase takes the same time whatever the distance, and a click without drops or without
// shifts skips that phase. The frames come from the message loop's idle work (toolkit/ticker.h),
// about sixty a second; nothing waits for the motion, and Finish shows the final look at once.
#include "app/windows/motion_plan.h"
#include "toolkit/geometry.h"
#include "toolkit/ticker.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace zorbalin {

class TCellPictures;

constexpr uint32_t kFallTime = 200;  // milliseconds
constexpr uint32_t kSlideTime = 200; // milliseconds
constexpr uint32_t kFrameTime = 16;  // milliseconds between frames

// How long each phase of these moves takes: 0 for a phase that none of them has.
struct TMotionTimes {
    uint32_t Fall = 0;
    uint32_t Slide = 0;
    uint32_t Total() const { return Fall + Slide; }
};
TMotionTimes MotionTimes(const std::vector<TPebbleMove>& Moves);

// Where the picture of a moving pebble is drawn this many milliseconds after the motion began,
// as an offset from the home box of the cell it ends in; (0, 0) once the motion is over.
TPoint MotionOffset(const TPebbleMove& Move, const TMotionTimes& Times, uint32_t Elapsed);

class TBoardMotion : public TTicker {
  public:
    explicit TBoardMotion(TCellPictures& Cells) : FCells(Cells) {}
    ~TBoardMotion() override;
    TBoardMotion(const TBoardMotion&) = delete;
    TBoardMotion& operator=(const TBoardMotion&) = delete;

    // Plays the moves from now on (the application's clock); the first frame is marked for the
    // next repaint at once. Nothing to play ends at once.
    void Start(std::vector<TPebbleMove> Moves);
    bool Running() const { return !FMoves.empty(); }
    // Puts every moving picture home now.
    void Finish();
    // Runs when the motion has ended, by its time or by Finish.
    std::function<void()> OnFinished;

    const std::vector<TPebbleMove>& Moves() const { return FMoves; }
    const TMotionTimes& Times() const { return FTimes; }
    // Places the pictures as they are this long after the start.
    void ShowFrame(uint32_t Elapsed);

    int Tick(uint32_t Now) override;

  private:
    TCellPictures& FCells;
    std::vector<TPebbleMove> FMoves;
    TMotionTimes FTimes;
    uint32_t FStart = 0;
};

} // namespace zorbalin
