// The null-window proof that every game of the engine shares: "is this board worth at least g
// moves?". Boards are stored only between requests, each with a lower and an upper bound on its
// value. At a board, the requesting side asks (Side::most: one request that holds is enough,
// the worst order; Side::least: every request must hold, the best order; a known order has one
// request, which either combination treats alike). At a request, the retrieving side refutes it
// with one placement whose child is worth less than the goal minus the items lifted; the
// request holds when no placement does, or none fits. Either way a proof says how far it got
// (fail-soft): the least every placement was shown to be worth, or what the refuting one was
// shown to be worth at most.
//
// What differs from game to game comes from Game:
//   Value, no_value(), plus(moves, value), kExpected
//                            whole moves (WholeMoves, search/proof/proof.h) or expected moves
//   Board, Key, Table        the board played on, its key in the table, the table
//   Child                    {Key key; int bound; ...}: a child waiting to be searched
//   kLookAhead               whether a child's slot is fetched while the next placement is made
//   board_of(key)
//   decided_by_table(key, goal, bound, table) and decided_by_bounds(board, goal, bound):
//                            the board decided without expanding it, in the game's own order
//   requests(board, out)     the requests, likeliest to decide first; side()
//   find(table, key)         the table's bounds on a board, as values
//   can_run_out_of_room(board, items), items_on(board), largest_finite_value(board)
//   Placements               made for one retrieval: cut(placed, i, last, out) cuts off a
//                            placement half made; child(placed, out) makes a finished
//                            placement's child, or settles it (out.least, out.refuted); keep(child,
//                            out) decides a child the table missed by a dearer bound, or by
//                            its value where that is known without search
//   before(a, b)             the order children are searched in: the likeliest to refute first
// and Game::hash(key) marks what a thread is in when threads share the proof (see BusyBoards).
#pragma once

#include <algorithm>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <stdexcept>
#include <vector>

#include "rules/no_placement.h"
#include "rules/retrieval.h"
#include "search/proof/bound_table.h"
#include "search/proof/busy_boards.h"
#include "search/proof/proof.h"
#include "search/stop_poll.h"

// How the requests of a board combine.
enum class Side {
  most,   // the requesting side picks: the board reaches a goal when one request does
  least,  // the retrieving side picks: every request must reach it
  mean,   // chance picks, each item of the group alike: the mean of the requests must reach it
};

// A request of a board, with what its order was judged by.
template <class Value>
struct BasicRequest {
  int stack;
  int slot;
  Value bound;     // a lower bound on its cost
  int lifted;      // items above it
  int weight = 1;  // for the mean: the equal stacks it stands for
};
using Request = BasicRequest<int>;

// How far the search of a request's placements got.
template <class Value>
struct BasicOutcome {
  Value least;                   // the least any placement cut off or searched is worth
  std::optional<Value> refuted;  // what the refuting child is worth at most (exactly, for means)
};
using Outcome = BasicOutcome<int>;

// Tries items 0, 1, ... of a list in turn until try_one(i) says that one decided. Beside other
// threads (busy set), an item after the first that another thread is in is put off until the
// rest have been tried. The first is tried by every thread: most often it decides alone, and
// the threads that follow one another down through first items spread out below.
template <class IsBusy, class Try>
void in_turn(std::size_t count, BusyBoards const* busy, IsBusy&& is_busy, Try&& try_one) {
  std::vector<std::size_t> later;
  for (std::size_t i = 0; i < count; ++i) {
    if (busy && i > 0 && is_busy(i)) {
      later.push_back(i);
    } else if (try_one(i)) {
      return;
    }
  }
  for (std::size_t i : later) {
    if (try_one(i)) return;
  }
}

// Raises v while proofs hold: each proof that the value reaches v + 1 may show it reaches more.
template <class Prove>
int raise_while_holds(int v, int most, Prove&& prove) {
  for (Proof p = prove(v + 1); p.holds; p = prove(v + 1)) {
    v = p.bound;
    if (v > most) throw std::logic_error("value search ran past every bound");
  }
  return v;
}

template <class Game>
class ProofSearch {
 public:
  using Value = typename Game::Value;
  using Proof = BasicProof<Value>;
  using Outcome = BasicOutcome<Value>;
  using Request = BasicRequest<Value>;
  using Board = typename Game::Board;
  using Key = typename Game::Key;
  using Table = typename Game::Table;
  using Child = typename Game::Child;
  static constexpr int kNoBound = -1;

