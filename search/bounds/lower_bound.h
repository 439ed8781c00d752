// Cheap lower bounds on the moves still needed, for cutting the search short.
//
// Every item above the lowest target of a stack has to be moved at least once, whatever the
// order of requests: the requesting side can always ask for that lowest target first, and the
// items lifted then only ever add to the count of the stacks they land on. So the sum S of
// those counts over all stacks is a lower bound. One ply better: when the lowest target of a
// stack is asked for, each lifted item lands either on a stack without targets, where it adds
// nothing, or above a target, where it counts again. At most F of them (F: the free slots on
// stacks without a target) can do the first, and at most Z of the lifted targets (Z: the stacks
// without a target that have room), since a target turns the stack it lands on into one that
// the next target would land above. So with a items above the lowest target of a stack, t of
// them targets, the board is worth at least S + max(0, a - F, t - Z) for every such stack.
#pragma once

#include <algorithm>
#include <bit>
#include <climits>

#include "model/working_board.h"

// S: items above the lowest target, summed over the stacks.
int items_above_lowest_targets(WorkingBoard const& board);

// F, leaving out stack `except` (the stack being emptied, which takes no items); pass -1 to
// leave out none.
int free_slots_without_targets(WorkingBoard const& board, int except);

// Z, leaving out stack `except` as for F.
int open_stacks_without_targets(WorkingBoard const& board, int except);

// a: the most items above the lowest target of any one stack.
int deepest_above_lowest_target(WorkingBoard const& board);

// t: the most targets above the lowest target of any one stack.
int most_targets_above_lowest(WorkingBoard const& board);

// The one-ply bound S + max(0, a - F, t - Z), a and t each the largest of any stack.
int moves_lower_bound(WorkingBoard const& board);

// The one-ply bound followed through a sequence of requests: the requesting side may commit to
// asking for the lowest targets of several stacks in turn, and each stack emptied so leaves
// its room free (the items below its lowest target are other items) and one more stack open.
// Along a sequence, each lifted item beyond the free slots, and each lifted target beyond the
// open stacks, counts twice; the rest land free, other items before targets, using up a slot
// each and an open stack for each target. Letting an item count twice to keep a slot or an
// open stack never saves more than that one move later, so the retrieving side gives nothing
// away this way, and S plus the extra moves of any sequence is a bound; this takes the most
// over the orders of up to kMaxSequenceStacks stacks. Some hundreds of steps: worth taking
// only where the one-ply bound falls short. Against a goal (`enough`), it may stop at the first
// order found whose bound reaches it, and give that bound.
inline constexpr int kMaxSequenceStacks = 7;
int sequence_lower_bound(WorkingBoard const& board, int enough = INT_MAX);

// A lower bound on the cost of a request that lifts `lifted` items, `lifted_targets` of them
// targets, on a board with S = above, F = free and Z = open: as the board's bound, but for that
// one request. A target that is not the lowest of its stack was itself counted in S, so asking
// for it gives one less.
inline int request_lower_bound(int above, int free, int open, int lifted, int lifted_targets,
                               bool lowest_of_its_stack) {
  return above - (lowest_of_its_stack ? 0 : 1) +
         std::max({0, lifted - free, lifted_targets - open});
}

// The one-ply bound, taken on a board part way through a retrieval and kept up to date one item
// at a time while the lifted items are placed, so that a placement that cannot bring its child
// below a goal is cut off before it is finished. With i of the lifted items placed, every child
// below is worth at least
//   S_i + max(0, left - F_i, targets left - Z_i) + max(0, a_i - F', t_i - Z'),
// the middle term for the items still to place (each one that cannot land on a stack without
// targets lands above one, and counts in the child's S), the last the child's own one-ply term
// with F' and Z' its free slots and open stacks without targets, which are at most those of the
// partial board plus the stack being emptied (which takes no items now). Placing items only
// raises S, a and t and only lowers F and Z, so the figures taken part way bound every child.
class PlacementBound {
 public:
  // lifted_targets[i]: the targets among lifted items i .. lifted - 1.
  PlacementBound(int lifted, int from, int const* lifted_targets)
      : lifted_(lifted), from_(from), lifted_targets_(lifted_targets) {}

  // The bound on every child below the placement of the first `placed_count` items, the last
  // of them put on stack `last`. Called in the order of a depth-first walk: for placed_count
  // i > 0 the figures of i - 1 are those of the same walk.
  int after(WorkingBoard const& placed, int placed_count, int last);
  // The bound on the child of a finished placement (after() called with every item placed).
  int child() const { return at_[lifted_].above + child_term(at_[lifted_]); }

 private:
  struct Figures {
    int above = 0;      // S
    int free = 0;       // F, the stack being emptied left out
    int open = 0;       // Z, likewise
    int deepest = 0;    // a
    int most_held = 0;  // t: the most targets above the lowest of one stack
  };
  int child_term(Figures const& f) const {
    return std::max({0, f.deepest - f.free - free_from_, f.most_held - f.open - open_from_});
  }

  int lifted_;
  int from_;
  int const* lifted_targets_;
  int free_from_ = 0;
  int open_from_ = 0;
  Figures at_[kMaxPackedHeight + 1];  // by items placed
};

// Inline: it runs at every item of every placement walked, the search's innermost loop.
inline int PlacementBound::after(WorkingBoard const& placed, int i, int last) {
  Figures& f = at_[i];
  if (i == 0) {
    f = {items_above_lowest_targets(placed), free_slots_without_targets(placed, from_),
         open_stacks_without_targets(placed, from_), deepest_above_lowest_target(placed),
         most_targets_above_lowest(placed)};
    bool const emptied = placed.targets(from_) == 0;
    free_from_ = emptied ? placed.free_slots(from_) : 0;
    open_from_ = emptied && !placed.full(from_) ? 1 : 0;
  } else {
    f = at_[i - 1];
    int const top = placed.level[last] - 1;
    std::uint32_t const below = placed.targets(last) & ((1u << top) - 1);
    if (below != 0) {
      ++f.above;  // the item landed above a target
      if (placed.item_at(last, top) == kTarget) {
        f.most_held = std::max(f.most_held, std::popcount(below));
      }
    } else if (placed.item_at(last, top) == kOther) {
      --f.free;  // an other item took a slot where it adds nothing
      if (placed.full(last)) --f.open;
    } else {
      f.free -= placed.height - top;  // a target: the stack no longer counts as free
      --f.open;
    }
    f.deepest = std::max(f.deepest, placed.above_lowest_target(last));
  }
  int const left = lifted_ - i;
  return f.above + std::max({0, left - f.free, lifted_targets_[i] - f.open}) + child_term(f);
}
