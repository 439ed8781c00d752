// The queries of the worst and best orders on yards of retrieval groups over the proof search
// (search/proof/proof_search.h, search/games/grouped_game.h): exact values, found by raising the
// goal from a lower bound until a proof fails, and the costs of requests.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "model/grouped_board.h"
#include "rules/no_placement.h"
#include "rules/within.h"
#include "search/bounds/group_bound.h"
#include "search/games/grouped_game.h"
#include "search/proof/proof_search.h"
#include "search/proof/shared_proof.h"

template <int W>
class GroupedProver {
 public:
  using Key = GroupKey<W>;
  using Table = typename GroupedGame<W>::Table;

  // within: worst or best. tick is called once for every yard expanded; it may throw.
  // sharing: the threads that search the proofs of a value (null: this one alone).
  GroupedProver(Table& table, Within within, std::function<void()> tick,
                ProofSharing* sharing = nullptr)
      : search_(table, GroupedGame<W>(within), std::move(tick)), sharing_(sharing) {}

  Proof at_least(GroupedBoard const& board, int goal) {
    return search_.at_least(board, key_of<W>(board), goal);
  }
  Proof request_at_least(GroupedBoard const& board, int stack, int slot, int goal) {
    if (goal <= 0) return {true, 0};
    return search_.request_reaches(board, stack, slot, goal);
  }

  int value(GroupedBoard const& board) {
    Key const key = key_of<W>(board);
    if (GroupedRules::can_run_out_of_room(board, GroupedRules::items_on(board)) &&
        shared_at_least(board, key, kNoPlacement).holds) {
      return kNoPlacement;
    }
    int v = group_lower_bound(board, within());
    if (std::optional<Bounds> const known = search_.table().find(key))
      v = std::max(v, value_of(known->lower));
    return raise_while_holds(v, GroupedRules::largest_finite_value(board),
                             [&](int goal) { return shared_at_least(board, key, goal); });
  }

  int request_cost(GroupedBoard const& board, int stack, int slot) {
    if (search_.request_reaches(board, stack, slot, kNoPlacement).holds) return kNoPlacement;
    bool const strict = search_.game().strict();
    int const v = request_bound(board, stack, slot, blocked_items(board, strict), strict);
    return raise_while_holds(v, GroupedRules::largest_finite_value(board), [&](int goal) {
      return search_.request_reaches(board, stack, slot, goal);
    });
  }

  std::uint64_t expanded() const { return search_.expanded(); }

 private:
  Within within() const { return search_.game().within(); }
  Proof shared_at_least(GroupedBoard const& board, Key const& key, int goal) {
    if (!sharing_) return search_.at_least(board, key, goal);
    return sharing_->at_least(search_, board, key, goal, -1);
  }

  ProofSearch<GroupedGame<W>> search_;
  ProofSharing* sharing_;
};
