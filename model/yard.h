// A yard whose items leave in retrieval groups: group 1 first, then group 2, and so on; inside
// a group the order is the business of the rules (see rules/within.h). Items of no group stay.
//
// Cells: 0 empty, g in 1 .. groups an item of group g, groups + 1 an item that stays. Since an
// item that stays leaves after every group, it blocks like an item of a last group that is
// never asked for, and the order of cell values is the order of leaving. A two-class board
// (State) is the yard of one group with the same cells: 1 target, 2 other item.
#pragma once

#include <string>
#include <vector>

#include "model/state.h"

// Group numbers above this are refused, so that groups + 1 and sums of cells never overflow.
inline constexpr int kMaxGroupNumber = 1000000;

struct Yard {
  int n_stacks = 0;
  int height = 0;  // capacity of every stack
  int groups = 0;  // groups are numbered 1 .. groups; some may hold no item
  // n_stacks stacks, leftmost first, each of `height` cells, bottom first.
  std::vector<std::vector<int>> stacks;

  int stays() const { return groups + 1; }
  // Items of groups 1 .. groups, that is items that will be asked for.
  int items_to_retrieve() const;
  int items() const;
  // Stacks in canonical order: ascending lexicographic order of their cells, slot 0 first.
  void sort_stacks();

  bool operator==(Yard const&) const = default;
};

// The two-class board as a yard of one group: targets are group 1, other items stay.
Yard yard_of(State const& board);

// The two-class board of a yard of one group (targets group 1, other items those that stay).
State state_of(Yard const& yard);

// Empty when the yard is well formed: stacks of `height` cells, no item above an empty slot,
// every cell in 0 .. groups + 1, groups in 0 .. kMaxGroupNumber. Otherwise why not, in words
// fit for a user.
std::string yard_problem(Yard const& yard);
