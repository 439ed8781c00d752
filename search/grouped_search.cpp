#include "search/grouped_search.h"

#include <algorithm>
#include <boost/unordered/unordered_flat_map.hpp>
#include <climits>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>

#include "search/best_order_beam.h"
#include "search/grouped_prover.h"
#include "search/known_order_search.h"
#include "search/random_prover.h"
#include "search/stop_poll.h"

namespace {

// The retrieving side's answer in a line: the first child, in the order the search tries
// children (least lower bound first, then by landing misfit in the worst order, then by key),
// that reaches the request's cost
// (`reaches`), trying bounds from the least up to `most`. The search that found the cost went
// through the children in this order, so the table already holds what each one before the
// answer is worth, and the answer's own proof; tried in another order, every child that is
// not best would cost a proof that holds, the dearest kind. One walk for each bound, keeping
// only the keys of that bound: a retrieval can have millions of placements.
template <int W, class Reaches>
GroupedBoard first_reaching(Retrieval<GroupedBoard>& retrieval, Within within, int most,
                            Reaches&& reaches) {
  int least = INT_MAX;
  GroupedBoard first;
  retrieval.walk(kSkipNothingButStop, [&](GroupedBoard const& placed) {
    if (least == INT_MAX) first = placed;
    least = std::min(least, group_lower_bound(placed, within));
    return true;
  });
  if (most == kNoPlacement) return first;
  LandingMisfits misfits;
  auto const track = [&](GroupedBoard const& placed, int i, int last) {
    StopPoll::poll();
    if (within == Within::worst) misfits.placed(placed, i, last);
    return false;
  };
  for (int bound = least; bound <= most; ++bound) {
    std::vector<std::pair<int, GroupKey<W>>> keys;  // misfit (0 in the best order), key
    retrieval.walk(track, [&](GroupedBoard const& placed) {
      if (group_lower_bound(placed, within) == bound)
        keys.emplace_back(misfits.of(retrieval.lifted_count()), key_of<W>(placed));
      return true;
    });
    std::sort(keys.begin(), keys.end(), [](auto const& a, auto const& b) {
      return a.first != b.first ? a.first < b.first : a.second.word < b.second.word;
    });
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
    for (auto const& [misfit, key] : keys) {
      GroupedBoard const child = board_of<W>(key);
      if (reaches(child)) return child;
    }
  }
  throw std::logic_error("no placement reaches the request's cost");
}

Moves stored_moves(std::uint16_t stored) {
  return stored == Bounds::kNoValue ? Moves::no_placement() : Moves(static_cast<int>(stored));
}

// Worst and best orders: whole numbers, proved with null windows.
template <int W>
class ProvedSearch : public GroupedSearch {
 public:
  ProvedSearch(Within within, std::size_t max_bytes, std::function<void()> tick,
               ProofSharing* sharing, std::uint64_t beams_after)
      : within_(within),
        beams_after_(beams_after),
        table_(max_bytes, sharing && sharing->threads() > 1),
        prover_(table_, within, std::move(tick), sharing) {}

  // In the best order, beams are drawn from within the proofs (see best_order_beam.h): their
  // lines bound the value from above, and each board on them, so that proofs that a board is
  // worth more end at once; and the cheapest is the line of a search that stops.
  Moves value(GroupedBoard const& board) override {
    if (within_ != Within::best || !always_fits(board)) return prover_.value(board);
    BeamSchedule const beams(board.n, beams_after_, [&](int width) { draw_beam(board, width); });
    return prover_.value(board);
  }
  Moves request_cost(GroupedBoard const& board, int stack, int slot) override {
    return prover_.request_cost(board, stack, slot);
  }
  bool request_reaches(GroupedBoard const& board, int stack, int slot, Moves const& goal) override {
    return prover_.request_at_least(board, stack, slot, goal.whole_moves()).holds;
  }
  GroupedBoard best_answer(GroupedBoard const& board, int stack, int slot,
                           Moves const& cost) override {
    Retrieval<GroupedBoard> retrieval(board, stack, slot);
    int const lifted = retrieval.lifted_count();
    int const goal = cost.whole_moves();
    int const most = goal == kNoPlacement ? kNoPlacement : goal - lifted;
    return first_reaching<W>(retrieval, within_, most, [&](GroupedBoard const& placed) {
      return !prover_.at_least(placed, goal - lifted + 1).holds;
    });
  }
  std::pair<Moves, Moves> proven(GroupedBoard const& board) const override {
    std::optional<Bounds> const known = table_.find(key_of<W>(board));
    if (!known) return {0, Moves::no_placement()};
    return {stored_moves(known->lower), stored_moves(known->upper)};
  }
  void limit_above(GroupedBoard const& board, Moves const& upper) override {
    if (upper.placed()) table_.cut_upper(key_of<W>(board), upper.whole_moves());
  }
  // The cheapest beam's line, when it gives the upper bound the table holds.
  std::optional<std::vector<RuleCosts::Step>> witness(GroupedBoard const& board) override {
    auto const it = lines_.find(key_of<W>(board));
    if (it == lines_.end() || proven(board).second != Moves(it->second.cost)) return std::nullopt;
    return it->second.steps;
  }
  std::uint64_t stored() const override { return table_.size(); }
  std::uint64_t expanded() const override { return prover_.expanded(); }

