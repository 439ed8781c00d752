// What went wrong when a board could not be read, and where: a line and column of the input
// (counted from 1), a stack (counted from 0, left to right as written), or several of these.
#pragma once

#include <string>
#include <variant>

#include "model/state.h"

struct BoardError {
  std::string what;
  long line = 0;   // 0 when the input has no lines to speak of (--board)
  int column = 0;  // 0 when the fault is not at one character
  int stack = -1;  // -1 when the fault is not in one stack

  // "line 3, column 5: unknown character 'z'", or just the fault when there is no position.
  std::string to_string() const;
};

// A parser's verdict: the board in the order it was written, or why there is none.
using ParsedBoard = std::variant<State, BoardError>;

// A byte as an error message should show it: 'z', "a tab", or "byte 0x1B" for anything that
// would not print as itself.
std::string describe_byte(char byte);
