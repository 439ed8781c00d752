// The value of a board on which some request's lifted items cannot be placed at all: larger
// than every count of moves, and passed up unchanged (no number of moves makes it possible).
#pragma once

#include <limits>

inline constexpr int kNoPlacement = std::numeric_limits<int>::max();

// Relocations added to a value, "no placement" staying what it is.
constexpr int plus_moves(int moves, int value) {
  return value == kNoPlacement ? kNoPlacement : moves + value;
}
