#include "search/rule_cost.h"

#include <boost/unordered/unordered_flat_map.hpp>
#include <utility>

#include "rules/retrieval.h"
#include "search/group_bound.h"
#include "search/grouped_search.h"

namespace {

struct GaveUp {};

int stack_for(GroupedBoard const& board, int item, int from, bool strict) {
  int best = -1;
  bool best_free = false;
  for (int d = 0; d < board.n; ++d) {
    if (d == from || board.full(d)) continue;
    int const least = board.lowest(d) == kNoItem ? board.stays + 1 : board.lowest(d);
    bool const free = !blocks_on(item, least, board.stays, strict);
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

}  // namespace

struct RuleCosts::Search {
  virtual ~Search() = default;
  virtual Moves cost(GroupedBoard const& board, std::function<void()> const& tick) = 0;
};

namespace {

// In the best order the retrieving side asks too; by the rule, for the item of the current group
// with the fewest items above it (the first in (stack, slot) order among equals), so that the
// rule's cost is that of one sequence and costs a search of one board a request.
std::pair<int, int> own_choice(GroupedBoard const& board) {
  int const group = current_group(board);
  std::pair<int, int> best{-1, -1};
  int fewest = 0;
  for (int s = 0; s < board.n; ++s) {
    for (int j = 0; j < board.level[s]; ++j) {
      int const above = board.level[s] - 1 - j;
      if (board.cell[s][j] == group && (best.first < 0 || above < fewest)) {
        best = {s, j};
        fewest = above;
      }
    }
  }
  return best;
}

template <int W>
class RuleSearch : public RuleCosts::Search {
 public:
  RuleSearch(Within within, std::size_t max_boards) : within_(within), max_boards_(max_boards) {}

  Moves cost(GroupedBoard const& board, std::function<void()> const& tick) override {
    GroupKey<W> const key = key_of<W>(board);
    if (auto it = memo_.find(key); it != memo_.end()) return it->second;
    tick();
    Moves const result = solve(board, tick);
    if (memo_.size() >= max_boards_) throw GaveUp{};
    memo_.emplace(key, result);
    return result;
  }

 private:
  Moves solve(GroupedBoard const& board, std::function<void()> const& tick) {
    int const group = current_group(board);
    if (group == 0) return 0;
    if (within_ == Within::best) {
      auto const [s, j] = own_choice(board);
      return request_cost(board, s, j, within_, tick);
    }
    std::optional<Moves> chosen;
    Fraction sum = 0;
    int count = 0;
    for (int s = 0; s < board.n; ++s) {
      // Equal neighbours (the board is canonical) have requests of equal cost.
      int twins = 1;
      while (s + twins < board.n && board.same_stack(s, s + twins))
        ++twins;
      for (int j = 0; j < board.level[s]; ++j) {
        if (board.cell[s][j] != group) continue;
        Moves c = request_cost(board, s, j, within_, tick);
        if (within_ == Within::random) {
          if (!c.placed()) return c;
          sum += c.exact() * twins;
          count += twins;
        } else if (!chosen || (within_ == Within::worst ? *chosen < c : c < *chosen)) {
          chosen = std::move(c);
        }
      }
      s += twins - 1;
    }
    if (within_ == Within::random) return Moves(Fraction(sum / count));
    return *chosen;
  }

  Moves request_cost(GroupedBoard const& board, int s, int j, Within within,
                     std::function<void()> const& tick) {
    Retrieval<GroupedBoard> const retrieval(board, s, j);
    if (!retrieval.fits()) return Moves::no_placement();
    return retrieval.lifted_count() + cost(canonical(place_by_rule(board, s, j, within)), tick);
  }

  Within within_;
  std::size_t max_boards_;
  boost::unordered_flat_map<GroupKey<W>, Moves, GroupKeyHash<W>> memo_;
};

template <int W>
std::unique_ptr<RuleCosts::Search> search_of_width(Within within, std::size_t max_boards) {
  return std::make_unique<RuleSearch<W>>(within, max_boards);
}

}  // namespace

GroupedBoard place_by_rule(GroupedBoard const& board, int stack, int slot, Within within) {
  bool const strict = strict_blocking(within);
  GroupedBoard placed = board;
  int lifted[kMaxGroupedHeight];
  int const count = placed.level[stack] - 1 - slot;
  for (int i = 0; i < count; ++i) {
    lifted[i] = placed.top_item(stack);
    placed.pop(stack);
  }
  placed.pop(stack);
  for (int i = 0; i < count; ++i)
    placed.push(stack_for(placed, lifted[i], stack, strict), lifted[i]);
  return placed;
}

RuleCosts::RuleCosts(GroupedBoard const& shape, Within within, std::size_t max_boards)
    : within_(within) {
  int const bits = key_bits(shape.n, shape.height, shape.stays);
  search_ = bits <= 128    ? search_of_width<2>(within, max_boards)
            : bits <= 256  ? search_of_width<4>(within, max_boards)
            : bits <= 512  ? search_of_width<8>(within, max_boards)
            : bits <= 1024 ? search_of_width<16>(within, max_boards)
                           : search_of_width<32>(within, max_boards);
}

RuleCosts::~RuleCosts() = default;

std::optional<Moves> RuleCosts::cost(GroupedBoard const& board,
                                     std::function<void()> const& tick) {
  if (gave_up_) return std::nullopt;
  try {
    return search_->cost(canonical(board), tick);
  } catch (GaveUp const&) {
    gave_up_ = true;
    return std::nullopt;
  }
}

std::vector<RuleCosts::Step> RuleCosts::line(GroupedBoard const& board,
                                             std::function<void()> const& tick) {
  std::vector<Step> steps;
  GroupedBoard current = canonical(board);
  while (int const group = current_group(current)) {
    std::optional<Step> chosen;
    std::pair<int, int> const own = own_choice(current);
    for (int s = 0; s < current.n; ++s) {
      for (int j = 0; j < current.level[s]; ++j) {
        if (current.cell[s][j] != group) continue;
        if (within_ == Within::best && std::pair(s, j) != own) continue;
        Retrieval<GroupedBoard> const retrieval(current, s, j);
        Step step{s, j, Moves::no_placement(), retrieval.lifted_count(), retrieval.fits(), current};
        if (step.placed) {
          step.after = canonical(place_by_rule(current, s, j, within_));
          std::optional<Moves> const rest = cost(step.after, tick);
          step.cost = step.lifted + (rest ? *rest : plain_upper_bound(step.after));
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

Moves plain_upper_bound(GroupedBoard const& board) {
  int items = 0;
  int leaving = 0;
  for (int s = 0; s < board.n; ++s) {
    items += board.level[s];
    for (int j = 0; j < board.level[s]; ++j)
      leaving += board.cell[s][j] != board.stays;
  }
  if (items > (board.n - 1) * board.height + 1) return Moves::no_placement();
  return leaving * std::max(board.height - 1, 0);
}
