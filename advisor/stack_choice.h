// The person's choice of stack: whitespace-separated tokens read from a stream, each judged
// against the board of the turn it is read in. Nothing here reads outside a board, whatever the
// token says.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "model/state.h"

// Characters of a token kept for judging and for messages: no stack number needs more, and a
// runaway token (a file with no white space) must not be held in memory whole.
inline constexpr std::size_t kMaxTokenChars = 64;

struct Token {
  std::string text;  // the token, or its first kMaxTokenChars characters
  bool cut = false;  // the token was longer than text
};

// The next token: skips blanks, tabs and line ends, then takes characters up to the next one
// of those (which is consumed too) or to the end of the input. nullopt when the input ends
// before a token starts.
std::optional<Token> read_token(std::istream& in);

// A token read as a number: decimal digits, with an optional leading '+' or '-', and nothing
// else ("3x", "2.5", "0x3" are not integers).
struct TokenValue {
  bool is_integer = false;
  std::optional<int> value;  // when it is an integer that fits in int
};
TokenValue token_value(Token const& token);

// The token as a message shows it, in quotes: characters other than printable ASCII written as
// \xNN, so that a stray escape sequence cannot act on the person's terminal.
std::string shown_token(Token const& token);

// The stacks of the board that hold a target, left to right.
std::vector<int> stacks_holding_target(State const& board);

// The lowest slot of the stack that holds a target; nullopt when it holds none or when the
// stack is not on the board.
std::optional<int> lowest_target(State const& board, int stack);

// The stack that a token names, or why it names none that can be requested from.
struct StackChoice {
  int stack = -1;
  std::string problem;  // empty when the choice is good
};
StackChoice judge_stack_choice(Token const& token, State const& board);

// The target that a token names: "S" the lowest target of stack S, "S:K" the target in slot K
// of stack S (slots counted from 0 at the bottom); or why it names none.
struct TargetChoice {
  int stack = -1;
  int slot = -1;
  std::string problem;  // empty when the choice is good
};
TargetChoice judge_target_choice(Token const& token, State const& board);
