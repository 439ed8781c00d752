// The turn loop of an interactive game: a person plays the requesting side by naming stacks on
// `in`, an Advisor plays the retrieving side and gives the advice.
//
// Standard output (`out`), byte for byte:
//   "We ask :\n" and the board; then, while a target is left, one turn:
//   "You should try:\n" and the advice (the hardest request highlighted),
//   "Current state:\n" and the board with the person's request highlighted,
//   "Cost : " and the request's cost (or "no placement") and "\n",
//   "We ask :\n" and the board after the retrieval.
// `out` is flushed before every read, so the person sees the advice before being asked.
//
// The person names a stack by its index in the latest drawing; the lowest target of that stack
// is requested. A token that names no such stack gets one line on `err` (what was wrong and
// which stacks may be named) and the next token is read in the same turn; `out` is left alone.
#pragma once

#include <iosfwd>
#include <string_view>

#include "advisor/advisor.h"
#include "model/state.h"

// Exit statuses of a game.
inline constexpr int kGameOver = 0;       // no target left, or a request that cannot be served
inline constexpr int kInputEnded = 1;     // the input ended before the game was over
inline constexpr int kInternalError = 2;  // a board the game cannot be played on

// Plays from `board` (request phase, canonical order) until no target is left or a request's
// lifted items fit nowhere (the advisor has no answer; the board is then left as it was). A
// request from which the retrieving side cannot avoid such an end costs "no placement", and
// play goes on while its items can still be placed. Returns the exit status. Messages on `err`
// begin with program_name. Exceptions of the advisor pass through.
int play_game(State board, Advisor& advisor, std::istream& in, std::ostream& out, std::ostream& err,
              std::string_view program_name);
