#include "advisor/stack_choice.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <istream>
#include <string_view>

namespace {

bool is_blank(int c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool is_digit(char c) {
  return c >= '0' && c <= '9';
}

std::string numbering(State const& board) {
  if (board.n_stacks == 1) return "(the only stack is 0)";
  return "(the stacks are numbered 0 to " + std::to_string(board.n_stacks - 1) + ")";
}

}  // namespace

std::optional<Token> read_token(std::istream& in) {
  using Traits = std::istream::traits_type;
  int c = in.get();
  while (c != Traits::eof() && is_blank(c))
    c = in.get();
  if (c == Traits::eof()) return std::nullopt;
  Token token;
  while (c != Traits::eof() && !is_blank(c)) {
    if (token.text.size() < kMaxTokenChars) {
      token.text += static_cast<char>(c);
    } else {
      token.cut = true;
    }
    c = in.get();
  }
  return token;
}

TokenValue token_value(Token const& token) {
  std::string_view digits = token.text;
  bool negative = false;
  if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) {
    negative = digits.front() == '-';
    digits.remove_prefix(1);
  }
  if (digits.empty() || !std::all_of(digits.begin(), digits.end(), is_digit)) return {};
  TokenValue result{true, std::nullopt};
  // The part of a cut token that was dropped might be anything; it names no stack.
  if (token.cut) return result;
  int magnitude = 0;
  auto const [end, error] =
      std::from_chars(digits.data(), digits.data() + digits.size(), magnitude);
  if (error == std::errc() && end == digits.data() + digits.size()) {
    result.value = negative ? -magnitude : magnitude;
  }
  return result;
}

std::string shown_token(Token const& token) {
  std::string shown = "'";
  for (char const ch : token.text) {
    auto const byte = static_cast<unsigned char>(ch);
    if (byte >= 0x20 && byte < 0x7f) {
      shown += ch;
    } else {
      char escaped[5];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
      shown += escaped;
    }
  }
  if (token.cut) shown += "...";
  return shown + "'";
}

std::vector<int> stacks_holding_target(State const& board) {
  std::vector<int> holding;
  for (int s = 0; s < board.n_stacks; ++s) {
    if (lowest_target(board, s)) holding.push_back(s);
  }
  return holding;
}

std::optional<int> lowest_target(State const& board, int stack) {
  if (stack < 0 || stack >= board.n_stacks) return std::nullopt;
  auto const s = static_cast<std::size_t>(stack);
  if (s >= board.stacks.size() || s >= board.levels.size()) return std::nullopt;
  auto const& cells = board.stacks[s];
  // Items stand only below the stack's level; the bound by the cells themselves keeps the walk
  // on the board should levels ever disagree with them.
  int const top = std::min(board.levels[s], static_cast<int>(cells.size()));
  for (int slot = 0; slot < top; ++slot) {
    if (cells[static_cast<std::size_t>(slot)] == kTarget) return slot;
  }
  return std::nullopt;
}

StackChoice judge_stack_choice(Token const& token, State const& board) {
  if (token.cut) return {-1, shown_token(token) + " is too long to be a stack number"};
  TokenValue const number = token_value(token);
  if (!number.is_integer) return {-1, shown_token(token) + " is not a stack number"};
  if (!number.value || *number.value < 0 || *number.value >= board.n_stacks) {
    // An integer token holds only digits and a sign: safe to show as typed.
    std::string const named = number.value ? std::to_string(*number.value) : token.text;
    return {-1, "there is no stack " + named + " " + numbering(board)};
  }
  int const stack = *number.value;
  if (!lowest_target(board, stack)) {
    return {-1, "stack " + std::to_string(stack) + " holds no target"};
  }
  return {stack, ""};
}

TargetChoice judge_target_choice(Token const& token, State const& board) {
  std::size_t const colon = token.text.find(':');
  if (colon == std::string::npos || token.cut) {
    StackChoice const choice = judge_stack_choice(token, board);
    if (!choice.problem.empty()) return {-1, -1, choice.problem};
    return {choice.stack, *lowest_target(board, choice.stack), ""};
  }
  TokenValue const stack = token_value({token.text.substr(0, colon), false});
  TokenValue const slot = token_value({token.text.substr(colon + 1), false});
  if (!stack.is_integer || !slot.is_integer) {
    return {-1, -1, shown_token(token) + " is not a stack and slot (S:K, two numbers)"};
  }
  if (!stack.value || *stack.value < 0 || *stack.value >= board.n_stacks) {
    // Both parts hold only digits and a sign: safe to show as typed.
    return {-1, -1, "there is no stack " + token.text.substr(0, colon) + " " + numbering(board)};
  }
  int const s = *stack.value;
  bool const target = slot.value && *slot.value >= 0 && *slot.value < board.levels[s] &&
                      board.stacks[s][*slot.value] == kTarget;
  if (!target) {
    return {-1, -1,
            "stack " + std::to_string(s) + " holds no target in slot " +
                token.text.substr(colon + 1)};
  }
  return {s, *slot.value, ""};
}
