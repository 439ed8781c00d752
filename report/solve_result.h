// Everything stacks_solve learnt about one board, as its reports show it.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "model/state.h"
#include "model/yard.h"
#include "rules/moves.h"
#include "rules/within.h"
#include "search/engine.h"

struct SolveResult {
  State board;  // in canonical order, no request: every stack and slot below refers to it
  int value;    // relocations; kNoPlacement when the lifted items of some request fit nowhere
  std::vector<LineStep> line;                        // best play, when it was asked for
  std::optional<std::vector<RequestCost>> requests;  // every request's cost, when asked for
  std::optional<RequestCost> hardest;                // with requests
  std::uint64_t states = 0;                          // boards in the engine's table
  double seconds = 0;                                // wall-clock time of the solve
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
};

// Items on the board, targets or not.
int count_items(State const& board);

// The request the line of play starts with, among `costs` (the yard's request_costs): the
// costliest for worst and random order, the cheapest for best, the first in (stack, slot)
// order among equals. Nothing when there is no request.
std::optional<YardRequestCost> first_request(std::vector<YardRequestCost> const& costs,
                                             Within within);
