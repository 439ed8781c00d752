// The search for yards whose every group holds one item (search/games/known_order_game.h): an
// iterative deepening branch and bound over the proof search. The value is proved by raising a
// budget from the lower bound, one move at a time, until a line within it is found; a line
// found first by following the search's own order of children closes the gap from above.
// Boards are stored between requests with a lower and an upper bound on their value, kept
// across queries.
#pragma once

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdint>
#include <exception>
#include <functional>
#include <optional>
#include <stdexcept>
#include <utility>
#include <vector>

#include "model/grouped_board.h"
#include "rules/retrieval.h"
#include "search/beam_schedule.h"
#include "search/best_order_beam.h"
#include "search/bounds/known_order_bound.h"
#include "search/bounds/rule_cost.h"
#include "search/games/known_order_game.h"
#include "search/proof/proof_search.h"
#include "search/proof/shared_proof.h"
#include "search/stop_poll.h"

template <int W>
class KnownOrderSearch {
 public:
  using Key = GroupKey<W>;
  using Game = KnownOrderGame<W>;
  using Table = typename Game::Table;
  using Child = typename Game::Child;

  // tick is called once for every board expanded; it may throw.
  // keep_moved_items: the bound's second count (see known_order_bound), left out only to check
  // it against the first.
  // sharing: the threads that search the proofs of a value (null: this one alone).
  // pilot_after: the polls (StopPoll::polls) a value's proofs may take before the pilot lines
  // are drawn (fewer only for tests, which draw them on small yards too).
  KnownOrderSearch(Table& table, std::function<void()> tick, ProofSharing* sharing = nullptr,
                   bool keep_moved_items = true, std::uint64_t pilot_after = kPilotAfter)
      : search_(table, Game(keep_moved_items), std::move(tick)),
        sharing_(sharing),
        pilot_after_(pilot_after) {}

  int value(GroupedBoard const& board) {
    GroupedBoard root = board;
    if (retrieve_free_items(root).first < 0) return bound_of(root);
    Key const key = key_of<W>(root);
    int const bound = bound_of(root);
    int lower = bound;
    int upper = line_by(root, &KnownOrderSearch::dive_step, kDiveTime);
    if (std::optional<Bounds> const known = table().find(key)) {
      lower = std::max(lower, static_cast<int>(known->lower));
      upper = std::min(upper, static_cast<int>(known->upper));
    }
    // Most yards are settled within a few thousandths of a second; the pilots' lines are worth
    // their price on the others, and their bounds help the proof that was under way. Then the
    // beams keep pace with the proofs.
    std::uint64_t const pilot_due = StopPoll::polls() + pilot_after_;
    bool piloted = false;
    BeamSchedule beams(root.n, BeamSchedule::kNever,
                       [&](int width) { upper = std::min(upper, beam_line(root, width)); });
    while (lower < upper) {
      auto const prove = [&] {
        return sharing_ ? sharing_->at_least(search_, root, key, lower + 1, bound).bound
                        : search_.at_least(root, key, lower + 1, bound).bound;
      };
      std::optional<int> const found = piloted ? prove() : before(pilot_due, prove);
      if (!found) {
        piloted = true;
        upper = std::min(upper, line_by(root, &KnownOrderSearch::item_step, kPilotTime));
        upper = std::min(upper, line_by(root, &KnownOrderSearch::placement_step, kPilotTime));
        beams.now();
        continue;
      }
      if (*found <= lower) break;
      lower = *found;
    }
    table().raise_lower(key, lower);
    table().cut_upper(key, lower);
    return lower;
  }

