// Null-window proofs over boards in the request phase: "is this board worth at least g moves?"
// answered with the bounds already known, a cheap lower bound, and a search in which the
// requesting side needs one request that holds and the retrieving side one placement that
// refutes it. Only request-phase boards are stored; retrievals are expanded where they are met.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "model/packed_board.h"
#include "model/working_board.h"
#include "rules/no_placement.h"
#include "search/busy_boards.h"
#include "search/packed_bound_table.h"
#include "search/proof.h"

class Prover {
 public:
  // tick is called once for every board the prover expands, so that callers can show
  // progress or keep time; it may throw to abandon the search. busy: set on the provers of
  // helper threads, which search the proofs of another prover over the same table.
  Prover(BoundTable& table, std::function<void()> tick, BusyBoards* busy = nullptr)
      : table_(table), tick_(std::move(tick)), busy_(busy), helping_(busy != nullptr) {}

  // Whether the board (request phase, canonical) is worth at least goal; goal may be
  // kNoPlacement, asking whether some request can be made that nothing can serve.
  Proof at_least(PackedBoard const& board, int goal);
  // Whether asking for the target at (stack, slot) of the board costs at least goal.
  Proof request_at_least(PackedBoard const& board, int stack, int slot, int goal);

  // Exact values, found by raising the goal from a lower bound until a proof fails.
  int value(PackedBoard const& board);
  int request_cost(PackedBoard const& board, int stack, int slot);

  std::uint64_t expanded() const { return expanded_; }

  // The value as value() finds it, each proof about the board itself made by prove(goal).
  int value(PackedBoard const& board, std::function<Proof(int goal)> const& prove);
  // Whether the board is decided for goal without trying its requests: by the table or the
  // cheap bound.
  std::optional<Proof> decided(PackedBoard const& board, int goal);
  // Marks what it searches in `busy` from now on, for helpers to keep out of, or nothing
  // (nullptr); it keeps to its own order whatever they do.
  void share(BusyBoards* busy) { busy_ = busy; }

 private:
  struct Child {
    PackedBoard board;
    int bound;  // lower bound on its value
  };

  // How far the search of a request's placements got.
  struct Outcome {
    int least = kNoPlacement;    // the least any placement cut off or searched is worth
    std::optional<int> refuted;  // what the refuting child is worth at most
  };

  // The two halves of decided(): the table's bounds (goal 0 included), and the cheap bounds
  // and the settled value, which need the board decoded.
  std::optional<Proof> decided_by_table(PackedBoard const& board, int goal) const;
  static std::optional<Proof> decided_by_bounds(WorkingBoard const& w, int goal);
  Proof request_reaches(WorkingBoard const& board, int stack, int slot, int goal);
  // Takes the child's bounds from the table: whether it is worth need or more, whether it
  // refutes, or else puts it among the children to search; false once it refutes.
  bool look_up(Child const& child, int need, std::vector<Child>& children, Outcome& out);
  // Searches the children, cheapest-looking first, until one refutes.
  void search_children(std::vector<Child>& children, int need, Outcome& out);
  std::vector<Child>& children_buffer();

  BoundTable& table_;
  std::function<void()> tick_;
  std::uint64_t expanded_ = 0;
  BusyBoards* busy_;
  bool helping_;  // puts off what other threads are in
  // One buffer of children for every retrieval being searched, deepest last; a deque, so
  // that growing it for a deeper search leaves the buffers of the searches above in place.
  std::deque<std::vector<Child>> buffers_;
  std::size_t depth_ = 0;
};