  // tick is called once for every board expanded, so that callers can show progress or keep
  // time; it may throw to abandon the search. busy: set on the searches of helper threads,
  // which search the proofs of another search over the same table and put off what others
  // are in.
  ProofSearch(Table& table, Game game, std::function<void()> tick, BusyBoards* busy = nullptr)
      : table_(table),
        game_(std::move(game)),
        tick_(std::move(tick)),
        busy_(busy),
        helping_(busy != nullptr) {}

  // Whether the board of this key is worth at least goal; goal may be kNoPlacement, asking
  // whether some request can be made that nothing can serve. bound: a lower bound on the
  // board's value already worked out, or kNoBound.
  Proof at_least(Key const& key, Value const& goal, Value const& bound = Value(kNoBound));
  // The same on a board already at hand, in any stack order (its requests are tried in that
  // order where their bounds tie).
  Proof at_least(Board const& board, Key const& key, Value const& goal,
                 Value const& bound = Value(kNoBound));
  // Whether the board is decided for goal without trying its requests: by the table or the
  // game's cheap bounds.
  std::optional<Proof> decided(Board const& board, Key const& key, Value const& goal,
                               Value const& bound = Value(kNoBound)) const {
    if (auto const known = game_.decided_by_table(key, goal, bound, table_)) return known;
    return game_.decided_by_bounds(board, goal, bound);
  }
  // Whether asking for the item at (stack, slot) of the board costs at least goal.
  Proof request_reaches(Board const& board, int stack, int slot, Value const& goal);

  Table& table() { return table_; }
  Table const& table() const { return table_; }
  Game& game() { return game_; }
  Game const& game() const { return game_; }
  std::uint64_t expanded() const { return expanded_; }
  // Marks what it searches in `busy` from now on, for helpers to keep out of, or nothing
  // (nullptr); it keeps to its own order whatever they do.
  void share(BusyBoards* busy) { busy_ = busy; }

 private:
  Proof combine(Board const& board, Key const& key, Value const& goal);
  // The mean of the requests against a goal: each request is searched against what it must
  // reach for the mean to reach the goal, the others at their bounds; one that does ends the
  // proof, and when none does, every request's cost is exact, and so is the mean.
  // Beside other threads, a helper puts off the requests another thread is in: the costs
  // add up in any order.
  Proof mean(std::vector<Request> const& requests, Board const& board, Key const& key,
             Value const& goal, std::uint64_t hash);
  // Takes the child's bounds from the table: whether it is worth need or more, whether it
  // refutes, or else puts it among the children to search; false once it refutes (in a game
  // of expected values, the walk goes on below the refuting value).
  bool look_up(Child child, Value& need, typename Game::Placements& placements,
               std::vector<Child>& children, Outcome& out);
  // Searches the children, likeliest to refute first, until one refutes; in a game of
  // expected values, every child that may be worth less than the least found.
  void search_children(std::vector<Child>& children, Value& need, Outcome& out);
  std::vector<Child>& children_buffer() {
    if (buffers_.size() <= depth_) buffers_.resize(depth_ + 1);
    buffers_[depth_].clear();
    return buffers_[depth_];
  }

  Table& table_;
  Game game_;
  std::function<void()> tick_;
  std::uint64_t expanded_ = 0;
  BusyBoards* busy_;
  bool helping_;  // puts off what other threads are in
  // One buffer of children for every retrieval being searched, deepest last; a deque, so
  // that growing it for a deeper search leaves the buffers of the searches above in place.
  std::deque<std::vector<Child>> buffers_;
  std::size_t depth_ = 0;
};

template <class Game>
auto ProofSearch<Game>::at_least(Key const& key, Value const& goal, Value const& bound) -> Proof {
  if (std::optional<Proof> const known = game_.decided_by_table(key, goal, bound, table_)) {
    return *known;
  }
  return at_least(game_.board_of(key), key, goal, bound);
}

template <class Game>
auto ProofSearch<Game>::at_least(Board const& board, Key const& key, Value const& goal,
                                 Value const& bound) -> Proof {
  if (std::optional<Proof> const known = game_.decided_by_table(key, goal, bound, table_)) {
    return *known;
  }
  if (std::optional<Proof> const bounded = game_.decided_by_bounds(board, goal, bound)) {
    return *bounded;
  }
  ++expanded_;
  tick_();
  return combine(board, key, goal);
}