  // The board after the retrieving side's answer to the next request that reaches `cost`
  // (the board's value): the first such placement in the order the search tries children
  // (see KnownOrderGame::before, on the child after its free retrievals, then the key of the
  // placement). Stacks in canonical order; free retrievals not made.
  GroupedBoard best_answer(GroupedBoard const& board, int stack, int slot, int cost) {
    Retrieval<GroupedBoard> retrieval(board, stack, slot);
    int const need = cost - retrieval.lifted_count();
    std::vector<std::pair<Child, Key>> answers;  // the child, and the board as placed
    // The search never saw the placements its cut left out, so neither may the answer: one of
    // them could be worth `need` on a board the table knows nothing of.
    KnownOrderCut cut(board, stack, slot, need, keep_moved_items());
    retrieval.walk(cut, [&](GroupedBoard const& placed) {
      GroupedBoard child = placed;
      retrieve_free_items(child);
      answers.push_back(
          {{key_of<W>(child), bound_of(child, need), cut.misfit()}, key_of<W>(placed)});
      return true;
    });
    std::sort(answers.begin(), answers.end(), [](auto const& a, auto const& b) {
      if (Game::before(a.first, b.first)) return true;
      if (Game::before(b.first, a.first)) return false;
      return a.second.word < b.second.word;
    });
    for (auto const& [child, placed] : answers) {
      if (child.bound <= need && !search_.at_least(child.key, need + 1, child.bound).holds) {
        return board_of<W>(placed);
      }
    }
    throw std::logic_error("no placement reaches the request's cost");
  }

  // What the table holds on the board's value, as (lower, upper); upper is INT_MAX when no
  // line is known.
  std::pair<int, int> proven(GroupedBoard const& board) const {
    GroupedBoard root = board;
    if (retrieve_free_items(root).first < 0) return {0, 0};
    int lower = bound_of(root);
    int upper = INT_MAX;
    if (std::optional<Bounds> const known = table().find(key_of<W>(root))) {
      lower = std::max(lower, static_cast<int>(known->lower));
      if (known->upper != Bounds::kNoValue) upper = known->upper;
    }
    return {lower, upper};
  }
  // Takes note of a line found elsewhere that costs `upper`.
  void limit_above(GroupedBoard const& board, int upper) {
    GroupedBoard root = board;
    if (retrieve_free_items(root).first >= 0) table().cut_upper(key_of<W>(root), upper);
  }

  std::uint64_t expanded() const { return search_.expanded(); }

  // A line of play from the board whose moves cost no more than the upper bound the table
  // holds on it: each request answered by the first placement whose child's bound, added to
  // the items lifted, stays within the bound before it. Every line this search finds leaves
  // such bounds on its boards. Nothing when the table's bound is not one of its lines (a bound
  // taken from elsewhere) or it holds none.
  std::optional<std::vector<RuleCosts::Step>> witness(GroupedBoard const& board) {
    std::vector<RuleCosts::Step> steps;
    GroupedBoard current = canonical(board);
    while (int const group = current_group(current)) {
      int const here = upper_of(current);
      if (here == INT_MAX) return std::nullopt;
      int s = 0;
      while (current.lowest(s) != group)
        ++s;
      int j = 0;
      while (current.cell[s][j] != group)
        ++j;
      Retrieval<GroupedBoard> retrieval(current, s, j);
      int const lifted = retrieval.lifted_count();
      std::optional<GroupedBoard> answer;
      KnownOrderCut cut(current, s, j, here - lifted, keep_moved_items());
      retrieval.walk(cut, [&](GroupedBoard const& placed) {
        int const rest = upper_of(placed);
        if (rest == INT_MAX || lifted + rest > here) return true;
        answer = placed;
        return false;
      });
      if (!answer) return std::nullopt;
      steps.push_back({s, j, here, lifted, true, canonical(*answer)});
      current = steps.back().after;
    }
    return steps;
  }

 private:
  // The least upper bound the table holds on the board's value: 0 once nothing is left to
  // lift, INT_MAX for none.
  int upper_of(GroupedBoard board) const {
    if (retrieve_free_items(board).first < 0) return 0;
    std::optional<Bounds> const known = table().find(key_of<W>(board));
    return known && known->upper != Bounds::kNoValue ? known->upper : INT_MAX;
  }

