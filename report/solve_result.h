// Everything stacks_solve learnt about one board, as its reports show it.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "model/state.h"
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

// Items on the board, targets or not.
int count_items(State const& board);
