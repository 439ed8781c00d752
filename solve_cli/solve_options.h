// What the command line of stacks_solve asked for, once it has been checked.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

struct SolveOptions {
  std::optional<std::string> board_text;  // --board
  std::optional<std::string> drawing;     // FILE, "-" for standard input
  std::optional<std::string> batch;       // --batch FILE, "-" for standard input
  bool requests = false;
  bool json = false;
  bool csv = false;
  bool play = false;          // the interactive game, moves read from standard input
  std::size_t max_bytes = 0;  // the engine's budget; 0 for no limit
};
