#include "board_io/board_cells.h"

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

ParsedBoard board_from_cells(std::vector<std::vector<int>> const& stacks) {
  if (stacks.empty()) return BoardError{"the board has no stacks"};
  if (stacks.front().empty())
    return BoardError{"the board has no capacity: its stacks have no slots"};
  State board(stacks, kNoRequest);
  if (std::string problem = packing_problem(board); !problem.empty()) {
    return BoardError{problem};
  }
  return board;
}
