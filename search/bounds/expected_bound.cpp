#include "search/bounds/expected_bound.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <numeric>

#include "search/bounds/group_bound.h"

namespace {

// The chances k/(k + 1) are summed over a common denominator, lcm(2 .. height + 1), which a
// 64-bit number holds for every capacity: one fraction made at the end instead of one sum of
// fractions an item, since this runs on every child the search makes.
constexpr std::array<std::int64_t, kMaxGroupedHeight + 1> common_denominators() {
  std::array<std::int64_t, kMaxGroupedHeight + 1> by_height{};
  std::int64_t l = 1;
  for (int h = 0; h <= kMaxGroupedHeight; ++h) {
    l = l / std::gcd(l, std::int64_t{h + 1}) * (h + 1);
    by_height[h] = l;
  }
  return by_height;
}
constexpr auto kDenominators = common_denominators();

// same_units[height][k]: the chance k/(k + 1), in units of that height's denominator; looked up
// rather than divided, since the chances are summed on every child the search makes.
struct SameUnits {
  std::int64_t units[kMaxGroupedHeight + 1][kMaxGroupedHeight + 1];
};
constexpr SameUnits same_units() {
  SameUnits table{};
  for (int h = 0; h <= kMaxGroupedHeight; ++h) {
    for (int k = 0; k <= kMaxGroupedHeight; ++k)
      table.units[h][k] = kDenominators[h] / (k + 1) * k;
  }
  return table;
}
constexpr SameUnits kSameUnits = same_units();

// The chance, in units of the board's denominator, that the item at (stack, slot) must move.
std::int64_t chance_to_move(GroupedBoard const& board, int stack, int slot) {
  int const item = board.cell[stack][slot];
  int const below = board.low[stack][slot];
  if (below < item) return kDenominators[board.height];
  if (below > item || item == board.stays) return 0;
  int same = 0;
  for (int j = 0; j < slot; ++j)
    same += board.cell[stack][j] == item;
  return kSameUnits.units[board.height][same];
}

// The sum of the chances, in units of the board's denominator: one pass up each stack, keeping
// the least item below and how many times it occurs there.
std::int64_t blocked_units(GroupedBoard const& board) {
  std::int64_t const certain = kDenominators[board.height];
  std::int64_t const* const units = kSameUnits.units[board.height];
  std::int64_t sum = 0;
  for (int s = 0; s < board.n; ++s) {
    if (board.level[s] == 0) continue;
    int least = board.cell[s][0];
    int same = 1;  // of `least`, below the item looked at
    for (int j = 1; j < board.level[s]; ++j) {
      int const item = board.cell[s][j];
      if (least < item) {
        sum += certain;
      } else if (least == item) {
        if (item != board.stays) sum += units[same];
        ++same;
      } else {
        least = item;
        same = 1;
      }
    }
  }
  return sum;
}

// The chances to move, in units of the board's denominator, of the item at (stack, slot) and
// those above it: what a request there takes out of blocked_units.
std::int64_t chances_from(GroupedBoard const& board, int stack, int slot) {
  std::int64_t sum = 0;
  for (int j = std::max(slot, 1); j < board.level[stack]; ++j)
    sum += chance_to_move(board, stack, j);
  return sum;
}

// A stack the lifted items may land on: its least item, and how many of that item it holds.
struct Cap {
  int least;
  int same;
};

// Past this many lifted items, each is judged alone against the stacks as they were.
constexpr int kMaxExactLandings = 8;

// The least sum, in units of the board's denominator, of the lifted items' chances to move
// again, over every way of landing them top first: unblocked (a stack whose least item is
// later: no chance, and the stack's least becomes the item); on k items of its own group and
// none earlier (chance k/(k + 1): it moves again unless it leaves first of them); or blocked
// (for certain; the stack is left as it was, which only helps the items after). Of the stacks
// that take an item unblocked, the one of least item is as good as any other, and of those the
// one of most of that item (the others are better stacks of their group for the items after);
// of those of its own group, the one of fewest; and landing there beats landing blocked, which
// costs more now and spares the items after at most what it saves. So each item has two
// choices.
std::int64_t fewest_landing_units(GroupedBoard const& board, int const* items, int count, Cap* caps,
                                  int cap_count, std::int64_t spent, std::int64_t best) {
  if (count == 0 || spent >= best) return std::min(spent, best);
  int const item = items[0];
  int fit = -1;  // the stack of least item that takes it unblocked
  int own = -1;  // the stack of its own group with fewest of them
  for (int c = 0; c < cap_count; ++c) {
    int const least = caps[c].least;
    if (least > item || (least == item && item == board.stays)) {
      if (fit < 0 || least < caps[fit].least ||
          (least == caps[fit].least && caps[c].same > caps[fit].same)) {
        fit = c;
      }
    } else if (least == item && (own < 0 || caps[c].same < caps[own].same)) {
      own = c;
    }
  }
  std::int64_t const second =
      own < 0 ? kDenominators[board.height]
              : kSameUnits.units[board.height][std::min(caps[own].same, kMaxGroupedHeight)];
  if (count > kMaxExactLandings) {
    return fewest_landing_units(board, items + 1, count - 1, caps, cap_count,
                                spent + (fit < 0 ? second : 0), best);
  }
  if (fit >= 0) {
    Cap const kept = caps[fit];
    // Landing unblocked costs the items after it nothing when none of them could use the stack
    // before and not after, or only at a chance.
    bool harmless = true;
    for (int i = 1; i < count && harmless; ++i)
      harmless = items[i] < item || items[i] > kept.least;
    caps[fit] = {item, 1};
    best = fewest_landing_units(board, items + 1, count - 1, caps, cap_count, spent, best);
    caps[fit] = kept;
    if (harmless) return best;
  }
  if (own >= 0) ++caps[own].same;
  best = fewest_landing_units(board, items + 1, count - 1, caps, cap_count, spent + second, best);
  if (own >= 0) --caps[own].same;
  return best;
}

// fewest_landing_units for the items lifted from stack, on the other stacks as they are.
std::int64_t landing_units(GroupedBoard const& board, int stack, int const* items, int count) {
  Cap caps[kMaxGroupedStacks];
  int cap_count = 0;
  for (int d = 0; d < board.n; ++d) {
    if (d == stack || board.full(d)) continue;
    int const least = board.lowest(d);
    int same = 0;
    for (int j = 0; j < board.level[d]; ++j)
      same += board.cell[d][j] == least;
    caps[cap_count++] = {least, same};
  }
  return fewest_landing_units(board, items, count, caps, cap_count, 0, INT64_MAX);
}

// The request's bound in units of 1/denominator, given the board's blocked_units.
std::int64_t request_units(GroupedBoard const& board, int stack, int slot, std::int64_t blocked,
                           std::int64_t denominator) {
  std::int64_t const here = chances_from(board, stack, slot);
  // The lifted items' second moves: certain ones as the best order counts them (where an item
  // of its own group beneath does not count, but the stacks' room does), or their chances.
  LiftedItems const lifting(board, stack, slot, false);
  std::int64_t const certain =
      (request_bound(board, stack, slot, 0, false) + lifting.blocked_here - lifting.count) *
      denominator;
  std::int64_t const again =
      std::max(certain, landing_units(board, stack, lifting.items, lifting.count));
  return lifting.count * denominator + again + blocked - here;
}

}  // namespace

