#include "replay/move_check.h"

#include <algorithm>
#include <optional>
#include <string>

namespace {

// The yard as the moves leave it, and what the rules need to know of it.
class Replay {
 public:
  Replay(Yard yard, bool two_class)
      : yard_(std::move(yard)),
        two_class_(two_class),
        left_(static_cast<std::size_t>(yard_.groups) + 2, 0) {
    for (auto const& stack : yard_.stacks) {
      levels_.push_back(
          static_cast<int>(std::find(stack.begin(), stack.end(), kEmpty) - stack.begin()));
      for (int cell : stack) {
        if (cell != kEmpty && cell != yard_.stays()) ++left_[cell];
      }
    }
  }

  // Why the move is illegal, or nothing, the move then made.
  std::optional<std::string> make(ListedMove const& move) {
    if (auto problem = stack_problem(move.from)) return problem;
    if (levels_[move.from] == 0) return "stack " + std::to_string(move.from) + " is empty";
    if (move.to == kRetrieved) return retrieve(move);
    if (auto problem = stack_problem(move.to)) return problem;
    if (move.to == move.from) {
      return "moves the top item of stack " + std::to_string(move.from) + " onto itself";
    }
    if (levels_[move.to] == yard_.height) return "stack " + std::to_string(move.to) + " is full";
    if (lifting_ && lifting_->from != move.from) {
      return "moves an item off stack " + std::to_string(move.from) + ", but line " +
             std::to_string(lifting_->line) + " moved one off stack " +
             std::to_string(lifting_->from) +
             ": only the items above the next item retrieved may move, all off its stack";
    }
    if (!lifting_) lifting_ = move;
    int& from_top = yard_.stacks[move.from][--levels_[move.from]];
    yard_.stacks[move.to][levels_[move.to]++] = from_top;
    from_top = kEmpty;
    ++checked_.relocations;
    return std::nullopt;
  }

  // Why the list cannot end here, or nothing.
  std::optional<std::string> finish() const {
    if (lifting_) {
      return "the list ends after line " + std::to_string(lifting_->line) +
             " moved items off stack " + std::to_string(lifting_->from) +
             " that no retrieval follows";
    }
    long left = 0;
    for (int group = 1; group <= yard_.groups; ++group)
      left += left_[group];
    if (left == 0) return std::nullopt;
    return "the list ends with " + std::to_string(left) +
           (left == 1 ? (two_class_ ? " target" : " item") : (two_class_ ? " targets" : " items")) +
           " still to retrieve";
  }

  CheckedMoves const& checked() const { return checked_; }

 private:
  std::optional<std::string> stack_problem(int stack) const {
    if (stack >= 0 && stack < yard_.n_stacks) return std::nullopt;
    return "there is no stack " + std::to_string(stack) + ": the yard has stacks 0 to " +
           std::to_string(yard_.n_stacks - 1);
  }

  std::optional<std::string> retrieve(ListedMove const& move) {
    if (lifting_ && lifting_->from != move.from) {
      return "retrieves from stack " + std::to_string(move.from) + ", but line " +
             std::to_string(lifting_->line) + " moved an item off stack " +
             std::to_string(lifting_->from) + ": only the items above the item retrieved may move";
    }
    int& top = yard_.stacks[move.from][levels_[move.from] - 1];
    if (top == yard_.stays()) {
      return two_class_ ? "the top item of stack " + std::to_string(move.from) + " is not a target"
                        : "the top item of stack " + std::to_string(move.from) +
                              " stays in the yard: it is of no group asked for";
    }
    int const lowest = lowest_group();
    if (top != lowest) {
      return "item of group " + std::to_string(top) + " retrieved while group " +
             std::to_string(lowest) + " remains";
    }
    --left_[top];
    top = kEmpty;
    --levels_[move.from];
    lifting_.reset();
    ++checked_.retrievals;
    return std::nullopt;
  }

  int lowest_group() const {
    for (int group = 1; group <= yard_.groups; ++group) {
      if (left_[group] > 0) return group;
    }
    return yard_.stays();
  }

  Yard yard_;
  bool two_class_;
  std::vector<long> left_;             // items of each group still on the yard
  std::vector<int> levels_;            // items on each stack
  std::optional<ListedMove> lifting_;  // the first relocation since the last retrieval
  CheckedMoves checked_;
};

}  // namespace

std::variant<CheckedMoves, BoardError> check_moves(Yard const& yard,
                                                   std::vector<ListedMove> const& moves,
                                                   bool two_class) {
  Replay replay(yard, two_class);
  for (ListedMove const& move : moves) {
    if (auto problem = replay.make(move)) return BoardError{*problem, move.line};
  }
  if (auto problem = replay.finish()) return BoardError{*problem};
  return replay.checked();
}
