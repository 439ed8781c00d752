#include "search/known_order_bound.h"

#include <algorithm>
#include <cstdint>

#include "search/group_bound.h"

bool one_item_a_group(GroupedBoard const& board) {
  std::uint64_t seen[4] = {};
  for (int s = 0; s < board.n; ++s) {
    for (int j = 0; j < board.level[s]; ++j) {
      int const cell = board.cell[s][j];
      if (cell == board.stays) continue;
      std::uint64_t const bit = std::uint64_t{1} << (cell & 63);
      if (seen[cell >> 6] & bit) return false;
      seen[cell >> 6] |= bit;
    }
  }
  return true;
}

int known_order_bound(GroupedBoard const& board) {
  // Where each group's item is, and how many unmoved items each stack still holds: the items
  // below an item that has not left yet have not moved, so the least of them, kept in
  // board.low, is what an item landing there must not exceed.
  std::uint8_t stack_of[kMaxDenseGroups + 1];
  std::uint8_t slot_of[kMaxDenseGroups + 1];
  std::fill_n(slot_of, board.stays, kNoItem);
  int height[kMaxGroupedStacks];
  for (int s = 0; s < board.n; ++s) {
    height[s] = board.level[s];
    for (int j = 0; j < board.level[s]; ++j) {
      int const cell = board.cell[s][j];
      if (cell == board.stays) continue;
      stack_of[cell] = static_cast<std::uint8_t>(s);
      slot_of[cell] = static_cast<std::uint8_t>(j);
    }
  }
  int moves = 0;
  bool first = true;
  for (int group = 1; group < board.stays; ++group) {
    int const slot = slot_of[group];
    if (slot == kNoItem) continue;
    int const s = stack_of[group];
    if (slot >= height[s]) continue;  // it moved, lifted by an earlier request
    int lifted[kMaxGroupedHeight];
    int count = 0;
    for (int j = height[s] - 1; j > slot; --j)
      lifted[count++] = board.cell[s][j];
    height[s] = slot;
    if (count == 0) {
      first = false;
      continue;
    }
    int caps[kMaxGroupedStacks];
    int cap_count = 0;
    int most = 0;  // the greatest cap
    for (int d = 0; d < board.n; ++d) {
      if (d != s && height[d] < board.height) {
        caps[cap_count++] = board.low[d][height[d]];
        most = std::max(most, caps[cap_count - 1]);
      }
    }
    // One item alone (the common case, and this bound runs on every child the search makes)
    // lands unblocked exactly when some cap is at least its own group.
    int extra = count == 1
                    ? (most < lifted[0] ? 1 : 0)
                    : fewest_blocked_landings(lifted, count, caps, cap_count, board.stays, false);
    if (first) {
      // Only now are the stacks' free slots known: every item is still where it stands.
      int const least = *std::min_element(lifted, lifted + count);
      int free = 0;
      for (int d = 0; d < board.n; ++d) {
        if (d != s && board.lowest(d) >= least) free += board.free_slots(d);
      }
      extra = std::max(extra, count - free);
      first = false;
    }
    moves += count + extra;
  }
  return moves;
}
