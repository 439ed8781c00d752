#include "advisor/play_game.h"

#include <cstddef>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "advisor/stack_choice.h"
#include "rules/no_placement.h"

namespace {

// Whether the arrays of `candidate` are as large as its own counts say and its counts are those
// of `board`: the drawing and the request walk index the arrays by those counts.
bool shaped_like(State const& candidate, State const& board) {
  if (candidate.n_stacks != board.n_stacks || candidate.max_height != board.max_height) {
    return false;
  }
  auto const n = static_cast<std::size_t>(candidate.n_stacks);
  if (candidate.n_stacks < 0 || candidate.stacks.size() != n || candidate.levels.size() != n) {
    return false;
  }
  for (auto const& stack : candidate.stacks) {
    if (stack.size() != static_cast<std::size_t>(candidate.max_height)) return false;
  }
  return true;
}

std::string stacks_to_name(std::vector<int> const& holding) {
  if (holding.size() == 1) {
    return "name stack " + std::to_string(holding.front()) + " (the only one holding a target)";
  }
  std::string text = "name one of the stacks ";
  for (std::size_t i = 0; i < holding.size(); ++i) {
    if (i > 0) text += ", ";
    text += std::to_string(holding[i]);
  }
  return text + " (those holding a target)";
}

// Reads tokens until one names a stack of the board that holds a target, and returns that
// stack; nullopt when the input ends first. Each token that fails gets one line on err.
std::optional<int> read_stack_choice(State const& board, std::istream& in, std::ostream& out,
                                     std::ostream& err, std::string_view program_name) {
  std::vector<int> const holding = stacks_holding_target(board);
  for (;;) {
    out.flush();
    std::optional<Token> const token = read_token(in);
    if (!token) return std::nullopt;
    StackChoice const choice = judge_stack_choice(*token, board);
    if (choice.problem.empty()) return choice.stack;
    err << program_name << ": " << choice.problem << "; " << stacks_to_name(holding) << "\n";
    err.flush();
  }
}

int internal_error(std::ostream& out, std::ostream& err, std::string_view program_name,
                   std::string const& what) {
  out.flush();
  err << program_name << ": internal error: " << what << "\n";
  err.flush();
  return kInternalError;
}

}  // namespace

int play_game(State board, Advisor& advisor, std::istream& in, std::ostream& out, std::ostream& err,
              std::string_view program_name) {
  if (!shaped_like(board, board) || !board.in_request_phase()) {
    return internal_error(out, err, program_name, "the board to play on is malformed");
  }
  out << "We ask :\n";
  board.print(out);
  while (board.remaining > 0) {
    // Without a target to name, no input could ever end the turn.
    if (stacks_holding_target(board).empty()) {
      return internal_error(
          out, err, program_name,
          "no stack holds a target, yet " + std::to_string(board.remaining) + " are counted");
    }
    State const advice = advisor.advice(board);
    if (!shaped_like(advice, board)) {
      return internal_error(out, err, program_name, "the advice is not a board of this game");
    }
    out << "You should try:\n";
    advice.print(out);

    std::optional<int> const stack = read_stack_choice(board, in, out, err, program_name);
    if (!stack) {
      out.flush();
      err << program_name << ": input ended before the game was over\n";
      err.flush();
      return kInputEnded;
    }
    State asked = board;
    asked.request = {*stack, *lowest_target(board, *stack)};
    out << "Current state:\n";
    asked.print(out);

    int const cost = advisor.cost(asked);
    out << "Cost : ";
    if (cost == kNoPlacement) {
      out << "no placement\n";
    } else {
      out << cost << "\n";
    }

    std::optional<State> next = advisor.answer(asked);
    if (!next) {
      out.flush();
      return kGameOver;
    }
    if (!shaped_like(*next, board) || !next->in_request_phase() ||
        next->remaining != board.remaining - 1) {
      return internal_error(out, err, program_name,
                            "the answer to the request does not take exactly its target away");
    }
    board = std::move(*next);
    out << "We ask :\n";
    board.print(out);
  }
  out.flush();
  return kGameOver;
}
