// Null-window proofs over boards in the request phase: "is this board worth at least g moves?"
// answered with the bounds already known, a cheap lower bound, and a search in which the
// requesting side needs one request that holds and the retrieving side one placement that
// refutes it. Only request-phase boards are stored; retrievals are expanded where they are met.
#pragma once

#include <atomic>
#include <cstdint>
#include <exception>
#include <mutex>
#include <optional>
#include <deque>
#include <functional>
#include <vector>

#include "model/packed_board.h"
#include "model/working_board.h"
#include "search/packed_bound_table.h"
#include "search/proof.h"

// The requests of one board that several threads try at once, for one goal: each takes the
// next untried one, and all stop once one holds.
struct SharedRequests {
  std::atomic<int> next{0};
  std::atomic<bool> held{false};
  std::atomic<int> held_bound{0};
  std::atomic<int> upper{0};  // the most any request that fell short was shown to cost
  std::mutex failure_mutex;
  std::exception_ptr failure;  // why a thread gave up a request it had taken
};

class Prover {
 public:
  // tick is called once for every board the prover expands, so that callers can show
  // progress or keep time; it may throw to abandon the search.
  Prover(BoundTable& table, std::function<void()> tick) : table_(table), tick_(std::move(tick)) {}

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
  // This thread's share of trying the board's requests for goal (see SharedRequests); a
  // request abandoned because another held is not counted, one this thread could not finish
  // leaves its reason in `shared.failure`.
  void try_shared(PackedBoard const& board, int goal, SharedRequests& shared);


 private:
  struct Child {
    PackedBoard board;
    int bound;  // lower bound on its value
  };

  Proof request_reaches(WorkingBoard const& board, int stack, int slot, int goal);
  std::vector<Child>& children_buffer();

  BoundTable& table_;
  std::function<void()> tick_;
  std::uint64_t expanded_ = 0;
  std::atomic<bool> const* abandon_ = nullptr;  // set: the shared request at hand is moot
  // One buffer of children for every retrieval being searched, deepest last; a deque, so
  // that growing it for a deeper search leaves the buffers of the searches above in place.
  std::deque<std::vector<Child>> buffers_;
  std::size_t depth_ = 0;
};