 private:
  void draw_beam(GroupedBoard const& board, int width) {
    auto line = BestOrderBeam<W>::run(board, width);
    auto const [it, first] = lines_.try_emplace(key_of<W>(board));
    if (!first && it->second.cost <= line.cost) return;
    GroupedBoard before = canonical(board);
    for (RuleCosts::Step const& step : line.steps) {
      table_.cut_upper(key_of<W>(before), step.cost.whole_moves());
      before = step.after;
    }
    it->second = std::move(line);
  }

  Within within_;
  std::uint64_t beams_after_;
  typename GroupedProver<W>::Table table_;
  GroupedProver<W> prover_;
  // The cheapest beam's line from each board whose value was asked for.
  boost::unordered_flat_map<GroupKey<W>, typename BestOrderBeam<W>::Line, GroupKeyHash<W>> lines_;
};

// Random order: exact fractions.
template <int W>
class MeanValueSearch : public GroupedSearch {
 public:
  MeanValueSearch(std::size_t max_bytes, std::function<void()> tick, ProofSharing* sharing)
      : table_(max_bytes, sharing && sharing->threads() > 1),
        prover_(table_, std::move(tick), sharing) {}

  Moves value(GroupedBoard const& board) override { return prover_.value(board); }
  Moves request_cost(GroupedBoard const& board, int stack, int slot) override {
    return prover_.request_cost(board, stack, slot);
  }
  GroupedBoard best_answer(GroupedBoard const& board, int stack, int slot,
                           Moves const& cost) override {
    return prover_.best_answer(board, stack, slot, cost);
  }
  std::pair<Moves, Moves> proven(GroupedBoard const& board) const override {
    return prover_.proven(board);
  }
  void limit_above(GroupedBoard const&, Moves const&) override {}
  std::uint64_t stored() const override { return table_.size(); }
  std::uint64_t expanded() const override { return prover_.expanded(); }

 private:
  typename RandomProver<W>::Table table_;
  RandomProver<W> prover_;
};

// make.template operator()<W>() for the fewest words W whose bits hold a key of `bits`; null
// past the widest key.
template <class Make>
std::unique_ptr<GroupedSearch> of_key_width(int bits, Make&& make) {
  if (bits <= 128) return make.template operator()<2>();
  if (bits <= 256) return make.template operator()<4>();
  if (bits <= 512) return make.template operator()<8>();
  if (bits <= 1024) return make.template operator()<16>();
  if (bits <= 2048) return make.template operator()<32>();
  return nullptr;
}

// Boards whose every group holds one item, with room for any request's lifted items, go to
// the known-order search in every order: with one item a group the requesting side has no
// choice, so the three orders are one game. Other boards go to the search of the order. Each
// search has its own table, of up to max_bytes.
template <int W>
class RoutedSearch : public GroupedSearch {
 public:
  // sharing: the threads that search a value query's proofs (null: the query's own alone).
  // mean_bits: the random order's key bits, which may take fewer words than W.
  RoutedSearch(Within within, std::size_t max_bytes, std::function<void()> tick,
               ProofSharing* sharing, std::uint64_t beams_after, int mean_bits)
      : tick_(std::move(tick)),
        table_(max_bytes, sharing && sharing->threads() > 1),
        known_(table_, tick_, sharing) {
    if (within == Within::random) {
      // Never past the widest key: the narrow header is the shorter.
      general_ = of_key_width(mean_bits, [&]<int V>() {
        return std::make_unique<MeanValueSearch<V>>(max_bytes, tick_, sharing);
      });
    } else {
      general_ = std::make_unique<ProvedSearch<W>>(within, max_bytes, tick_, sharing, beams_after);
    }
  }

