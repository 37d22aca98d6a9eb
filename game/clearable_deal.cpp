#include "game/clearable_deal.h"

namespace zorbalin {

std::optional<TSolution> ClearingLine(TDealNumber Number, std::int32_t ColourCount,
                                      const std::atomic<bool>* Cancel) {
    TSolverBudget budget;
    budget.Positions = kClearableDealPositions;
    TSolution line = TSolver().Solve(DealtBoard(Number, ColourCount), budget, Cancel);
    if (line.PebblesLeft != 0 || line.Interrupted)
        return std::nullopt;
    return line;
}

TDealNumber DrawClearableDeal(TDealRandom& Random, std::int32_t ColourCount,
                              const std::atomic<bool>* Cancel) {
    Random.Reseed();
    while (!Cancel || !*Cancel) {
        const TDealNumber number = Random.NextNumber();
        if (ClearingLine(number, ColourCount, Cancel))
            return number;
    }
    return 0;
}

} // namespace zorbalin
