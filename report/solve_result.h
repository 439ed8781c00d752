// Everything stacks_solve learnt about one board, as its reports show it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/state.h"
#include "model/yard.h"
#include "replay/column_line.h"
#include "rules/moves.h"
#include "rules/within.h"
#include "search/bounds/sampled_rule_cost.h"
#include "search/engine.h"

// How a solve ended, and what it proved: the value is set only when status is optimal; a
// solve stopped by a limit still says what it proved (lower <= value <= upper), and a line
// of play from the fastest rule it knows, with bounds on each step.
struct SolveResult {
  State board;  // in canonical order, no request: every stack and slot below refers to it
  int value;    // relocations; kNoPlacement when the lifted items of some request fit nowhere
  std::vector<LineStep> line;                        // best play, when it was asked for
  std::optional<std::vector<RequestCost>> requests;  // every request's cost, when asked for
  std::optional<RequestCost> hardest;                // with requests
  std::uint64_t states = 0;                          // boards in the engine's table
  double seconds = 0;                                // wall-clock time of the solve
  SearchStatus status = SearchStatus::optimal;
  ValueBounds bounds;  // lower = upper = value when optimal
  std::string error;   // why the solve stopped, when a memory limit stopped it
  // The board as the user gave it, and the line in its columns.
  Yard given;
  std::vector<ColumnStep> columns;
  // For each step of the line, every request's cost on the canonical board it finds.
  std::optional<std::vector<std::vector<RequestCost>>> step_requests;
  bool requests_wanted = false;  // asked for: reports say so when a stop left them unknown
};

// The same for a yard of retrieval groups.
struct YardResult {
  Yard yard;  // in canonical order: every stack and slot below refers to it
  Within within = Within::worst;
  Moves value;                 // expected relocations for random order
  std::vector<YardStep> line;  // the line of play of best_line, when it was asked for
  std::optional<std::vector<YardRequestCost>> requests;  // when asked for
  std::uint64_t states = 0;
  double seconds = 0;
  SearchStatus status = SearchStatus::optimal;
  ValueBounds bounds;
  std::string error;
  // The yard as the user gave it, and the line in its columns.
  Yard given;
  std::vector<ColumnStep> columns;
  std::optional<std::vector<std::vector<YardRequestCost>>> step_requests;  // as for a board
  bool requests_wanted = false;
  // A stopped search in the random order with no upper bound known: the placement rule's mean
  // cost estimated from orders drawn, when it could be (never a bound).
  std::optional<SampledCost> estimate;
};

// Items on the board, targets or not.
int count_items(State const& board);

// How far the bounds are apart, relative to the upper one: (upper - lower) / upper, 0 when they
// meet (no placement included); nothing when no finite upper bound is known.
std::optional<Fraction> bounds_gap(ValueBounds const& bounds);
// The gap of a result: 0 when optimal, otherwise that of its bounds.
std::optional<Fraction> value_gap(SearchStatus status, ValueBounds const& bounds);
// A gap rounded to six decimals, "0.250000", as the records write it; empty when not known.
std::string gap_decimal(std::optional<Fraction> const& gap);
// A gap as people read it: "25.0%".
std::string gap_percent(Fraction const& gap);

// An estimate as people read it: "the placement rule's mean cost, estimated from 1000 orders
// drawn: 31.42 moves (95% interval 31.10 to 31.74), an estimate and no bound".
std::string estimate_text(SampledCost const& estimate);

// The request the line of play starts with, among `costs` (the yard's request_costs): the
// costliest for worst and random order, the cheapest for best, the first in (stack, slot)
// order among equals. Nothing when there is no request.
std::optional<YardRequestCost> first_request(std::vector<YardRequestCost> const& costs,
                                             Within within);
