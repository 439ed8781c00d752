// The two-class game's queries over the proof search (search/proof/proof_search.h): exact values,
// found by raising the goal from a lower bound until a proof fails, and the costs of requests.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "model/packed_board.h"
#include "search/games/two_class_game.h"
#include "search/proof/busy_boards.h"
#include "search/proof/packed_bound_table.h"
#include "search/proof/proof.h"
#include "search/proof/proof_search.h"
#include "search/proof/shared_proof.h"

class Prover {
 public:
  // tick is called once for every board the prover expands, so that callers can show
  // progress or keep time; it may throw to abandon the search. busy: set on the provers of
  // helper threads, which search the proofs of another prover over the same table.
  Prover(BoundTable& table, std::function<void()> tick, BusyBoards* busy = nullptr)
      : search_(table, TwoClassGame{}, std::move(tick), busy) {}

  // Whether the board (request phase, canonical) is worth at least goal; goal may be
  // kNoPlacement, asking whether some request can be made that nothing can serve.
  Proof at_least(PackedBoard const& board, int goal) { return search_.at_least(board, goal); }
  // Whether asking for the target at (stack, slot) of the board costs at least goal.
  Proof request_at_least(PackedBoard const& board, int stack, int slot, int goal);

  // Exact values, found by raising the goal from a lower bound until a proof fails.
  int value(PackedBoard const& board);
  int request_cost(PackedBoard const& board, int stack, int slot);

  std::uint64_t expanded() const { return search_.expanded(); }

  // The value as value() finds it, each proof about the board itself made by prove(goal).
  int value(PackedBoard const& board, std::function<Proof(int goal)> const& prove);
  // Whether the board is decided for goal without trying its requests: by the table or the
  // cheap bound.
  std::optional<Proof> decided(PackedBoard const& board, int goal);
  // Marks what it searches in `busy` from now on, for helpers to keep out of, or nothing
  // (nullptr); it keeps to its own order whatever they do.
  void share(BusyBoards* busy) { search_.share(busy); }
  // at_least with helper threads searching the same proof beside this one (see ProofSharing).
  Proof shared_at_least(ProofSharing& sharing, PackedBoard const& board, int goal) {
    return sharing.at_least(search_, WorkingBoard(board), board, goal, -1);
  }

 private:
  ProofSearch<TwoClassGame> search_;
};
