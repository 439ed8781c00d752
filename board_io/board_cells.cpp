#include "board_io/board_cells.h"

#include <algorithm>
#include <limits>

#include "model/packed_board.h"

int first_gap_slot(std::vector<int> const& stack) {
  int empty_at = -1;
  for (int j = 0; j < static_cast<int>(stack.size()); ++j) {
    if (stack[j] == kEmpty) {
      if (empty_at < 0) empty_at = j;
    } else if (empty_at >= 0) {
      return empty_at;
    }
  }
  return -1;
}

std::optional<BoardError> size_problem(std::size_t n_stacks, std::size_t height) {
  auto const shown = [](std::size_t n) {
    return static_cast<int>(std::min<std::size_t>(n, std::numeric_limits<int>::max()));
  };
  if (fits_packing(shown(n_stacks), shown(height))) return std::nullopt;
  // packing_problem judges the dimensions before any cell, so a board without cells serves.
  State dimensions;
  dimensions.n_stacks = shown(n_stacks);
  dimensions.max_height = shown(height);
  return BoardError{packing_problem(dimensions)};
}

ParsedBoard board_from_cells(std::vector<std::vector<int>> const& stacks) {
  if (stacks.empty()) return BoardError{"the board has no stacks"};
  if (stacks.front().empty())
    return BoardError{"the board has no capacity: its stacks have no slots"};
  if (auto problem = size_problem(stacks.size(), stacks.front().size())) return *problem;
  State board(stacks, kNoRequest);
  if (std::string problem = packing_problem(board); !problem.empty()) {
    return BoardError{problem};
  }
  return board;
}
