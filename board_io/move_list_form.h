// A line of play as a list of moves, one a line, as stacks_solve --moves writes it and
// --check-moves reads it:
//
//   # yard 1222000/1121000/1122000/1221000; order worst; value 19
//   0 1          moves the top item of stack 0 onto stack 1
//   0 -          retrieves the top item of stack 0
//
// Stacks count from 0 in the columns of the yard as given. Fields are whole numbers written
// in digits (or '-' for a retrieval), separated by spaces or tabs, which may also start and end
// a line; lines end in "\n" or "\r\n"; blank lines and lines whose first other character is
// '#' are skipped.
#pragma once

#include <cstddef>
#include <istream>
#include <string_view>
#include <variant>
#include <vector>

#include "board_io/board_error.h"

// A list longer than this (some millions of moves) is refused before any work on it.
inline constexpr std::size_t kMaxMoveListBytes = std::size_t{64} << 20;

// A retrieval's `to`.
inline constexpr int kRetrieved = -1;

struct ListedMove {
  long line;  // counted from 1
  int from;
  int to;  // kRetrieved for a retrieval
  bool operator==(ListedMove const&) const = default;
};

using ParsedMoves = std::variant<std::vector<ListedMove>, BoardError>;

// The moves written in `text`, in order. Stack numbers too large for any yard read as the
// largest int; errors name the line and column (counted from 1, columns in bytes).
ParsedMoves parse_move_list(std::string_view text);

// The list on `in`, of which no more than kMaxMoveListBytes and a chunk are read.
ParsedMoves read_move_list(std::istream& in);
