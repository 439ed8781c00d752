// The one board of a stacks_solve run: given with --board or drawn in a file.
#pragma once

#include <string>

#include "board_io/board_error.h"
#include "solve_cli/solve_options.h"

// The board as written (or why it could not be read), and the name messages give its source.
struct ReadBoard {
  std::string where;
  ParsedBoard board;
};

ReadBoard read_board(SolveOptions const& options);