template <class Game>
auto ProofSearch<Game>::combine(Board const& board, Key const& key, Value const& goal) -> Proof {
  std::uint64_t const hash = busy_ ? Game::hash(key) : 0;
  BusyBoards::Mark const expanding(busy_, hash);
  std::vector<Request> requests;
  game_.requests(board, requests);
  Side const side = game_.side(goal);
  if constexpr (Game::kExpected) {
    if (side == Side::mean && !requests.empty()) return mean(requests, board, key, goal, hash);
  }
  auto const request_hash = [&](std::size_t i) {
    return BusyBoards::request_hash(hash, requests[i].stack, requests[i].slot);
  };
  auto const is_busy = [&](std::size_t i) { return busy_->busy(request_hash(i)); };
  BusyBoards const* const putting_off = helping_ ? busy_ : nullptr;
  if (side == Side::least && !requests.empty()) {
    Value least = Game::no_value();  // the least any request was shown to cost, all reaching goal
    std::optional<Proof> failed;
    in_turn(requests.size(), putting_off, is_busy, [&](std::size_t i) {
      BusyBoards::Mark const trying(busy_, busy_ ? request_hash(i) : 0);
      Proof const request = request_reaches(board, requests[i].stack, requests[i].slot, goal);
      if (!request.holds) failed = request;
      least = std::min(least, request.bound);
      return !request.holds;
    });
    if (failed) {
      if constexpr (!Game::kExpected) table_.cut_upper(key, failed->bound);
      return *failed;
    }
    table_.raise_lower(key, least);
    return {true, least};
  }
  Value upper = 0;  // the most any request was shown to cost, all of them falling short of goal
  std::optional<Proof> held;
  in_turn(requests.size(), putting_off, is_busy, [&](std::size_t i) {
    BusyBoards::Mark const trying(busy_, busy_ ? request_hash(i) : 0);
    Proof const request = request_reaches(board, requests[i].stack, requests[i].slot, goal);
    if (request.holds) held = request;
    upper = std::max(upper, request.bound);
    return request.holds;
  });
  if (held) {
    table_.raise_lower(key, held->bound);
    return *held;
  }
  // In a game of expected values, the table keeps values known exactly, not upper bounds.
  if constexpr (!Game::kExpected) table_.cut_upper(key, upper);
  return {false, upper};
}

template <class Game>
auto ProofSearch<Game>::mean(std::vector<Request> const& requests, Board const& board,
                             Key const& key, Value const& goal, std::uint64_t hash) -> Proof {
  // In sums over the requests, each weighted by the equal stacks it stands for.
  using Sum = typename Game::Sum;
  std::size_t const n = requests.size();
  std::vector<Value> lower(n);  // what each request was shown to cost at least, or exactly
  std::vector<char> exact(n, 0);
  Sum count = 0;
  Sum total = 0;  // of lower
  for (std::size_t i = 0; i < n; ++i) {
    lower[i] = requests[i].bound;
    count += requests[i].weight;
    total += Game::sum_of(lower[i]) * requests[i].weight;
  }
  Sum const needed = Game::sum_of(goal) * count;
  bool reached = !(total < needed);
  bool dead_end = false;  // a request that nothing can serve
  auto const request_hash = [&](std::size_t i) {
    return BusyBoards::request_hash(hash, requests[i].stack, requests[i].slot);
  };
  // First each request against the goal itself, then, while the mean falls short, each against
  // all it must reach with the others at what they were shown to cost. Searched at once against
  // all it must reach with the others at their cheap bounds, a request must most often reach
  // far above its cost, and falls short only after finding that cost exactly: the dearest
  // proof, where one against the goal holds at once. The second round ends every request
  // either exact or reaching all the mean needs.
  for (int round = 0; round < 2 && !reached; ++round) {
    in_turn(
        n, helping_ ? busy_ : nullptr, [&](std::size_t i) { return busy_->busy(request_hash(i)); },
        [&](std::size_t i) {
          if (exact[i]) return false;
          Request const& r = requests[i];
          Sum const own = Game::sum_of(lower[i]) * r.weight;
          Value reach = Game::value_of((needed - total + own) / r.weight);
          if (round == 0 && goal < reach) reach = goal;
          if (!(lower[i] < reach)) return false;
          BusyBoards::Mark const trying(busy_, busy_ ? request_hash(i) : 0);
          Proof const request = request_reaches(board, r.stack, r.slot, reach);
          if (request.bound == Game::no_value()) {
            dead_end = reached = true;
            return true;
          }
          total += Game::sum_of(request.bound) * r.weight - own;
          lower[i] = request.bound;
          exact[i] = !request.holds;
          reached = !(total < needed);
          return reached;
        });
  }
  if (reached) {
    Value const bound = dead_end ? Game::no_value() : Game::value_of(total / count);
    table_.raise_lower(key, bound);
    return {true, bound};
  }
  Value const value = Game::value_of(total / count);
  table_.set_exact(key, value);
  return {false, value};
}

