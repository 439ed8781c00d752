#include "model/yard.h"

#include <algorithm>

int Yard::items_to_retrieve() const {
  int count = 0;
  for (auto const& stack : stacks) {
    for (int cell : stack)
      count += cell != kEmpty && cell != stays();
  }
  return count;
}

int Yard::items() const {
  int count = 0;
  for (auto const& stack : stacks) {
    for (int cell : stack)
      count += cell != kEmpty;
  }
  return count;
}

void Yard::sort_stacks() {
  std::sort(stacks.begin(), stacks.end());
}

State state_of(Yard const& yard) {
  std::vector<std::vector<int>> stacks = yard.stacks;
  for (auto& stack : stacks) {
    for (int& cell : stack) {
      if (cell != kEmpty) cell = cell == 1 ? kTarget : kOther;
    }
  }
  return State(stacks, kNoRequest);
}

Yard yard_of(State const& board) {
  Yard yard{board.n_stacks, board.max_height, 1, board.stacks};
  for (auto& stack : yard.stacks) {
    for (int& cell : stack)
      cell = cell <= kEmpty ? kEmpty : cell == kTarget ? kTarget : kOther;
  }
  return yard;
}

std::string yard_problem(Yard const& yard) {
  if (yard.groups < 0 || yard.groups > kMaxGroupNumber) {
    return "group numbers must lie between 1 and " + std::to_string(kMaxGroupNumber);
  }
  if (yard.n_stacks < 0 || yard.height < 0) return "a yard cannot have negative dimensions";
  if (static_cast<int>(yard.stacks.size()) != yard.n_stacks) return "n_stacks does not match";
  for (int i = 0; i < yard.n_stacks; ++i) {
    auto const& stack = yard.stacks[i];
    if (static_cast<int>(stack.size()) != yard.height) {
      return "stack " + std::to_string(i) + " does not have " + std::to_string(yard.height) +
             " slots";
    }
    bool seen_empty = false;
    for (int j = 0; j < yard.height; ++j) {
      std::string const where = "stack " + std::to_string(i) + " slot " + std::to_string(j);
      int const cell = stack[j];
      if (cell < kEmpty || cell > yard.stays()) return where + " holds " + std::to_string(cell);
      if (cell == kEmpty) seen_empty = true;
      if (cell != kEmpty && seen_empty) return where + " holds an item above an empty slot";
    }
  }
  return {};
}
