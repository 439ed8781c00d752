// A search for the exact value of big yards: it stores only boards in the request phase, with a
// lower and an upper bound each, and proves the value with null-window searches instead of
// solving every board it meets. Same values as compute; its own tie-breaks (see below).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/state.h"
#include "model/yard.h"
#include "rules/moves.h"
#include "rules/within.h"
#include "search/answers.h"
#include "search/query_guard.h"
#include "search/search_limits.h"

struct SearchStats {
  std::uint64_t stored = 0;    // boards in the table
  std::uint64_t searched = 0;  // boards expanded (a request-phase board whose children were made)
  std::uint64_t helped = 0;    // of those, boards that threads other than the query's expanded
  double seconds = 0;          // wall-clock time spent in the engine's queries
  ValueBounds bounds;          // on the value being searched for, while a value query runs
};

// Empty when the engine can search the yard; otherwise why not, in words fit for a user: a
// yard that is not well formed (yard_problem), or too big for the searches' keys.
std::string yard_search_problem(Yard const& yard);

class Engine {
 public:
  // max_bytes: how much memory the table may take; 0 for no limit. progress, when given, is
  // called now and then during long queries. threads: how many threads search for a value
  // (the value queries of worst and best order; the random order's means take one); answers
  // are the same with any number, boards stored and searched are not.
  explicit Engine(std::size_t max_bytes = 0,
                  std::function<void(SearchStats const&)> progress = nullptr, int threads = 1);
  ~Engine();
  Engine(Engine const&) = delete;
  Engine& operator=(Engine const&) = delete;

  // Every query takes a well-formed board that packs (see packing_problem; otherwise it throws
  // std::invalid_argument) in the request phase, in any stack order, and gives std::nullopt
  // when the table would outgrow max_bytes or memory runs out; out_of_memory() then stays
  // true (memory_shortage() says which) and later queries give std::nullopt too. Requests are
  // (stack, slot) on the board as given; boards the engine returns are in canonical order.
  std::optional<int> value(State const& board);
  std::optional<std::vector<RequestCost>> request_costs(State const& board);
  // The hardest request: the highest cost, the first in (stack, slot) order among equals;
  // (-1, -1) with cost 0 on a board without targets.
  std::optional<RequestCost> hardest_request(State const& board);
  // The retrieving side's best answer to the pending request of `asked` (a board as above
  // with a request set): the first best placement in the order of gen_all_seq. When the lifted
  // items fit nowhere, the step is not placed, its cost is kNoPlacement and `after` is the
  // board as it was, without the request.
  std::optional<LineStep> best_answer(State const& asked);
  // Best play for both sides: hardest request, best answer, and so on until no target is
  // left or a request's lifted items fit nowhere (a last step that is not placed). On a board
  // worth kNoPlacement the retrieving side cannot avoid that end; its placements on the way
  // are then the first that fit.
  std::optional<std::vector<LineStep>> best_line(State const& board);

  // The same queries on a yard of retrieval groups, the order inside each group set by
  // `within`. The yard must be well formed (yard_problem; otherwise std::invalid_argument), in
  // any stack order; yards returned are in canonical order, requests are (stack, slot) on the
  // yard as given. On a yard of one group, worst order, the answers are those of the queries
  // on State above, tie-breaks included.
  std::optional<Moves> value(Yard const& yard, Within within);
  // Every item that may be asked for now (the items of the lowest group on the yard), in
  // (stack, slot) order, with its cost.
  std::optional<std::vector<YardRequestCost>> request_costs(Yard const& yard, Within within);
  // A line of play to the end: each turn the request of worst order (the costliest, the first
  // in (stack, slot) order among equals), of best order (the cheapest, the first among equals)
  // or, for random, the costliest, so that the line shows the unluckiest sequence and every
  // step's cost is its expectation from there; then the retrieving side's best answer: on a
  // yard of one group in the worst order, the first best placement in the order of
  // gen_all_seq; otherwise the first best placement in the order the search tries them: the
  // least lower bound of the child first, then the child's key. On a yard whose every group
  // holds one item (with room for every request), how well the lifted items landed comes
  // between the two (see search/known_order_search.h), bound and key being those of the child
  // after the items on top that are asked for next have left.
  std::optional<std::vector<YardStep>> best_line(Yard const& yard, Within within);

  // Limits for the queries that follow: a query that reaches one gives std::nullopt, and
  // status() then says which one stopped it. A time limit that has passed, or an interrupt
  // that is set, stops every later query at once. A query stopped under earlier limits does
  // not stop the queries after this call (what it proved stays in the table); a memory
  // shortage does.
  void set_limits(SearchLimits const& limits);
  // optimal while every query has been answered; otherwise the limit that stopped one.
  SearchStatus status() const;
  // What is proven about the board's value now, without searching further: the search's own
  // bounds on the board, a cheap lower bound, and an upper bound from the cost of a fixed rule
  // of placement (see search/bounds/rule_cost.h), which a value query works out before it searches
  // (and which is worked out here if none was). Use it after a value query stopped. Boards as
  // for the queries above; nothing when the memory ran out.
  std::optional<ValueBounds> bounds(State const& board);
  std::optional<ValueBounds> bounds(Yard const& yard, Within within);

  // A line of play that needs no search, for when a query stopped: each turn the request the
  // order picks by the costs of the placement rule, answered by the rule; each step's cost is
  // what the rule's answer costs to the end, with a lower bound. Boards as for the queries
  // above, canonical; nothing when the rule's table outgrew its size or memory ran out.
  std::optional<std::vector<LineStep>> rule_line(State const& board);
  std::optional<std::vector<YardStep>> rule_line(Yard const& yard, Within within);

  bool out_of_memory() const;
  // Which of the two shortages ended the search; none while out_of_memory() is false.
  MemoryShortage memory_shortage() const;
  SearchStats stats() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};
