// The search's cheap bounds, and the values it takes without a search, against exact values. A
// bound above a board's true value cuts off proofs the board needs; on small yards that seldom
// changes an answer, so the bounds are checked themselves, on every board the exact solver
// meets.
#include "search/lower_bound.h"
#include "search/settled_value.h"

#include <gtest/gtest.h>

#include <bit>
#include <random>
#include <utility>
#include <vector>

#include "board_io/compact_form.h"
#include "rules/retrieval.h"
#include "solver/compute.h"
#include "tests/support/test_boards.h"

namespace {

int exact(PackedBoard const& board) {
  return compute(unpack(board), 0);
}

// Every bound taken along every placement of the request pending on `asked`, against the exact
// value of the child that placement makes.
void expect_placement_bounds_hold(PackedBoard const& asked) {
  WorkingBoard const board(asked.without_request());
  Retrieval retrieval(board, asked.request_stack(), asked.request_slot());
  int const lifted = retrieval.lifted_count();
  int lifted_targets[kMaxPackedHeight + 1] = {};
  for (int i = lifted - 1; i >= 0; --i)
    lifted_targets[i] = lifted_targets[i + 1] + (retrieval.lifted_item(i) == kTarget);
  PlacementBound bound(lifted, retrieval.from(), lifted_targets);
  int along[kMaxPackedHeight + 1];
  retrieval.walk(
      [&](WorkingBoard const& placed, int i, int last) {
        along[i] = bound.after(placed, i, last);
        return false;
      },
      [&](WorkingBoard const& placed) {
        int const child = exact(placed.canonical());
        for (int i = 0; i <= lifted; ++i)
          EXPECT_LE(along[i], child) << "item " << i << " of a placement on "
                                     << format_compact_board(unpack(asked));
        EXPECT_EQ(bound.child(), along[lifted]);
        return !testing::Test::HasFailure();
      });
}

TEST(LowerBounds, NeverAboveTheExactValueOnEveryBoardTheSolverMeets) {
  std::mt19937 rng(5);
  int boards = 0;
  int above_plain = 0;  // boards where the bound is above S, the items that must move once
  int above_one_ply = 0;  // boards where a sequence of requests gives more than one
  int settled_boards = 0;  // boards whose value needs no search
  for (int n = 2; n <= 5; ++n) {
    for (int height = 2; height <= 5; ++height) {
      for (int trial = 0; trial < 20; ++trial) {
        int const items = std::uniform_int_distribution<int>(1, std::min(n * height, 14))(rng);
        int const targets = std::uniform_int_distribution<int>(1, items)(rng);
        clear_tables();
        compute(random_yard(rng, n, height, items, targets), 0);
        std::vector<std::pair<PackedBoard, int>> const met(memo.begin(), memo.end());
        for (auto const& [key, value] : met) {
          WorkingBoard const w(key.without_request());
          if (!key.has_request()) {
            int const bound = moves_lower_bound(w);
            int const sequence = sequence_lower_bound(w);
            ASSERT_LE(bound, value) << format_compact_board(unpack(key));
            ASSERT_LE(sequence, value) << format_compact_board(unpack(key));
            if (int const settled = settled_value(w); settled >= 0) {
              ASSERT_EQ(settled, value) << format_compact_board(unpack(key));
              ++settled_boards;
            }
            // Against a goal, the bound reaches it exactly when the full bound does.
            for (int goal : {sequence - 1, sequence, sequence + 1}) {
              int const against = sequence_lower_bound(w, goal);
              ASSERT_EQ(against >= goal, sequence >= goal) << format_compact_board(unpack(key));
              ASSERT_LE(against, sequence);
            }
            above_plain += bound > items_above_lowest_targets(w);
            above_one_ply += sequence > bound;
            ++boards;
            continue;
          }
          int const stack = key.request_stack();
          int const slot = key.request_slot();
          std::uint32_t const targets_here = w.targets(stack);
          ASSERT_LE(request_lower_bound(items_above_lowest_targets(w),
                                        free_slots_without_targets(w, -1),
                                        open_stacks_without_targets(w, -1),
                                        w.level[stack] - 1 - slot,
                                        std::popcount(targets_here >> slot >> 1),
                                        std::countr_zero(targets_here) == slot),
                    value)
              << format_compact_board(unpack(key));
          expect_placement_bounds_hold(key);
          if (HasFailure()) return;
        }
      }
    }
  }
  EXPECT_GT(boards, 10000);
  EXPECT_GT(above_plain, 100);  // the one-ply terms do bite
  EXPECT_GT(above_one_ply, 500);
  EXPECT_GT(settled_boards, 1000);
}

}  // namespace
