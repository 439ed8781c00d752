// The searches on yards of retrieval groups behind one interface: null-window proofs for the
// worst and best orders, exact means for the random order, and for yards whose every group
// holds one item, in any order, the known-order search (search/known_order_search.h), each
// with keys as wide as the yard needs (see model/grouped_board.h). Also the translation between a
// user's Yard, whose group numbers may be any, and the dense cells the searches work on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "model/grouped_board.h"
#include "model/yard.h"
#include "rules/moves.h"
#include "rules/within.h"
#include "search/beam_schedule.h"
#include "search/bounds/rule_cost.h"
#include "search/proof/shared_proof.h"

// A yard with its groups renumbered 1, 2, ... in the order they leave, groups without items
// left out; the order of cells, and so every value, is unchanged.
struct DenseYard {
  GroupedBoard board;          // stacks in the yard's order
  std::vector<int> yard_cell;  // yard_cell[dense cell]: the yard's cell (0 for empty)
};

// Throws std::invalid_argument when the yard is too big for the searches.
DenseYard dense_yard(Yard const& yard);
// The yard of a board, with the yard's own cells back.
Yard yard_of(GroupedBoard const& board, DenseYard const& dense, int groups);

class GroupedSearch {
 public:
  virtual ~GroupedSearch() = default;
  virtual Moves value(GroupedBoard const& board) = 0;
  virtual Moves request_cost(GroupedBoard const& board, int stack, int slot) = 0;
  // Whether the request at (stack, slot) costs at least `goal` (whole moves, or no placement):
  // one proof, where request_cost raises its bound a move at a time. The worst and best orders
  // answer it so; the rest from the cost.
  virtual bool request_reaches(GroupedBoard const& board, int stack, int slot, Moves const& goal) {
    return request_cost(board, stack, slot) >= goal;
  }
  // The board after the first placement, in the order the search tries them, that reaches
  // `cost` (the request's cost). The lifted items must fit.
  virtual GroupedBoard best_answer(GroupedBoard const& board, int stack, int slot,
                                   Moves const& cost) = 0;
  // What the search has proved about the board's value so far, as (lower, upper); the upper
  // bound is no placement when nothing finite is proved. Exact once value() has answered.
  virtual std::pair<Moves, Moves> proven(GroupedBoard const& board) const = 0;
  // Takes note of an upper bound on the board's value proved elsewhere, so that proofs that
  // the board is worth more end at once. Searches that keep only exact values ignore it.
  virtual void limit_above(GroupedBoard const& board, Moves const& upper) = 0;
  // A line of play from the board whose moves cost no more than the upper bound proven(board)
  // gives, when the search found that bound itself; each step's cost is the bound from there.
  virtual std::optional<std::vector<RuleCosts::Step>> witness(GroupedBoard const&) {
    return std::nullopt;
  }
  virtual std::uint64_t stored() const = 0;
  virtual std::uint64_t expanded() const = 0;
};

// A search for boards shaped like `shape` (stacks, capacity, cells) in this order; its table
// may take max_bytes (0: no limit), and throws BudgetExceeded beyond. tick as for Prover.
// sharing: the threads that search a value query's proofs (null: the query's own alone).
// beams_after: the polls a value's proofs in the best order may take before the first beam is
// drawn (fewer only for tests, which draw it on small yards too).
std::unique_ptr<GroupedSearch> make_grouped_search(
    Within within, GroupedBoard const& shape, std::size_t max_bytes, std::function<void()> tick,
    ProofSharing* sharing = nullptr, std::uint64_t beams_after = BeamSchedule::kFirstAfter);
