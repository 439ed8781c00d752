#include "search/bounds/rule_cost.h"

#include <algorithm>
#include <array>
#include <boost/unordered/unordered_flat_map.hpp>
#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <tuple>
#include <utility>

#include "rules/retrieval.h"
#include "search/bounds/group_bound.h"
#include "search/grouped_search.h"
#include "search/proof/flat_map_shards.h"
#include "search/stop_poll.h"

namespace {

struct GaveUp {};

// Whether an item of cell `item` landing on a stack of least cell `least` counts as blocked.
bool blocked_landing(int item, int least, int stays, Within within) {
  return blocks_on(item, least, stays, within != Within::best);
}

}  // namespace

int stack_by_rule(GroupedBoard const& board, int item, int from, Within within) {
  int best = -1;
  bool best_free = false;
  for (int d = 0; d < board.n; ++d) {
    if (d == from || board.full(d)) continue;
    int const least = board.lowest(d) == kNoItem ? board.stays + 1 : board.lowest(d);
    bool const free = !blocked_landing(item, least, board.stays, within);
    if (best >= 0) {
      int const best_least = board.lowest(best) == kNoItem ? board.stays + 1 : board.lowest(best);
      if (best_free && !free) continue;
      if (best_free == free) {
        // Unblocked: the least cell wins; blocked: the greatest; then fewer items.
        bool const better = free ? least < best_least : least > best_least;
        bool const equal = least == best_least;
        if (!better && !(equal && board.level[d] < board.level[best])) continue;
      }
    }
    best = d;
    best_free = free;
  }
  return best;
}

namespace {

// A rule's cost as remembered: whole moves in the worst and best orders, and in the random
// order a double rounded up, so that what is kept stays an upper bound.
constexpr double kNone = std::numeric_limits<double>::infinity();

double up(double exact_ish) {
  return std::nextafter(exact_ish * (1 + 1e-12) + 1e-12, kNone);
}

// Whole moves as they are; a mean rounded up to millionths, which it is shown in.
Moves moves_of(double cost) {
  if (cost == kNone) return Moves::no_placement();
  if (cost == std::floor(cost)) return static_cast<int>(cost);
  return Moves(Fraction(static_cast<std::int64_t>(std::ceil(cost * 1e6)), 1000000));
}

}  // namespace

struct RuleCosts::Search {
  virtual ~Search() = default;
  virtual double cost(GroupedBoard const& board) = 0;
  // The search's answer to the request at (stack, slot): the board as placed.
  virtual GroupedBoard answer(GroupedBoard const& board, int stack, int slot) = 0;
};

namespace {

// One slot: the key (8 W bytes) and the cost as a double (8 bytes).
template <int W>
class RuleSearch : public RuleCosts::Search {
 public:
  // base: the rule whose answers this search improves on by looking one request ahead, or
  // null for the rule itself.
  RuleSearch(Within within, int costliest_from, std::size_t max_bytes, RuleSearch* base = nullptr)
      : within_(within),
        costliest_from_(costliest_from),
        max_bytes_(flat_map_shard_budget(max_bytes)),
        base_(base) {}

  double cost(GroupedBoard const& board) override { return cost(board, key_of<W>(board)); }

  GroupedBoard answer(GroupedBoard const& board, int stack, int slot) override {
    GroupedBoard const placed = place_by_rule(board, stack, slot, within_);
    return base_ ? look_ahead(board, stack, slot, placed) : placed;
  }

 private:
  using Map = boost::unordered_flat_map<GroupKey<W>, double, GroupKeyHash<W>>;

  // The board need not be canonical: its key is, and a board is put in order only when its
  // cost is not remembered, most boards met being remembered already.
  double cost(GroupedBoard const& board, GroupKey<W> const& key) {
    Map& memo = memo_[flat_map_shard<GroupKeyHash<W>>(key)];
    if (auto it = memo.find(key); it != memo.end()) return it->second;
    StopPoll::poll();
    double const result = solve(canonical(board));
    if (!flat_map_takes_one_more(memo, max_bytes_)) throw GaveUp{};
    memo.emplace(key, result);
    return result;
  }

