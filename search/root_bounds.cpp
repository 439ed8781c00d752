#include "search/root_bounds.h"

#include "model/working_board.h"
#include "search/bounds/expected_bound.h"
#include "search/bounds/group_bound.h"
#include "search/bounds/known_order_bound.h"
#include "search/bounds/lower_bound.h"
#include "search/stop_poll.h"

namespace {

// Thrown when the rule's share of time is up.
struct RuleOutOfTime {};

Moves stored_moves(std::uint16_t stored) {
  return stored == Bounds::kNoValue ? Moves::no_placement() : Moves(static_cast<int>(stored));
}

// The tighter of two bounds of the same side.
Moves larger(Moves const& a, Moves const& b) {
  return a < b ? b : a;
}
Moves smaller(Moves const& a, Moves const& b) {
  return b < a ? b : a;
}

}  // namespace

void RootBounds::set(PackedBoard const& board) {
  if (root_ && root_->two_class && root_->packed == board) return;
  DenseYard const dense = dense_yard(yard_of(unpack(board)));
  root_ = Root{.packed = board, .grouped = dense.board};
}

void RootBounds::set(GroupedBoard const& board, Within within) {
  if (root_ && !root_->two_class && root_->within == within &&
      key_of<32>(root_->grouped) == key_of<32>(board)) {
    return;
  }
  root_ = Root{.two_class = false, .grouped = board, .within = within};
  // In the best order the rule's cost is a search of one request a board, in reach anyway.
  if (within != Within::best) root_->merge_from = current_group(board);
}

void RootBounds::ensure_rule(PackedBoundTable& table, GroupedSearch* search, std::size_t max_bytes,
                             Clock::time_point until, bool with_look_ahead) {
  if (!root_ || rules_done() || (root_->rule && !with_look_ahead)) return;
  bool const merges = merges_left();
  if (!root_->rule_costs) {
    root_->rule_costs = std::make_shared<RuleCosts>(root_->grouped, root_->within, max_bytes);
  }
  // The query's own limits, and the rule's share of time.
  std::function<void()> const* const outer = StopPoll::current();
  std::function<void()> const check = [outer, until] {
    if (Clock::now() >= until) throw RuleOutOfTime{};
    if (outer) (*outer)();
  };
  bool const looking_ahead = root_->rule.has_value();
  std::optional<Moves> cost;
  {
    StopPoll::Scope const polling(&check);
    try {
      if (merges) {
        cost = merged_cost(max_bytes);
      } else {
        cost = looking_ahead ? root_->rule_costs->look_ahead_cost(root_->grouped)
                             : root_->rule_costs->cost(root_->grouped);
      }
    } catch (RuleOutOfTime const&) {
      return;
    }
  }
  if (merges) {
    // Its line is kept, not its table: one merged rule's table is alive at a time, and none
    // beside the rule's own, so that together they keep within max_bytes.
    if (cost && cost->placed() && (!root_->merged || *cost < *root_->merged)) {
      root_->merged = *cost;
      root_->merged_line = root_->merging->line();
      tell(table, search, *cost);
    }
    root_->merging.reset();
    // A merged rule out of memory leaves none finer: the rule's own cost comes next.
    root_->merge_from = cost ? root_->merge_from + 1 : root_->grouped.stays - 1;
    ensure_rule(table, search, max_bytes, until, with_look_ahead);
    return;
  }
  if (!cost) {
    (looking_ahead ? root_->look_ahead_given_up : root_->rule_given_up) = true;
    return;
  }
  (looking_ahead ? root_->look_ahead : root_->rule) = *cost;
  tell(table, search, *cost);
  // The improved rule goes on in what is left of the share.
  if (with_look_ahead && !looking_ahead && !rules_done()) {
    ensure_rule(table, search, max_bytes, until);
  }
}

bool RootBounds::merges_left() const {
  return !root_->rule && root_->merge_from > 0 && root_->merge_from < root_->grouped.stays - 1;
}

std::optional<Moves> RootBounds::merged_cost(std::size_t max_bytes) {
  if (!root_->merging) {
    root_->merging = std::make_unique<MergedRuleCosts>(root_->grouped, root_->merge_from,
                                                       root_->within, max_bytes);
  }
  return root_->merging->cost();
}

void RootBounds::tell(PackedBoundTable& table, GroupedSearch* search, Moves const& cost) {
  if (!cost.placed()) return;
  // Telling the search only saves it work: a full table may refuse.
  try {
    if (root_->two_class) {
      table.cut_upper(root_->packed, cost.whole_moves());
    } else if (search) {
      search->limit_above(root_->grouped, cost);
    }
  } catch (BudgetExceeded const&) {
  }
}

bool RootBounds::rules_done() const {
  if (root_->rule_given_up) return true;
  if (!root_->rule) return false;
  // Not in the known order, where the search's own lines are better and the improved rule
  // would only take the search's time.
  bool const known_order = root_->within == Within::best && one_item_a_group(root_->grouped);
  return root_->look_ahead || root_->look_ahead_given_up || !root_->rule->placed() || known_order;
}

ValueBounds RootBounds::bounds(PackedBoundTable const& table, GroupedSearch const* search) const {
  if (root_->two_class) {
    ValueBounds b{moves_lower_bound(WorkingBoard(root_->packed)), rule_upper()};
    if (std::optional<Bounds> const known = table.find(root_->packed)) {
      b.lower = larger(b.lower, stored_moves(known->lower));
      b.upper = smaller(b.upper, stored_moves(known->upper));
    }
    return b;
  }
  Moves const cheap = root_->within == Within::random
                          ? expected_lower_bound(root_->grouped)
                          : Moves(group_lower_bound(root_->grouped, root_->within));
  ValueBounds b{cheap, rule_upper()};
  if (search) {
    auto const [lower, upper] = search->proven(root_->grouped);
    b.lower = larger(b.lower, lower);
    b.upper = smaller(b.upper, upper);
  }
  b.coarse_upper = merged_less() && b.upper == *root_->merged;
  return b;
}

bool RootBounds::looks_ahead() const {
  return root_->look_ahead && root_->rule && !(*root_->rule < *root_->look_ahead);
}

bool RootBounds::merged_less() const {
  if (!root_->merged) return false;
  Moves const own =
      looks_ahead() ? *root_->look_ahead : root_->rule.value_or(Moves::no_placement());
  return *root_->merged < own;
}

Moves RootBounds::rule_upper() const {
  if (merged_less()) return *root_->merged;
  if (looks_ahead()) return *root_->look_ahead;
  return root_->rule.value_or(Moves::no_placement());
}

std::optional<std::vector<RuleCosts::Step>> RootBounds::rule_line() const {
  if (!root_) return std::nullopt;
  if (merged_less()) return root_->merged_line;
  if (!root_->rule) return std::nullopt;
  return root_->rule_costs->line(root_->grouped, looks_ahead());
}