  Table& table() { return search_.table(); }
  Table const& table() const { return search_.table(); }
  bool keep_moved_items() const { return search_.game().keep_moved_items(); }

  // The first line's answer to the request: the child the search would try first, the least
  // lower bound, then the least key. Free retrievals made.
  GroupedBoard dive_step(GroupedBoard const& board, int stack, int slot) {
    Retrieval<GroupedBoard> retrieval(board, stack, slot);
    bool first = true;
    Child best{};
    // Placements whose every child is worth more than the best bound found so far cannot give
    // a child of lesser bound that is any better: leave them out.
    KnownOrderCut cut(board, stack, slot, INT_MAX, keep_moved_items());
    retrieval.walk(cut, [&](GroupedBoard const& placed) {
      GroupedBoard child = placed;
      retrieve_free_items(child);
      Child const candidate{key_of<W>(child), bound_of(child, INT_MAX), cut.misfit()};
      if (first || Game::before(candidate, best)) {
        best = candidate;
        first = false;
        cut.tighten(best.bound);
      }
      return true;
    });
    return board_of<W>(best.key);
  }

  // A line of play from the board, `step` answering each request; its cost bounds the board's
  // value from above, and the cost of its rest every board on it, which the table keeps. The
  // first line (dive_step) follows the search's own order of children; the pilot lines finish
  // each answer they try by the placement rule (search/bounds/rule_cost.h) and go on with the
  // cheapest finish, so the rule's own answer being among them, they never cost more than the
  // rule's line. Trying every placement (placement_step) finds better lines than trying an item
  // at a time (item_step) on some yards, but on big yards it is far dearer: so the item pilot
  // goes first. Each step works out bounds or finishes that are dear on big yards, so past
  // `time`, or when the query stops, the rule alone finishes the line (a few requests' work,
  // without polls), and its cost is still an upper bound on every board of it; a stop is
  // thrown on after that.
  template <class Step>
  int line_by(GroupedBoard const& board, Step step, std::chrono::milliseconds time) {
    struct OutOfTime {};
    auto const until = std::chrono::steady_clock::now() + time;
    std::function<void()> const* const outer = StopPoll::current();
    std::function<void()> const check = [outer, until] {
      if (std::chrono::steady_clock::now() >= until) throw OutOfTime{};
      if (outer) (*outer)();
    };
    std::vector<std::pair<Key, int>> path;  // boards on the line, and the moves up to each
    GroupedBoard current = board;
    int moves = 0;
    std::exception_ptr stopped;
    try {
      StopPoll::Scope const polling(&check);
      for (auto request = next_request(current); request.first >= 0;
           request = next_request(current)) {
        GroupedBoard const next = (this->*step)(current, request.first, request.second);
        path.push_back({key_of<W>(current), moves});
        moves += current.level[request.first] - 1 - request.second;
        current = next;
      }
    } catch (OutOfTime const&) {
    } catch (...) {
      stopped = std::current_exception();
    }
    StopPoll::Scope const quiet(nullptr);
    for (auto request = next_request(current); request.first >= 0;
         request = next_request(current)) {
      path.push_back({key_of<W>(current), moves});
      moves += current.level[request.first] - 1 - request.second;
      current = place_by_rule(current, request.first, request.second, Within::best);
      retrieve_free_items(current);
    }
    for (auto const& [key, before] : path)
      table().cut_upper(key, moves - before);
    if (stopped) std::rethrow_exception(stopped);
    return moves;
  }
  // The beam's line of the given width from the board (see best_order_beam.h), its cost an
  // upper bound on every board of it, which the table keeps.
  int beam_line(GroupedBoard const& board, int width) {
    auto const line = BestOrderBeam<W>::run(board, width);
    GroupedBoard before = canonical(board);
    for (RuleCosts::Step const& step : line.steps) {
      if (step.lifted > 0) table().cut_upper(key_of<W>(before), step.cost.whole_moves());
      before = step.after;
    }
    return line.cost;
  }