  double solve(GroupedBoard const& board) {
    int const group = current_group(board);
    if (group == 0) return 0;
    if (within_ == Within::best) {
      auto const [s, j] = request_by_rule(board);
      return request_cost(board, s, j);
    }
    double chosen = 0;
    double sum = 0;
    int count = 0;
    bool whole = true;  // every cost a whole number, so that their sum is exact
    for (int s = 0; s < board.n; ++s) {
      // Equal neighbours (the board is canonical) have requests of equal cost.
      int const twins = board.twins(s);
      for (int j = 0; j < board.level[s]; ++j) {
        if (board.cell[s][j] != group) continue;
        double const c = request_cost(board, s, j);
        whole = whole && c == std::floor(c);
        chosen = std::max(chosen, c);
        sum += c * twins;
        count += twins;
      }
      s += twins - 1;
    }
    bool const mean =
        within_ == Within::random && (costliest_from_ == 0 || group < costliest_from_);
    if (!mean || chosen == kNone) return chosen;
    // Whole costs whose sum the count divides give an exact mean; any other is rounded up.
    return whole && std::fmod(sum, count) == 0 ? sum / count : up(sum / count);
  }

  double request_cost(GroupedBoard const& board, int s, int j) {
    // Whether the lifted items fit, worked out here rather than by a Retrieval: that copies
    // the board, and this runs on every request of every board the rule meets.
    int const lifted = board.level[s] - 1 - j;
    int room = 0;
    for (int d = 0; d < board.n; ++d)
      room += d == s ? 0 : board.free_slots(d);
    if (room < lifted) return kNone;
    GroupedBoard const placed = answer(board, s, j);
    double const rest = cost(placed, key_of<W>(placed));
    double const c = lifted + rest;
    return rest == std::floor(rest) ? c : up(c);
  }

  // Of the request's placements, the one whose child the rule finishes cheapest; the rule's
  // own placement among equals, then the first in the walk's order. Whatever the rule's answer
  // costs, this answer costs no more: the rule's cost bounds it from each child on, and so by
  // induction from the board. A placement whose every child is worth the best cost found (the
  // placement bound) cannot do better and is cut off.
  GroupedBoard look_ahead(GroupedBoard const& board, int stack, int slot, GroupedBoard placed) {
    bool const strict = strict_blocking(within_);
    LiftedItems const lifting(board, stack, slot, strict);
    if (lifting.count == 0) return placed;
    int const rest = blocked_items(board, strict) - lifting.blocked_here;
    GroupPlacementBound bound(lifting.count, lifting.items, strict);
    double best = base_->cost(placed);
    Retrieval<GroupedBoard> retrieval(board, stack, slot);
    retrieval.walk(
        [&](GroupedBoard const& partial, int i, int last) {
          StopPoll::poll();
          return i < lifting.count &&
                 bound.after(partial, i, last, stack, rest) - lifting.count >= best;
        },
        [&](GroupedBoard const& child) {
          double const c = base_->cost(child);
          if (c < best) {
            best = c;
            placed = child;
          }
          return true;
        });
    return placed;
  }

  Within within_;
  int costliest_from_;
  std::size_t max_bytes_;  // for each shard
  RuleSearch* base_;
  std::array<Map, kFlatMapShards> memo_;
};

// The rule's search, and the one that improves on it by looking ahead.
template <int W>
std::pair<std::unique_ptr<RuleCosts::Search>, std::unique_ptr<RuleCosts::Search>> searches_of_width(
    Within within, int costliest_from, std::size_t rule_bytes, std::size_t look_ahead_bytes) {
  auto rule = std::make_unique<RuleSearch<W>>(within, costliest_from, rule_bytes);
  auto look_ahead =
      std::make_unique<RuleSearch<W>>(within, costliest_from, look_ahead_bytes, rule.get());
  return {std::move(rule), std::move(look_ahead)};
}

}  // namespace

GroupedBoard place_by_rule(GroupedBoard const& board, int stack, int slot, Within within) {
  GroupedBoard placed = board;
  int lifted[kMaxGroupedHeight];
  int const count = placed.take(stack, slot, lifted);
  for (int i = 0; i < count; ++i)
    placed.push(stack_by_rule(placed, lifted[i], stack, within), lifted[i]);
  return placed;
}

