#include "search/bounds/known_order_bound.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include "search/bounds/group_bound.h"
#include "search/bounds/moved_items_bound.h"

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

int KnownOrderBound::plain(GroupedBoard const& board) {
  // Where each group's item is, and how many unmoved items each stack still holds: the items
  // below an item that has not left yet have not moved, so the least of them, kept in
  // board.low, is what an item landing there must not exceed. cap[s] is that least group for
  // the items now on stack s, or 0 (which no item may land on unblocked) when s has no room;
  // it is kept up to date as stacks lose items rather than gathered for every request, since
  // this bound runs on every child the search makes.
  std::uint8_t stack_of[kMaxDenseGroups + 1];
  std::uint8_t slot_of[kMaxDenseGroups + 1];
  std::fill_n(slot_of, board.stays, kNoItem);
  int height[kMaxGroupedStacks];
  int cap[kMaxGroupedStacks];
  for (int s = 0; s < board.n; ++s) {
    height[s] = board.level[s];
    cap[s] = board.level[s] < board.height ? board.low[s][board.level[s]] : 0;
    for (int j = 0; j < board.level[s]; ++j) {
      int const cell = board.cell[s][j];
      if (cell == board.stays) continue;
      stack_of[cell] = static_cast<std::uint8_t>(s);
      slot_of[cell] = static_cast<std::uint8_t>(j);
    }
  }
  // The requests that lift something, for the count with moved items kept.
  LandingPlan& plan = plan_;
  plan.clear(board.n, board.stays);
  int lifted_total = 0;
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
      cap[s] = board.low[s][slot];
      first = false;
      continue;
    }
    cap[s] = 0;  // the lifted items go elsewhere
    int extra;
    if (count == 1) {
      // One item alone, the common case: it lands unblocked where some cap is at least its own.
      int most = 0;
      for (int d = 0; d < board.n; ++d)
        most = std::max(most, cap[d]);
      extra = most < lifted[0] ? 1 : 0;
    } else {
      extra = fewest_blocked_landings(lifted, count, cap, board.n, board.stays, false);
    }
    plan.lifts.push_back({group, static_cast<int>(plan.items.size()), extra});
    plan.items.insert(plan.items.end(), lifted, lifted + count);
    plan.caps.insert(plan.caps.end(), cap, cap + board.n);
    cap[s] = board.low[s][slot];
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
    lifted_total += count;
  }
  moves_ = moves;
  lifted_ = lifted_total;
  return moves;
}

int KnownOrderBound::refined(int need, int budget) const {
  // Asked against no budget at all (a first line picking its children), the second count
  // cannot decide anything.
  if (plan_.lifts.empty() || need == INT_MAX || (need != kStrongestBound && moves_ > need)) {
    return moves_;
  }
  int const enough = need == kStrongestBound ? -1 : need - lifted_;
  return std::max(moves_, lifted_ + fewest_blocked_with_moved_items(plan_, enough, budget));
}

int known_order_bound(GroupedBoard const& board, int need, bool keep_moved_items, int budget) {
  // Scratch kept from call to call: this runs on every child the search makes.
  thread_local KnownOrderBound bound;
  int const plain = bound.plain(board);
  return keep_moved_items ? bound.refined(need, budget) : plain;
}
