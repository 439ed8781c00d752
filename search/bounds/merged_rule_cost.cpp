#include "search/bounds/merged_rule_cost.h"

#include <algorithm>
#include <stdexcept>

#include "rules/retrieval.h"
#include "search/bounds/group_bound.h"

GroupedBoard merge_groups_from(GroupedBoard const& board, int group) {
  GroupedBoard merged(board.n, board.height, group + 1);
  for (int s = 0; s < board.n; ++s) {
    for (int j = 0; j < board.level[s]; ++j) {
      int const cell = board.cell[s][j];
      merged.push(s, cell == board.stays ? group + 1 : std::min(cell, group));
    }
  }
  return merged;
}

namespace {

// The board after the request at (stack, slot), its lifted items placed where the rule puts
// them on the merged board in canonical order: the board the rule's costs were worked out on,
// whose order of stacks breaks the rule's ties.
GroupedBoard place_as_merged(GroupedBoard const& board, int from, Within within, int stack,
                             int slot) {
  GroupedBoard const merged = merge_groups_from(board, from);
  auto const order = merged.canonical_order();  // the sorted board's stack i is order[i]
  GroupedBoard sorted = canonical(merged);
  int at = 0;
  while (order[at] != stack)
    ++at;
  GroupedBoard placed = board;
  int lifted[kMaxGroupedHeight];
  int lifted_merged[kMaxGroupedHeight];
  int const count = placed.take(stack, slot, lifted);
  sorted.take(at, slot, lifted_merged);
  for (int i = 0; i < count; ++i) {
    int const d = stack_by_rule(sorted, lifted_merged[i], at, within);
    sorted.push(d, lifted_merged[i]);
    placed.push(order[d], lifted[i]);
  }
  return placed;
}

}  // namespace

MergedRuleCosts::MergedRuleCosts(GroupedBoard const& board, int from, Within within,
                                 std::size_t max_bytes)
    : board_(board),
      from_(from),
      within_(within),
      costs_(merge_groups_from(board, from), within, max_bytes,
             within == Within::random ? from : 0) {
  if (from < 1 || from >= board.stays) throw std::invalid_argument("no such group to merge from");
}

std::optional<Moves> MergedRuleCosts::cost() {
  return costs_.cost(merge_groups_from(board_, from_));
}

std::vector<RuleCosts::Step> MergedRuleCosts::line() {
  std::vector<RuleCosts::Step> steps;
  GroupedBoard current = canonical(board_);
  while (int const group = current_group(current)) {
    std::optional<RuleCosts::Step> chosen;
    for (int s = 0; s < current.n; ++s) {
      for (int j = 0; j < current.level[s]; ++j) {
        if (current.cell[s][j] != group) continue;
        Retrieval<GroupedBoard> const retrieval(current, s, j);
        RuleCosts::Step step{
            s, j, Moves::no_placement(), retrieval.lifted_count(), retrieval.fits(), current};
        if (step.placed) {
          step.after = canonical(place_as_merged(current, from_, within_, s, j));
          // Every board the yard's requests reach is one the merged costs went through.
          std::optional<Moves> const rest = costs_.cost(merge_groups_from(step.after, from_));
          if (!rest) throw std::logic_error("the merged rule's line asked past its costs");
          step.cost = step.lifted + *rest;
        }
        if (!chosen || chosen->cost < step.cost) chosen = std::move(step);
      }
    }
    steps.push_back(*chosen);
    if (!chosen->placed) break;
    current = chosen->after;
  }
  return steps;
}