std::pair<int, int> request_by_rule(GroupedBoard const& board) {
  int const group = current_group(board);
  std::pair<int, int> best{-1, -1};
  if (group == 0) return best;
  int fewest = 0;
  for (int s = 0; s < board.n; ++s) {
    if (board.lowest(s) != group) continue;
    // The topmost of the group's items in the stack: any other lies under it.
    int j = board.level[s] - 1;
    while (board.cell[s][j] != group)
      --j;
    int const above = board.level[s] - 1 - j;
    if (best.first < 0 || above < fewest) {
      best = {s, j};
      fewest = above;
    }
  }
  return best;
}

int rule_finish(GroupedBoard board) {
  int moves = 0;
  for (auto request = request_by_rule(board); request.first >= 0;
       request = request_by_rule(board)) {
    auto const [stack, slot] = request;
    int const lifted = board.level[stack] - 1 - slot;
    if (lifted == 0) {
      board.pop(stack);
      continue;
    }
    StopPoll::poll();
    moves += lifted;
    board = place_by_rule(board, stack, slot, Within::best);
  }
  return moves;
}

RuleCosts::RuleCosts(GroupedBoard const& shape, Within within, std::size_t max_bytes,
                     int costliest_from)
    : within_(within) {
  // The look-ahead's own table is the smaller: its boards are a few of those the rule meets.
  std::size_t const rule_bytes = max_bytes - max_bytes / 4;
  std::size_t const look_ahead_bytes = max_bytes == 0 ? 0 : std::max<std::size_t>(max_bytes / 4, 1);
  int const bits = key_bits(shape.n, shape.height, shape.stays);
  std::tie(search_, look_ahead_) =
      bits <= 128    ? searches_of_width<2>(within, costliest_from, rule_bytes, look_ahead_bytes)
      : bits <= 256  ? searches_of_width<4>(within, costliest_from, rule_bytes, look_ahead_bytes)
      : bits <= 512  ? searches_of_width<8>(within, costliest_from, rule_bytes, look_ahead_bytes)
      : bits <= 1024 ? searches_of_width<16>(within, costliest_from, rule_bytes, look_ahead_bytes)
                     : searches_of_width<32>(within, costliest_from, rule_bytes, look_ahead_bytes);
}

RuleCosts::~RuleCosts() = default;

namespace {

// A search's cost on the board, or nothing once its memory has run out (then for good).
std::optional<Moves> cost_within(RuleCosts::Search& search, bool& gave_up,
                                 GroupedBoard const& board) {
  if (gave_up) return std::nullopt;
  try {
    return moves_of(search.cost(board));
  } catch (GaveUp const&) {
    gave_up = true;
    return std::nullopt;
  }
}

}  // namespace

std::optional<Moves> RuleCosts::cost(GroupedBoard const& board) {
  return cost_within(*search_, gave_up_, board);
}

std::optional<Moves> RuleCosts::look_ahead_cost(GroupedBoard const& board) {
  return cost_within(*look_ahead_, look_ahead_gave_up_, board);
}

std::vector<RuleCosts::Step> RuleCosts::line(GroupedBoard const& board, bool looking_ahead) {
  Search& search = looking_ahead ? *look_ahead_ : *search_;
  std::vector<Step> steps;
  GroupedBoard current = canonical(board);
  while (int const group = current_group(current)) {
    std::optional<Step> chosen;
    std::pair<int, int> const own = request_by_rule(current);
    for (int s = 0; s < current.n; ++s) {
      for (int j = 0; j < current.level[s]; ++j) {
        if (current.cell[s][j] != group) continue;
        if (within_ == Within::best && std::pair(s, j) != own) continue;
        Retrieval<GroupedBoard> const retrieval(current, s, j);
        Step step{s, j, Moves::no_placement(), retrieval.lifted_count(), retrieval.fits(), current};
        if (step.placed) {
          try {
            step.after = canonical(search.answer(current, s, j));
            step.cost = step.lifted + moves_of(search.cost(step.after));
          } catch (GaveUp const&) {
            throw std::logic_error("the rule's line asked past its costs");
          }
        }
        if (!chosen || chosen->cost < step.cost) chosen = std::move(step);
      }
    }
    steps.push_back(*chosen);
    if (!chosen->placed) break;
    current = chosen->after;
  }
  return steps;
}
