// How long a player waits for a clearable deal: for each number of colours, many clearable deals
// drawn as the game draws them, each timed from the first number tried to the one the solver
// clears. Prints the share found within 300 ms and within 1 s, the mean, the slowest, and how
// many numbers a deal took. The numbers come from a fixed seed, so every run tries the same ones;
// wall-clock and CPU times are both shown, since a busy machine stretches the first.
//
//   bench_clearable              200 deals each of 3, 4 and 5 colours
//   bench_clearable DEALS [C]    DEALS deals (of C colours only)
#include "game/clearable_deal.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>
#include <vector>

namespace zorbalin {
namespace {

// Draws as the game's own source does, from a fixed seed, and counts the draws.
class TSeededNumbers : public TDealRandom {
  public:
    explicit TSeededNumbers(std::uint32_t Seed) : FGenerator(Seed) {}
    void Reseed() override {}
    TDealNumber NextNumber() override {
        ++Draws;
        std::uniform_int_distribution<TDealNumber> number(kFirstDealNumber, kLastDealNumber);
        return number(FGenerator);
    }
    long Draws = 0;

  private:
    std::mt19937 FGenerator;
};

double ThreadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double WallSeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

double ShareWithin(const std::vector<double>& Seconds, double Limit) {
    const auto within = std::count_if(Seconds.begin(), Seconds.end(),
                                      [Limit](double Value) { return Value <= Limit; });
    return 100.0 * static_cast<double>(within) / static_cast<double>(Seconds.size());
}

void RunRow(std::int32_t Colours, int Deals) {
    TSeededNumbers numbers(static_cast<std::uint32_t>(7919 * Colours));
    std::vector<double> wall;
    std::vector<double> cpu;
    for (int deal = 0; deal < Deals; ++deal) {
        const double wallStart = WallSeconds();
        const double cpuStart = ThreadSeconds();
        DrawClearableDeal(numbers, Colours);
        cpu.push_back(ThreadSeconds() - cpuStart);
        wall.push_back(WallSeconds() - wallStart);
    }
    const auto mean = [](const std::vector<double>& Values) {
        double sum = 0;
        for (double value : Values)
            sum += value;
        return sum / static_cast<double>(Values.size());
    };
    std::printf("%7d  %5d  %8.1f %%  %6.1f %%  %9.1f  %9.1f  %8.1f  %8.1f  %7.2f\n", Colours, Deals,
                ShareWithin(wall, 0.3), ShareWithin(wall, 1.0), 1000 * mean(wall),
                1000 * *std::max_element(wall.begin(), wall.end()), 1000 * mean(cpu),
                1000 * *std::max_element(cpu.begin(), cpu.end()),
                static_cast<double>(numbers.Draws) / Deals);
    std::fflush(stdout);
}

} // namespace
} // namespace zorbalin

int main(int argc, char** argv) {
    using namespace zorbalin;
    const int deals = argc >= 2 ? std::max(1, std::atoi(argv[1])) : 200;
    std::printf("colours  deals  <=300 ms   <=1 s   mean ms   max ms   mean cpu  max cpu  "
                "numbers/deal\n");
    if (argc >= 3) {
        RunRow(std::clamp(std::atoi(argv[2]), 3, 5), deals);
        return 0;
    }
    for (std::int32_t colours = 3; colours <= 5; ++colours)
        RunRow(colours, deals);
    return 0;
}
