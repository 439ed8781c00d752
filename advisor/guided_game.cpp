#include "advisor/guided_game.h"

#include <istream>
#include <optional>
#include <ostream>
#include <string>

#include "advisor/play_game.h"
#include "advisor/stack_choice.h"
#include "replay/column_line.h"
#include "replay/move_words.h"
#include "rules/no_placement.h"

namespace {

class GuidedGame {
 public:
  GuidedGame(Advisor& advisor, std::istream& in, std::ostream& out, std::ostream& err,
             std::string_view program_name, GuidedStyle style)
      : advisor_(advisor), in_(in), out_(out), err_(err), name_(program_name), style_(style) {}

  int play(State board) {
    out_ << "We ask :\n" << draw(board);
    int total = 0;
    while (board.remaining > 0) {
      State const advice = advisor_.advice(board);
      out_ << "You should try: " << cell_words(advice.request.first, advice.request.second)
           << " (type " << to_type(board, advice.request) << ")\n"
           << draw(advice);

      std::optional<TargetChoice> const choice = read_choice(board);
      if (!choice) {
        out_.flush();
        err_ << name_ << ": input ended before the game was over\n";
        err_.flush();
        return kInputEnded;
      }
      State asked = board;
      asked.request = {choice->stack, choice->slot};
      out_ << "Current state: " << cell_words(choice->stack, choice->slot) << "\n" << draw(asked);
      int const cost = advisor_.cost(asked);
      out_ << "Cost : " << (cost == kNoPlacement ? "no placement" : std::to_string(cost)) << "\n";

      std::optional<State> const answer = advisor_.answer(asked);
      if (!answer) break;
      ColumnStep const step =
          column_step(yard_of(board), choice->stack, choice->slot, yard_of(*answer));
      total += static_cast<int>(step.moves.size());
      board = State(step.after.stacks, kNoRequest);
      out_ << moves_line(step, Glyphs::two_class) << "We ask :\n" << draw(board);
    }
    out_ << "Total moves: " << total << "\n";
    out_.flush();
    return kGameOver;
  }

 private:
  std::string draw(State const& board) const {
    return drawing(yard_of(board), board.request, {Glyphs::two_class, style_.marking, true});
  }

  static std::string to_type(State const& board, std::pair<int, int> target) {
    std::string const stack = std::to_string(target.first);
    if (lowest_target(board, target.first) == target.second) return stack;
    return stack + ":" + std::to_string(target.second);
  }

  std::optional<TargetChoice> read_choice(State const& board) {
    for (;;) {
      out_.flush();
      if (style_.prompt) {
        err_ << "Your request (S for the lowest target of stack S, S:K for slot K): ";
        err_.flush();
      }
      std::optional<Token> const token = read_token(in_);
      if (!token) return std::nullopt;
      TargetChoice choice = judge_target_choice(*token, board);
      if (choice.problem.empty()) return choice;
      err_ << name_ << ": " << choice.problem << "; " << hint(board) << "\n";
      err_.flush();
    }
  }

  static std::string hint(State const& board) {
    std::string text = "type a stack holding a target (";
    std::vector<int> const holding = stacks_holding_target(board);
    for (std::size_t i = 0; i < holding.size(); ++i)
      text += (i > 0 ? ", " : "") + std::to_string(holding[i]);
    return text + "), or S:K for the target in slot K of stack S";
  }

  Advisor& advisor_;
  std::istream& in_;
  std::ostream& out_;
  std::ostream& err_;
  std::string_view name_;
  GuidedStyle style_;
};

}  // namespace

int guided_game(State board, Advisor& advisor, std::istream& in, std::ostream& out,
                std::ostream& err, std::string_view program_name, GuidedStyle style) {
  board.request = kNoRequest;
  return GuidedGame(advisor, in, out, err, program_name, style).play(std::move(board));
}
