#pragma once
// Clearable deals: a new deal that the player asked to be clearable is taken
// only when the solver clears it. Numbers are drawn one after another and
// each deal is searched with a small fixed budget of positions, so a number
// is judged the same way on every run; a deal the solver cannot clear within
// that budget is passed over even if a longer search might clear it.
//
// Most deals are judged within a few milliseconds, and with 5 colours about
// half of them clear, so the search usually ends after a few numbers. It runs
// on the calling thread; another thread may stop it through Cancel.
#include "game/deal_number.h"
#include "game/deal_random.h"
#include "game/solver.h"

#include <atomic>
#include <cstdint>
#include <optional>

namespace zorbalin {

// The positions the solver may search on one drawn deal.
constexpr std::uint64_t kClearableDealPositions = 50'000;

// The clicks that clear deal Number with ColourCount colours, or nothing when
// the solver finds none within kClearableDealPositions (or was cancelled).
std::optional<TSolution> ClearingLine(TDealNumber Number, std::int32_t ColourCount,
                                      const std::atomic<bool>* Cancel = nullptr);

// Reseeds Random, then draws numbers from it until one deals a board that
// ClearingLine clears; 0 when Cancel was set first.
TDealNumber DrawClearableDeal(TDealRandom& Random, std::int32_t ColourCount,
                              const std::atomic<bool>* Cancel = nullptr);

} // namespace zorbalin