template <class Game>
auto ProofSearch<Game>::request_reaches(Board const& board, int stack, int slot, Value const& goal)
    -> Proof {
  Retrieval<Board> retrieval(board, stack, slot);
  if (!retrieval.fits()) return {true, Game::no_value()};
  int const lifted = retrieval.lifted_count();
  bool const dead_end_goal = goal == Game::no_value();
  if (!dead_end_goal && Value(lifted) >= goal) return {true, lifted};
  // Every child holds one item less than the board: the one asked for is gone.
  if (dead_end_goal && !Game::can_run_out_of_room(board, Game::items_on(board) - 1)) {
    return {false, Game::plus(lifted, Game::largest_finite_value(board))};
  }
  Value need = dead_end_goal ? Game::no_value() : Game::minus(goal, lifted);

  // A query that a tick abandons leaves here by an exception: the guard keeps the depth true.
  struct Deeper {
    std::size_t& depth;
    explicit Deeper(std::size_t& d) : depth(++d) {}
    ~Deeper() { --depth; }
  } const deeper(depth_);
  std::vector<Child>& children = children_buffer();
  Outcome out{Game::no_value(), std::nullopt};
  typename Game::Placements placements(game_, board, retrieval, stack, slot, need);
  auto const cut = [&](Board const& placed, int i, int last) {
    StopPoll::poll();
    return placements.cut(placed, i, last, out);
  };
  // With kLookAhead, a child is looked up while the next placement is made, its slot fetched
  // meanwhile; a child that refutes then stops the walk one placement later than it could have.
  std::optional<Child> pending;
  retrieval.walk(
      cut, [&](Board const& placed) __attribute__((always_inline)) {
        std::optional<Child> child = placements.child(placed, out);
        if (!child) return Game::kExpected || !out.refuted;
        if constexpr (Game::kLookAhead) {
          table_.prefetch(child->key);
          bool const go_on = !pending || look_up(*pending, need, placements, children, out);
          pending = std::move(child);
          return go_on;
        } else {
          return look_up(*child, need, placements, children, out);
        }
      });
  if (pending && !out.refuted) look_up(*pending, need, placements, children, out);
  if (Game::kExpected || !out.refuted) search_children(children, need, out);
  if (out.refuted) return {false, Game::plus(lifted, *out.refuted)};
  return {true, Game::plus(lifted, out.least)};
}

template <class Game>
bool ProofSearch<Game>::look_up(Child child, Value& need, typename Game::Placements& placements,
                                std::vector<Child>& children, Outcome& out) {
  if (std::optional<std::pair<Value, Value>> const known = game_.find(table_, child.key)) {
    if (known->first >= need) {
      out.least = std::min(out.least, known->first);
      return true;
    }
    if (known->second < need) {
      out.refuted = known->second;
      if constexpr (!Game::kExpected) {
        return false;
      } else {
        need = known->second;
        placements.tighten(need);
        return true;
      }
    }
  }
  if (placements.keep(child, out)) {
    children.push_back(std::move(child));
  } else if constexpr (Game::kExpected) {
    // keep() may have found the child's value exactly, below what is needed.
    if (out.refuted && *out.refuted < need) {
      need = *out.refuted;
      placements.tighten(need);
    }
  } else {
    return !out.refuted;
  }
  return true;
}

template <class Game>
void ProofSearch<Game>::search_children(std::vector<Child>& children, Value& need, Outcome& out) {
  std::sort(children.begin(), children.end(),
            [this](Child const& a, Child const& b) { return game_.before(a, b); });
  in_turn(
      children.size(), helping_ ? busy_ : nullptr,
      [&](std::size_t c) { return busy_->busy(Game::hash(children[c].key)); },
      [&](std::size_t c) {
        if (c > 0 && children[c].key == children[c - 1].key) return false;
        if constexpr (Game::kExpected) {
          // Sorted by bound, every child from here on is worth at least what is found; but a
          // child put off by a helper comes later still, so the walk goes on, cheaply.
          if (children[c].bound >= need) {
            out.least = std::min(out.least, children[c].bound);
            return false;
          }
        }
        Proof const child = at_least(children[c].key, need, children[c].bound);
        if (child.holds) {
          out.least = std::min(out.least, child.bound);
        } else {
          out.refuted = child.bound;
          if constexpr (Game::kExpected) {
            need = child.bound;
            return false;
          }
        }
        return !child.holds;
      });
}
