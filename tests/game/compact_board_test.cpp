// The solver's board must play exactly like TGame, or its lines would not
// replay: both are driven through the same clicks on awkward positions.
#include "recording_view.h"

#include "game/compact_board.h"
#include "game/neighbour_pairs.h"
#include "game/pebble_groups.h"
#include "game/quiet_view.h"

#include <gtest/gtest.h>

#include <random>

namespace zorbalin::testing {
namespace {

// Few colours make big groups; holes, floating pebbles and runs of empty
// columns make the settling rules matter.
TBoard RandomPosition(std::mt19937& Random) {
    const int colours = 1 + static_cast<int>(Random() % 5);
    const int holes = static_cast<int>(Random() % 4); // none, some, many, most
    TBoard board;
    for (int col = 1; col <= kColumnCount; ++col) {
        const bool emptyColumn = Random() % 6 == 0;
        for (int row = 1; row <= kRowCount; ++row) {
            const bool hole = emptyColumn || static_cast<int>(Random() % 8) < holes * 2;
            board.At(col, row).Colour = hole ? 0 : 1 + static_cast<int>(Random() % colours);
        }
    }
    return board;
}

struct TQuietGame {
    explicit TQuietGame(const TBoard& Position) { Game.LoadPosition(Position); }
    TQuietView View;
    TGame Game{View};
};

TEST(CompactBoard, PlaysEveryClickLikeTheGame) {
    std::mt19937 random(20240611);
    for (int position = 0; position < 80; ++position) {
        const TBoard start = RandomPosition(random);
        TQuietGame g(start);
        TCompactBoard compact(start);
        // The colour codes of the game, by compact code, to compare colours.
        std::array<std::int32_t, TCompactBoard::kMaxColours + 1> codeOf{};
        for (int index = 0; index < kCellCount; ++index)
            codeOf[compact.At(index)] = start.Colour(index / kRowCount + 1, index % kRowCount + 1);
        for (int click = 0; click < 30 && compact.PebbleCount() > 0; ++click) {
            ASSERT_EQ(compact.HasMovesLeft(), g.Game.HasMovesLeft());
            const int index = static_cast<int>(random() % kCellCount);
            TQuietGame settled(g.Game.Board()); // what a click that removes nothing does
            settled.Game.SettleBoard();
            bool changes = false;
            for (int i = 0; i < kCellCount; ++i)
                changes |= settled.Game.Board().Colour(i / kRowCount + 1, i % kRowCount + 1) !=
                           g.Game.Board().Colour(i / kRowCount + 1, i % kRowCount + 1);
            ASSERT_EQ(compact.IsUnsettled(), changes);

            g.Game.ClickPebble(index / kRowCount + 1, index % kRowCount + 1);
            compact.Click(index);
            for (int i = 0; i < kCellCount; ++i)
                ASSERT_EQ(codeOf[compact.At(i)],
                          g.Game.Board().Colour(i / kRowCount + 1, i % kRowCount + 1))
                    << "position " << position << ", click " << click << ", cell " << i;
        }
    }
}

TEST(CompactBoard, GroupsCoverEveryPebbleOnceAndJoinOnlyNeighbours) {
    std::mt19937 random(7);
    for (int position = 0; position < 100; ++position) {
        const TCompactBoard board(RandomPosition(random));
        const TPebbleGroups groups(board);
        std::array<int, kCellCount> groupOf;
        groupOf.fill(-1);
        int removable = 0;
        for (int group = 0; group < groups.Count(); ++group) {
            removable += groups[group].Size >= 2;
            for (int i = 0; i < groups[group].Size; ++i) {
                const int cell = groups.CellsOf(group)[i];
                ASSERT_EQ(groupOf[cell], -1) << "cell " << cell << " listed twice";
                groupOf[cell] = group;
                ASSERT_EQ(board.At(cell), groups[group].Colour);
                ASSERT_TRUE(groups[group].Columns & (1u << (cell / kRowCount)));
            }
        }
        for (int cell = 0; cell < kCellCount; ++cell)
            ASSERT_EQ(groupOf[cell] >= 0, board.At(cell) != 0) << "cell " << cell;
        EXPECT_EQ(removable, groups.RemovableCount());
        EXPECT_EQ(removable > 0, board.HasMovesLeft());
        // Same-coloured neighbours always share a group.
        for (int cell = 0; cell < kCellCount; ++cell) {
            if (board.At(cell) == 0)
                continue;
            if (cell % kRowCount + 1 < kRowCount && board.At(cell + 1) == board.At(cell)) {
                ASSERT_EQ(groupOf[cell], groupOf[cell + 1]);
            }
            if (cell + kRowCount < kCellCount && board.At(cell + kRowCount) == board.At(cell)) {
                ASSERT_EQ(groupOf[cell], groupOf[cell + kRowCount]);
            }
        }
    }
}

// The solver's quick counts against the same counts made cell by cell.
TEST(CompactBoard, NeighbourPairsMatchACountCellByCell) {
    std::mt19937 random(11);
    for (int position = 0; position < 100; ++position) {
        const TBoard board = RandomPosition(random);
        const auto colour = [&](int Col, int Row) {
            return Col >= 1 && Col <= kColumnCount && Row >= 1 && Row <= kRowCount
                       ? board.Colour(Col, Row)
                       : 0;
        };
        TNeighbourPairs expected;
        for (int col = 1; col <= kColumnCount; ++col) {
            for (int row = 1; row <= kRowCount; ++row) {
                const int here = colour(col, row);
                if (here == 0)
                    continue;
                const auto same = [&](int DCol, int DRow) {
                    return colour(col + DCol, row + DRow) == here;
                };
                ++expected.Pebbles;
                expected.Pairs += same(1, 0) + same(0, 1);
                const bool lone = !same(1, 0) && !same(-1, 0) && !same(0, 1) && !same(0, -1);
                expected.Lone += lone;
                expected.Far += lone && !same(1, 1) && !same(1, -1) && !same(-1, 1) &&
                                !same(-1, -1) && !same(2, 0) && !same(-2, 0) && !same(0, 2) &&
                                !same(0, -2);
            }
        }
        const TCompactBoard compact(board);
        const TNeighbourPairs counted = CountNeighbourPairs(compact);
        EXPECT_EQ(counted.Pebbles, expected.Pebbles);
        EXPECT_EQ(counted.Pairs, expected.Pairs);
        EXPECT_EQ(counted.Lone, expected.Lone);
        EXPECT_EQ(counted.Far, expected.Far);
        EXPECT_EQ(counted.HasMovesLeft(), compact.HasMovesLeft());
    }
}

} // namespace
} // namespace zorbalin::testing
