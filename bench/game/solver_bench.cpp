// The solver on random deals: pebbles left, boards cleared and positions
// searched per second, for a time budget per deal. Every line found is played
// on a real TGame to check the count it claims.
//
//   bench_solver                   the standard table (3, 4, 5 colours at 1 s; 4, 5 at 0.3 s)
//   bench_solver C MS [DEALS [FIRST]]   one row: C colours, MS milliseconds a deal
//   bench_solver C p:N [DEALS [FIRST]]  one row with a budget of N positions a deal
// FIRST numbers the first deal (0 by default), to try other deals than the table's.
// With BENCH_VERBOSE set in the environment every deal gets a line of its own.
//
// A time budget is searched as the number of positions it stands for
// (TSolverBudget::ForTime) without the deadline, so that the figures are the
// same on a busy machine; the times shown are the CPU time of the searching
// thread, and the last column counts the deals that took more CPU time than
// their budget, which the deadline would have cut short on this machine.
#include "game/game.h"
#include "game/quiet_view.h"
#include "game/solver.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>
#include <string>

namespace zorbalin {
namespace {

constexpr int kStandardDeals = 50;

// The same deals on every run: deal Number of Colours colours.
TBoard RandomDeal(int Colours, int Number) {
    std::mt19937 generator(static_cast<std::uint32_t>(1000 * Colours + Number));
    std::uniform_int_distribution<int> colour(1, Colours);
    TBoard board;
    for (int col = 1; col <= kColumnCount; ++col)
        for (int row = 1; row <= kRowCount; ++row)
            board.At(col, row).Colour = colour(generator);
    return board;
}

double ThreadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Plays Clicks on a real game: true when they leave Left pebbles and no move.
bool Replays(const TBoard& Deal, const TSolution& Solution) {
    TQuietView view;
    TGame game(view);
    game.LoadPosition(Deal);
    for (const TCellPosition& click : Solution.Clicks) {
        if (!game.Board().IsFilled(click.Col, click.Row))
            return false;
        game.ClickPebble(click.Col, click.Row);
    }
    int left = 0;
    for (int col = 1; col <= kColumnCount; ++col)
        for (int row = 1; row <= kRowCount; ++row)
            left += game.Board().IsFilled(col, row);
    return left == Solution.PebblesLeft && !game.HasMovesLeft();
}

struct TRowTotals {
    int Deals = 0;
    int Cleared = 0;
    int PebblesLeft = 0;
    int WorstLeft = 0;
    int Mismatches = 0;
    int OverTime = 0; // searches that took more CPU time than their time budget
    std::uint64_t Positions = 0;
    double Seconds = 0;
    double SlowestSeconds = 0;
};

void PrintRow(int Colours, const std::string& Budget, const TRowTotals& Totals) {
    const double deals = Totals.Deals;
    std::printf("%7d  %8s  %5d  %9.2f  %5d  %6.0f %%  %9.3f  %8.3f  %10.0f  %4d  %4d\n", Colours,
                Budget.c_str(), Totals.Deals, Totals.PebblesLeft / deals, Totals.WorstLeft,
                100.0 * Totals.Cleared / deals, Totals.Seconds / deals, Totals.SlowestSeconds,
                Totals.Positions / Totals.Seconds, Totals.Mismatches, Totals.OverTime);
    std::fflush(stdout);
}

void RunRow(int Colours, const std::string& BudgetText, int Deals, int First = 0) {
    TSolverBudget budget;
    double allowed = 0; // seconds of the time budget, if any
    if (BudgetText.rfind("p:", 0) == 0) {
        budget.Positions = std::strtoull(BudgetText.c_str() + 2, nullptr, 10);
    } else {
        const std::chrono::milliseconds time(std::atoi(BudgetText.c_str()));
        budget.Positions = TSolverBudget::ForTime(time).Positions;
        allowed = static_cast<double>(time.count()) / 1000;
    }
    const TSolver solver;
    TRowTotals totals;
    for (int number = First; number < First + Deals; ++number) {
        const TBoard deal = RandomDeal(Colours, number);
        const double start = ThreadSeconds();
        const TSolution solution = solver.Solve(deal, budget);
        const double seconds = ThreadSeconds() - start;
        if (std::getenv("BENCH_VERBOSE"))
            std::printf("deal %d: %d left, %llu positions, %.3f s\n", number, solution.PebblesLeft,
                        static_cast<unsigned long long>(solution.PositionsSearched), seconds);
        ++totals.Deals;
        totals.Cleared += solution.PebblesLeft == 0;
        totals.PebblesLeft += solution.PebblesLeft;
        totals.WorstLeft = std::max(totals.WorstLeft, solution.PebblesLeft);
        totals.Mismatches += !Replays(deal, solution);
        totals.OverTime += allowed > 0 && seconds > allowed;
        totals.Positions += solution.PositionsSearched;
        totals.Seconds += seconds;
        totals.SlowestSeconds = std::max(totals.SlowestSeconds, seconds);
    }
    PrintRow(Colours, BudgetText, totals);
}

void PrintHeader() {
    std::printf("colours    budget  deals  mean left  worst  cleared  mean cpu s  max cpu s"
                "  positions/s  bad  over\n");
}

} // namespace
} // namespace zorbalin

int main(int argc, char** argv) {
    using namespace zorbalin;
    PrintHeader();
    if (argc >= 3) {
        RunRow(std::atoi(argv[1]), argv[2], argc >= 4 ? std::atoi(argv[3]) : kStandardDeals,
               argc >= 5 ? std::atoi(argv[4]) : 0);
        return 0;
    }
    for (const auto& [colours, budget] :
         {std::pair{3, "1000"}, {4, "1000"}, {5, "1000"}, {4, "300"}, {5, "300"}})
        RunRow(colours, budget, kStandardDeals);
    return 0;
}
