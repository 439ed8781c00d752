// What is proven about the board a query looks for (the root), for progress reports and for
// the answer of a query that stopped: the search's own bounds on it, a cheap lower bound, and
// the cost of a fixed rule of placement (search/rule_cost.h) as an upper bound, worked out
// once, and only when a bound is wanted: an exact answer does not wait for it.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "model/grouped_board.h"
#include "model/packed_board.h"
#include "rules/moves.h"
#include "rules/within.h"
#include "search/answers.h"
#include "search/grouped_search.h"
#include "search/packed_bound_table.h"
#include "search/rule_cost.h"

class RootBounds {
 public:
  // Makes the board the root; setting the same root again keeps what is known of it.
  void set(PackedBoard const& board);
  void set(GroupedBoard const& board, Within within);

  bool has_root() const { return root_.has_value(); }
  bool two_class() const { return root_->two_class; }
  GroupedBoard const& grouped() const { return root_->grouped; }
  Within within() const { return root_->within; }

  // Works out the rule's cost on the root, or the plain bound when its search outgrows its
  // table, once; and tells the search that holds the root (the two-class table, or the grouped
  // search, if any), so that proofs that the root is worth more end at once. May take memory.
  void ensure_rule(PackedBoundTable& table, GroupedSearch* search);
  ValueBounds bounds(PackedBoundTable const& table, GroupedSearch const* search) const;
  // The rule's line from the root, once ensure_rule has run; nothing when its table outgrew
  // its size.
  std::optional<std::vector<RuleCosts::Step>> rule_line() const;

 private:
  struct Root {
    bool two_class = true;
    PackedBoard packed{};
    GroupedBoard grouped;
    Within within = Within::worst;
    Moves rule = Moves::no_placement();
    std::shared_ptr<RuleCosts> rule_costs;
  };
  std::optional<Root> root_;
};
