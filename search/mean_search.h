// Exact expected values on yards of retrieval groups in the random order: every item of the
// current group still in the yard is equally likely to be asked for next, and the retrieving
// side minimises the expected number of moves. A mean needs every request's exact cost, so
// every yard met between two requests is solved exactly and stored; the retrieving side's
// minimum is where the search is cut: placements are tried cheapest-looking first, and those
// whose lower bound cannot beat the best found so far are never solved.
#pragma once

#include <algorithm>
#include <boost/unordered/unordered_flat_map.hpp>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "model/grouped_board.h"
#include "rules/moves.h"
#include "rules/retrieval.h"
#include "search/bound_table.h"
#include "search/group_bound.h"

template <int W>
class MeanSearch {
 public:
  using Key = GroupKey<W>;
  // One slot: the key (8 W bytes), then the value: a flag and a cpp_rational, whose small
  // numerators and denominators live inline.
  using Map = boost::unordered_flat_map<Key, Moves, GroupKeyHash<W>>;

  // max_bytes 0: no budget. tick is called once for every yard solved; it may throw.
  MeanSearch(std::size_t max_bytes, std::function<void()> tick)
      : max_bytes_(max_bytes), tick_(std::move(tick)) {}

  Moves value(GroupedBoard const& board) { return value(board, key_of<W>(board)); }

  Moves request_cost(GroupedBoard const& board, int stack, int slot) {
    Retrieval<GroupedBoard> retrieval(board, stack, slot);
    if (!retrieval.fits()) return Moves::no_placement();
    // Every placement lifts the same items, so the cheapest child decides; children solved
    // already set the bar that the others' lower bounds must get under to be solved at all.
    Moves best = Moves::no_placement();
    std::vector<Child> children;
    retrieval.walk(kSkipNothing, [&](GroupedBoard const& placed) {
      Key const key = key_of<W>(placed);
      if (auto it = map_.find(key); it != map_.end()) {
        if (it->second < best) best = it->second;
      } else {
        children.push_back({key, group_lower_bound(placed, Within::random)});
      }
      return true;
    });
    std::sort(children.begin(), children.end(), [](Child const& a, Child const& b) {
      return a.bound != b.bound ? a.bound < b.bound : a.key.word < b.key.word;
    });
    for (std::size_t c = 0; c < children.size(); ++c) {
      if (!(Moves(children[c].bound) < best)) break;
      if (c > 0 && children[c].key == children[c - 1].key) continue;
      Moves v = value(board_of<W>(children[c].key), children[c].key);
      if (v < best) best = std::move(v);
    }
    return retrieval.lifted_count() + best;
  }

  // The board's exact value, if it has been solved.
  Moves const* known(GroupedBoard const& board) const {
    auto it = map_.find(key_of<W>(board));
    return it == map_.end() ? nullptr : &it->second;
  }
  std::size_t stored() const { return map_.size(); }
  std::uint64_t expanded() const { return expanded_; }

 private:
  struct Child {
    Key key;
    int bound;
  };

  Moves value(GroupedBoard const& board, Key const& key) {
    if (auto it = map_.find(key); it != map_.end()) return it->second;
    ++expanded_;
    tick_();
    int const group = current_group(board);
    Moves result = 0;
    if (group != 0) {
      Fraction sum = 0;
      int count = 0;
      bool placed = true;
      for (int s = 0; s < board.n && placed; ++s) {
        // An equal neighbour (the board is canonical) has requests of equal cost.
        int twins = 1;
        while (s + twins < board.n && board.same_stack(s, s + twins))
          ++twins;
        for (int j = 0; j < board.level[s] && placed; ++j) {
          if (board.cell[s][j] != group) continue;
          Moves const cost = request_cost(board, s, j);
          placed = cost.placed();
          if (placed) sum += cost.exact() * twins;
          count += twins;
        }
        s += twins - 1;
      }
      result = placed ? Moves(Fraction(sum / count)) : Moves::no_placement();
    }
    if (max_bytes_ != 0 && map_.size() >= map_.max_load() &&
        (map_.bucket_count() * 3 + 32) * (sizeof(typename Map::value_type) + 1) > max_bytes_) {
      throw BudgetExceeded{};
    }
    map_.emplace(key, result);
    return result;
  }

  std::size_t max_bytes_;
  std::function<void()> tick_;
  Map map_;
  std::uint64_t expanded_ = 0;
};
