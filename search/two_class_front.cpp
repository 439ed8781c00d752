#include "search/two_class_front.h"

#include <stdexcept>
#include <string>

#include "model/packed_board.h"

DenseYard checked_dense_yard(Yard const& yard) {
  if (std::string const problem = yard_problem(yard); !problem.empty()) {
    throw std::invalid_argument(problem);
  }
  return dense_yard(yard);
}

std::optional<State> two_class_board(DenseYard const& dense, Within within) {
  GroupedBoard const& b = dense.board;
  if (within != Within::worst || b.stays > 2 || !fits_packing(b.n, b.height)) return std::nullopt;
  std::vector<std::vector<int>> stacks(b.n, std::vector<int>(b.height, kEmpty));
  for (int s = 0; s < b.n; ++s) {
    for (int j = 0; j < b.level[s]; ++j)
      stacks[s][j] = b.cell[s][j] == b.stays ? kOther : kTarget;
  }
  return State(stacks, kNoRequest);
}

Yard yard_of_two_class(State const& board, DenseYard const& dense, int groups) {
  GroupedBoard b(board.n_stacks, board.max_height, dense.board.stays);
  for (int s = 0; s < board.n_stacks; ++s) {
    for (int j = 0; j < board.levels[s]; ++j)
      b.push(s, board.stacks[s][j] == kTarget ? 1 : dense.board.stays);
  }
  return yard_of(b, dense, groups);
}

std::vector<YardStep> yard_steps(std::vector<LineStep> const& line, DenseYard const& dense,
                                 int groups, bool sorted) {
  std::vector<YardStep> steps;
  for (LineStep const& step : line) {
    Yard after = yard_of_two_class(step.after, dense, groups);
    if (sorted) after.sort_stacks();
    std::optional<Moves> lower;
    if (step.lower) lower = Moves(*step.lower);
    steps.push_back({step.stack, step.slot, step.cost, step.moved, step.placed, after, lower});
  }
  return steps;
}
