#include "search/bounds/settled_value.h"

#include <algorithm>
#include <array>
#include <bit>

int settled_value(WorkingBoard const& board) {
  int lifted_targets = 0;
  int lifted_others = 0;
  int stacks_lifting_targets = 0;
  int free = 0;
  int open = 0;
  std::array<int, kMaxPackedStacks> room;  // of the open stacks without targets
  for (int s = 0; s < board.n; ++s) {
    std::uint32_t const t = board.targets(s);
    if (t == 0) {
      if (!board.full(s)) room[open++] = board.free_slots(s);
      free += board.free_slots(s);
      continue;
    }
    int const targets = std::popcount(t) - 1;
    lifted_targets += targets;
    lifted_others += board.above_lowest_target(s) - targets;
    stacks_lifting_targets += targets > 0;
  }
  int const parked = lifted_targets - std::max(stacks_lifting_targets - 1, 0);
  if (parked > open) return -1;
  std::partial_sort(room.begin(), room.begin() + parked, room.begin() + open);
  for (int k = 0; k < parked; ++k)
    free -= room[k];
  return lifted_others <= free ? lifted_targets + lifted_others : -1;
}