  Moves value(GroupedBoard const& board) override {
    if (routed(board)) return known_.value(board);
    return general().value(board);
  }
  Moves request_cost(GroupedBoard const& board, int stack, int slot) override {
    if (routed(board) && board.cell[stack][slot] == current_group(board)) {
      return known_.value(board);
    }
    return general().request_cost(board, stack, slot);
  }
  bool request_reaches(GroupedBoard const& board, int stack, int slot, Moves const& goal) override {
    if (routed(board)) return GroupedSearch::request_reaches(board, stack, slot, goal);
    return general().request_reaches(board, stack, slot, goal);
  }
  GroupedBoard best_answer(GroupedBoard const& board, int stack, int slot,
                           Moves const& cost) override {
    if (routed(board)) return known_.best_answer(board, stack, slot, cost.whole_moves());
    return general().best_answer(board, stack, slot, cost);
  }
  std::pair<Moves, Moves> proven(GroupedBoard const& board) const override {
    if (routed(board)) {
      auto const [lower, upper] = known_.proven(board);
      return {lower, upper == INT_MAX ? Moves::no_placement() : Moves(upper)};
    }
    return general_->proven(board);
  }
  void limit_above(GroupedBoard const& board, Moves const& upper) override {
    if (!routed(board)) {
      general_->limit_above(board, upper);
    } else if (upper.placed()) {
      // The value is whole: a bound of p/q moves bounds it by the whole part.
      Fraction const& v = upper.exact();
      known_.limit_above(board, static_cast<int>(numerator(v) / denominator(v)));
    }
  }
  std::optional<std::vector<RuleCosts::Step>> witness(GroupedBoard const& board) override {
    return routed(board) ? known_.witness(board) : general_->witness(board);
  }
  std::uint64_t stored() const override { return table_.size() + general_->stored(); }
  std::uint64_t expanded() const override { return known_.expanded() + general_->expanded(); }

 private:
  static bool routed(GroupedBoard const& board) {
    return always_fits(board) && one_item_a_group(board);
  }
  GroupedSearch& general() { return *general_; }
  std::function<void()> tick_;
  typename KnownOrderSearch<W>::Table table_;
  KnownOrderSearch<W> known_;
  std::unique_ptr<GroupedSearch> general_;
};

}  // namespace

DenseYard dense_yard(Yard const& yard) {
  if (yard.n_stacks > kMaxGroupedStacks || yard.height > kMaxGroupedHeight) {
    throw std::invalid_argument("a yard of " + std::to_string(yard.n_stacks) +
                                (yard.n_stacks == 1 ? " stack of " : " stacks of ") +
                                std::to_string(yard.height) + " slots is too big: at most " +
                                std::to_string(kMaxGroupedStacks) + " stacks of " +
                                std::to_string(kMaxGroupedHeight) + " slots");
  }
  std::set<int> groups;
  for (auto const& stack : yard.stacks) {
    for (int cell : stack) {
      if (cell != kEmpty && cell != yard.stays()) groups.insert(cell);
    }
  }
  if (static_cast<int>(groups.size()) > kMaxDenseGroups) {
    throw std::invalid_argument("the yard has " + std::to_string(groups.size()) +
                                " groups with items: at most " + std::to_string(kMaxDenseGroups));
  }
  DenseYard dense;
  dense.yard_cell.push_back(kEmpty);
  dense.yard_cell.insert(dense.yard_cell.end(), groups.begin(), groups.end());
  dense.yard_cell.push_back(yard.stays());
  int const stays = static_cast<int>(groups.size()) + 1;
  dense.board = GroupedBoard(yard.n_stacks, yard.height, stays);
  for (int s = 0; s < yard.n_stacks; ++s) {
    for (int cell : yard.stacks[s]) {
      if (cell == kEmpty) break;
      int const d = cell == yard.stays()
                        ? stays
                        : 1 + static_cast<int>(std::distance(groups.begin(), groups.find(cell)));
      dense.board.push(s, d);
    }
  }
  return dense;
}

Yard yard_of(GroupedBoard const& board, DenseYard const& dense, int groups) {
  Yard yard{board.n, board.height, groups,
            std::vector<std::vector<int>>(board.n, std::vector<int>(board.height, kEmpty))};
  for (int s = 0; s < board.n; ++s) {
    for (int j = 0; j < board.level[s]; ++j)
      yard.stacks[s][j] = dense.yard_cell[board.cell[s][j]];
  }
  return yard;
}

std::unique_ptr<GroupedSearch> make_grouped_search(Within within, GroupedBoard const& shape,
                                                   std::size_t max_bytes,
                                                   std::function<void()> tick,
                                                   ProofSharing* sharing,
                                                   std::uint64_t beams_after) {
  int const bits = key_bits(shape.n, shape.height, shape.stays);
  int const mean_bits = key_bits(shape.n, shape.height, shape.stays, KeyHeader::narrow);
  auto search = of_key_width(bits, [&]<int W>() {
    return std::make_unique<RoutedSearch<W>>(within, max_bytes, std::move(tick), sharing,
                                             beams_after, mean_bits);
  });
  if (search) return search;
  throw std::invalid_argument("the yard is too big: " + std::to_string(shape.n) + " stacks x " +
                              std::to_string(shape.height) + " slots x " +
                              std::to_string(cell_bits(shape.stays)) +
                              " bits a cell is more than 2048 bits");
}
