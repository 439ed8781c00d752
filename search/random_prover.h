// The queries of the random order on yards of retrieval groups over the proof search
// (search/proof/proof_search.h, search/games/random_game.h): exact expected values, since a proof
// that falls short of its goal finds the value, and the costs of requests.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <utility>
#include <vector>

#include "model/grouped_board.h"
#include "rules/moves.h"
#include "rules/retrieval.h"
#include "search/games/random_game.h"
#include "search/proof/proof_search.h"
#include "search/proof/shared_proof.h"
#include "search/stop_poll.h"

template <int W>
class RandomProver {
 public:
  using Key = GroupKey<W>;
  using Table = typename RandomGame<W>::Table;
  using Child = typename RandomGame<W>::Child;

  // tick is called once for every yard expanded; it may throw. sharing: the threads that
  // search the proofs of a value (null: this one alone); the table must then be shared.
  RandomProver(Table& table, std::function<void()> tick, ProofSharing* sharing = nullptr)
      : search_(table, RandomGame<W>(), std::move(tick)), sharing_(sharing) {}

  Moves value(GroupedBoard const& board) {
    Key const key = random_key_of<W>(board);
    if (GroupedRules::can_run_out_of_room(board, GroupedRules::items_on(board)) &&
        shared_at_least(board, key, Moves::no_placement()).holds) {
      return Moves::no_placement();
    }
    // Half a move at a time: each goal the value reaches leaves a lower bound in the table
    // (what a search that stops has proved), and the goal it falls short of finds the value.
    // Steps of half a move cost an exact search no more than whole ones (the work is the
    // exact evaluation, however it is reached) and leave a stopped search a lower bound up
    // to half a move closer. Helper threads prove the next step's goal: against this one,
    // they spread over the requests of means that the query's thread leaves once they reach
    // the goal (on a 6x4 yard of bench/grouped_set.py two threads took 29 s where one took
    // 33); a step ahead, their proofs are the next proof's.
    Moves lower = expected_lower_bound(board);
    if (auto const known = search_.table().find(key)) lower = std::max(lower, known->first);
    while (true) {
      Fraction const& v = lower.exact();
      Moves const goal(Fraction(numerator(v) * 2 / denominator(v) + 1, 2));
      auto const proof = shared_at_least(board, key, goal, Moves(goal.exact() + Fraction(1, 2)));
      if (!proof.holds) return proof.bound;
      lower = proof.bound;
    }
  }

  Moves request_cost(GroupedBoard const& board, int stack, int slot) {
    if (search_.request_reaches(board, stack, slot, Moves::no_placement()).holds) {
      return Moves::no_placement();
    }
    return exactly(search_.request_reaches(board, stack, slot, beyond(board)));
  }

  // The board after the first placement, in the order the search tries children (least lower
  // bound, then key), whose child is worth the request's cost less the items lifted.
  GroupedBoard best_answer(GroupedBoard const& board, int stack, int slot, Moves const& cost) {
    Retrieval<GroupedBoard> retrieval(board, stack, slot);
    int const lifted = retrieval.lifted_count();
    std::vector<std::pair<Child, GroupedBoard>> children;
    retrieval.walk(kSkipNothingButStop, [&](GroupedBoard const& placed) {
      children.push_back({{random_key_of<W>(placed), expected_lower_bound(placed)}, placed});
      return true;
    });
    std::stable_sort(children.begin(), children.end(), [](auto const& a, auto const& b) {
      return RandomGame<W>::before(a.first, b.first);
    });
    Moves const need = RandomGame<W>::minus(cost, lifted);
    // Every child is worth at least need: one falls short of a goal just above need, closer than
    // any other value it may have, only when it is worth need, and one worth more holds at once
    // or after a proof far from its value (against need + 1, that proof could be an exact
    // search: 6 of the 44 s of a 6x4 yard's value and line). The choice is checked on its
    // bound, whatever the goal.
    Moves const above = need.placed() ? Moves(need.exact() + finest_step(board) / 2) : need;
    for (auto const& [child, placed] : children) {
      if (need < child.bound) continue;
      if (!need.placed()) return placed;
      auto const proof = search_.at_least(child.key, above, child.bound);
      if (!proof.holds && proof.bound == need) return placed;
    }
    throw std::logic_error("no placement reaches the request's cost");
  }

  // What the table holds on the board's value, as (lower, upper); upper is no placement
  // unless the value is known.
  std::pair<Moves, Moves> proven(GroupedBoard const& board) const {
    auto const known = search_.table().find(random_key_of<W>(board));
    if (!known) return {0, Moves::no_placement()};
    return *known;
  }

  std::uint64_t expanded() const { return search_.expanded(); }

 private:
  // No two values of the board, nor of any board after it, are closer than this: every value
  // is a mean over the orders of the items of each group, 1 / (product of the groups' counts,
  // each factorial) apart, and the yard only loses items.
  static Fraction finest_step(GroupedBoard const& board) {
    std::vector<int> count(board.stays + 1, 0);
    for (int s = 0; s < board.n; ++s) {
      for (int j = 0; j < board.level[s]; ++j)
        ++count[board.cell[s][j]];
    }
    boost::multiprecision::cpp_int orders = 1;
    for (int g = 1; g < board.stays; ++g) {
      for (int k = 2; k <= count[g]; ++k)
        orders *= k;
    }
    return Fraction(boost::multiprecision::cpp_int(1), orders);
  }

  // A goal above every finite value of the board: a proof against it falls short, and finds
  // the value.
  static Moves beyond(GroupedBoard const& board) {
    return Moves(GroupedRules::largest_finite_value(board) + 1);
  }
  static Moves exactly(BasicProof<Moves> const& proof) {
    if (proof.holds) throw std::logic_error("a finite value reached a goal above every one");
    return proof.bound;
  }

  // helpers_goal: what helper threads prove meanwhile (none: goal).
  BasicProof<Moves> shared_at_least(GroupedBoard const& board, Key const& key, Moves const& goal,
                                    std::optional<Moves> const& helpers_goal = std::nullopt) {
    if (!sharing_) return search_.at_least(board, key, goal);
    return sharing_->at_least(search_, board, key, goal,
                              Moves(ProofSearch<RandomGame<W>>::kNoBound), helpers_goal);
  }

  ProofSearch<RandomGame<W>> search_;
  ProofSharing* sharing_;
};