Fraction expected_blocked(GroupedBoard const& board) {
  std::int64_t const denominator = kDenominators[board.height];
  return Fraction(blocked_units(board), denominator);
}

Fraction expected_request_bound(GroupedBoard const& board, int stack, int slot,
                                Fraction const& blocked) {
  std::int64_t const denominator = kDenominators[board.height];
  // What the rest of the yard will strand, judged on it with the lifted items taken away: they
  // land on top of stacks, which only makes the rest's landings worse.
  GroupedBoard rest = board;
  int lifted[kMaxGroupedHeight];
  rest.take(stack, slot, lifted);
  std::int64_t const units = request_units(board, stack, slot, 0, denominator) +
                             random_order_figures(rest, denominator).stranded;
  return Fraction(units, denominator) + blocked;
}

Moves expected_lower_bound(GroupedBoard const& board, Moves const& enough) {
  std::int64_t const denominator = kDenominators[board.height];
  std::int64_t const blocked = blocked_units(board);
  int const group = current_group(board);
  // Cheapest first, each figure taken only where the ones before do not reach enough: most
  // children a search looks at are cut by the chances to move once alone (over nine in ten on
  // 6x4 yards), then the walk's two figures, then the requests' bounds, which take a count of
  // landings for each.
  Moves const first_moves = Moves(lowest_terms(blocked, denominator));
  if (group == 0 || !(first_moves < enough)) return first_moves;
  RandomOrderFigures const walk = random_order_figures(board, denominator);
  std::int64_t const whole = std::max(blocked + walk.stranded, walk.moves * denominator);
  Moves const cheap = Moves(lowest_terms(whole, denominator));
  if (!(cheap < enough)) return cheap;
  std::int64_t sum = 0;
  std::int64_t count = 0;
  for (int s = 0; s < board.n; ++s) {
    for (int j = 0; j < board.level[s]; ++j) {
      if (board.cell[s][j] != group) continue;
      sum += request_units(board, s, j, blocked, denominator);
      ++count;
    }
  }
  return Moves(Fraction(std::max(sum, whole * count), denominator * count));
}

ExpectedPlacementBound::ExpectedPlacementBound(GroupedBoard const& board, int stack, int slot)
    : from_(stack), denominator_(kDenominators[board.height]) {
  LiftedItems const lifting(board, stack, slot, false);
  lifted_ = lifting.count;
  std::copy_n(lifting.items, lifted_, items_);
  rest_units_ = blocked_units(board) - chances_from(board, stack, slot);
  placed_units_[0] = 0;
}

std::int64_t ExpectedPlacementBound::after(GroupedBoard const& placed, int placed_count, int last) {
  if (placed_count > 0) {
    placed_units_[placed_count] =
        placed_units_[placed_count - 1] + chance_to_move(placed, last, placed.level[last] - 1);
  }
  return rest_units_ + placed_units_[placed_count] +
         landing_units(placed, from_, items_ + placed_count, lifted_ - placed_count);
}