  static constexpr auto kDiveTime = std::chrono::milliseconds(2000);
  static constexpr auto kPilotTime = std::chrono::milliseconds(10000);
  // The pilots come when the first beam would (see BeamSchedule::kFirstAfter).
  static constexpr std::uint64_t kPilotAfter = BeamSchedule::kFirstAfter;

  // What `work` returns, unless this thread's polls reach `due` before it is done (or have
  // already): then nothing. Its polls look at the query's limits as before.
  template <class Work>
  static std::optional<int> before(std::uint64_t due, Work&& work) {
    struct Due {};
    if (StopPoll::polls() >= due) return std::nullopt;
    std::function<void()> const* const outer = StopPoll::current();
    std::function<void()> const check = [outer, due] {
      if (StopPoll::polls() >= due) throw Due{};
      if (outer) (*outer)();
    };
    StopPoll::Scope const polling(&check);
    try {
      return work();
    } catch (Due const&) {
      return std::nullopt;
    }
  }

  // The pilot's answer to the request, every placement of the lifted items tried: the child,
  // free retrievals made, whose finish by the rule is cheapest.
  GroupedBoard placement_step(GroupedBoard const& board, int stack, int slot) {
    Retrieval<GroupedBoard> retrieval(board, stack, slot);
    std::optional<std::pair<int, Child>> best;  // the finish, and the child
    GroupedBoard next;
    KnownOrderCut cut(board, stack, slot, INT_MAX, keep_moved_items());
    retrieval.walk(cut, [&](GroupedBoard const& placed) {
      GroupedBoard child = placed;
      retrieve_free_items(child);
      int const finish = rule_finish(child);
      if (best && finish > best->first) return true;  // its bound, dear on big yards, unasked
      Child const candidate{key_of<W>(child), bound_of(child, INT_MAX), cut.misfit()};
      if (!best || finish < best->first || Game::before(candidate, best->second)) {
        best = {finish, candidate};
        next = child;
        cut.tighten(finish);
      }
      return true;
    });
    return next;
  }

  // The pilot's answer to the request, an item at a time, top first: every stack that takes
  // the item is tried, the items still lifted then placed by the rule and the yard finished by
  // it, and the cheapest finish is kept (the first stack among equals). The rule's own stack
  // is among those tried, so the finish never grows; trying items one at a time rather than
  // every placement of them keeps a request's price to stacks x items finishes on big yards.
  // Free retrievals made.
  GroupedBoard item_step(GroupedBoard const& board, int stack, int slot) {
    GroupedBoard placed = board;
    int lifted[kMaxGroupedHeight];
    int const count = placed.take(stack, slot, lifted);
    for (int i = 0; i < count; ++i) {
      int best_stack = -1;
      int best_finish = INT_MAX;
      for (int d = 0; d < placed.n; ++d) {
        if (d == stack || placed.full(d) || repeats_left(placed, d, stack)) continue;
        GroupedBoard trial = placed;
        trial.push(d, lifted[i]);
        for (int k = i + 1; k < count; ++k)
          trial.push(stack_by_rule(trial, lifted[k], stack, Within::best), lifted[k]);
        retrieve_free_items(trial);
        if (int const finish = rule_finish(trial); finish < best_finish) {
          best_finish = finish;
          best_stack = d;
        }
      }
      placed.push(best_stack, lifted[i]);
    }
    retrieve_free_items(placed);
    return placed;
  }

  // The board's known_order_bound.
  int bound_of(GroupedBoard const& board, int need = kStrongestBound) const {
    return known_order_bound(board, need, keep_moved_items(),
                             landing_budget(GroupedRules::items_on(board)));
  }

  ProofSearch<Game> search_;
  ProofSharing* sharing_;
  std::uint64_t pilot_after_;
};
