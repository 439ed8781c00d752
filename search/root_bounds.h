// What is proven about the board a query looks for (the root), for progress reports and for
// the answer of a query that stopped: the search's own bounds on it, a cheap lower bound, and
// the cost of a fixed rule of placement (search/bounds/rule_cost.h) as an upper bound, with the
// rule's line as its witness; once that is known, the cost of the rule improved by looking
// ahead, and its line. In the worst and random orders, before the rule's own cost, the rule's
// costs on coarser yards (search/bounds/merged_rule_cost.h), from the coarsest up, so that a
// yard too large for the rule's own cost still gets a bound and a line. The rule's costs are worked
// out once a search has run for a while, in a share of the time it has left, and after a stop in a
// short grace; an exact answer does not wait for them.
#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

#include "model/grouped_board.h"
#include "model/packed_board.h"
#include "rules/moves.h"
#include "rules/within.h"
#include "search/answers.h"
#include "search/bounds/merged_rule_cost.h"
#include "search/bounds/rule_cost.h"
#include "search/grouped_search.h"
#include "search/proof/packed_bound_table.h"

class RootBounds {
 public:
  using Clock = std::chrono::steady_clock;

  // Makes the board the root; setting the same root again keeps what is known of it.
  void set(PackedBoard const& board);
  void set(GroupedBoard const& board, Within within);

  bool has_root() const { return root_.has_value(); }
  bool two_class() const { return root_->two_class; }
  GroupedBoard const& grouped() const { return root_->grouped; }
  Within within() const { return root_->within; }

  // Works out the rule's cost on the root until `until`, then the improved rule's, their
  // memory within max_bytes, and tells the search that holds the root (the two-class table, or
  // the grouped search, if any), so that proofs that the root is worth more end at once. Cut
  // short, it goes on from where it stopped when asked again; once its memory runs out, the
  // rule gives no bound (the improved rule none better). Throws what the query's limits throw.
  // with_look_ahead false: the rule's cost alone (the grace after a stop, so that what a short
  // search reports does not depend on how far the improved rule got in it).
  void ensure_rule(PackedBoundTable& table, GroupedSearch* search, std::size_t max_bytes,
                   Clock::time_point until, bool with_look_ahead = true);
  ValueBounds bounds(PackedBoundTable const& table, GroupedSearch const* search) const;
  // Whether the root had its grace after a stop, for the rule's cost.
  bool graced() const { return root_->graced; }
  void grace() { root_->graced = true; }
  // The rule's line from the root, when the rule's cost is known.
  std::optional<std::vector<RuleCosts::Step>> rule_line() const;

 private:
  // Whether the rules' costs are worked out as far as they will be.
  bool rules_done() const;
  // Whether the improved rule's cost is known and the lesser: the upper bound and line are its.
  bool looks_ahead() const;
  // Whether the merged rule's cost is known and less than the rule's and the improved rule's:
  // the upper bound and line are its.
  bool merged_less() const;
  // The rules' upper bound: the least cost known, or no placement for none.
  Moves rule_upper() const;
  // Whether merged rules are left to work out before the rule's own cost.
  bool merges_left() const;
  // The next merged rule's cost, its table within max_bytes; throws what the polls throw.
  std::optional<Moves> merged_cost(std::size_t max_bytes);
  // Tells the search that holds the root (the two-class table, or the grouped search) that the
  // root is worth no more than `cost`.
  void tell(PackedBoundTable& table, GroupedSearch* search, Moves const& cost);

  struct Root {
    bool two_class = true;
    PackedBoard packed{};
    GroupedBoard grouped{};
    Within within = Within::worst;
    std::optional<Moves> rule{};  // its cost, once known
    bool rule_given_up = false;
    std::optional<Moves> look_ahead{};  // the improved rule's cost, once known
    bool look_ahead_given_up = false;
    bool graced = false;
    std::shared_ptr<RuleCosts> rule_costs{};
    // The merged rules: the group merged from next (0 for none, the last group once none is
    // left), the one being worked out, and the least of the costs found with its line.
    int merge_from = 0;
    std::unique_ptr<MergedRuleCosts> merging{};
    std::optional<Moves> merged{};
    std::vector<RuleCosts::Step> merged_line{};
  };
  std::optional<Root> root_;
};
