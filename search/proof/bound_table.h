// What a table of the search keeps about a board between requests: a lower and an upper bound
// on its value (see search/proof/bound_slots.h for the table).
#pragma once

#include <cstdint>

#include "rules/no_placement.h"

// Bounds on one board's value, kNoValue standing for "no placement" (every number is below it).
struct Bounds {
  static constexpr std::uint16_t kNoValue = 0xffff;
  std::uint16_t lower = 0;
  std::uint16_t upper = kNoValue;
};

// A stored bound as a number of moves: kNoPlacement for kNoValue.
inline int value_of(std::uint16_t stored) {
  return stored == Bounds::kNoValue ? kNoPlacement : static_cast<int>(stored);
}

// Thrown when the table would have to grow beyond its budget; the searches let it pass up to
// the engine's query, which turns it into an ordinary "out of memory" answer.
struct BudgetExceeded {};

// A bound as a table keeps it: kNoValue for no placement and beyond, 0 for anything below.
inline std::uint16_t stored_bound(int v) {
  return v >= Bounds::kNoValue ? Bounds::kNoValue : static_cast<std::uint16_t>(v < 0 ? 0 : v);
}
