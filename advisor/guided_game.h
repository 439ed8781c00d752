// The game of stacks_solve --play: the turn loop of play_game, made easier to follow. The yard
// stays in the columns the user gave it (a stack keeps its number for the whole game, emptied
// or not), each drawing has the column numbers under it, the advice names its target in words,
// any target may be asked for, and every turn says which items moved where.
//
// Standard output (`out`):
//   "We ask :\n" and the yard; then, while a target is left, one turn:
//   "You should try: stack S, slot K (type T)\n" and the yard with the advised target marked,
//     T being what to type for it: "S" for the lowest target of its stack, else "S:K";
//   "Current state: stack S, slot K\n" and the yard with the person's request marked,
//   "Cost : " and the request's cost (or "no placement") and "\n",
//   "Moves (N): ..." (see moves_line) and "We ask :\n" with the yard after the retrieval;
//   at the end "Total moves: M\n", M the sum of the turns' N.
// The person types "S" (the lowest target of stack S) or "S:K" (the target in slot K of stack
// S); a token that names no target gets one line on `err` and the next token is read in the
// same turn. With `prompt`, a prompt is written on `err` before every read.
#pragma once

#include <iosfwd>
#include <string_view>

#include "advisor/advisor.h"
#include "model/state.h"
#include "replay/drawing.h"

struct GuidedStyle {
  Marking marking = Marking::plain;
  bool prompt = false;  // for a person at a terminal
};

// Plays from `board` (request phase, in the user's order) as play_game does; the advisor must
// take boards in any stack order (the engine's does). Returns the statuses of play_game.
int guided_game(State board, Advisor& advisor, std::istream& in, std::ostream& out,
                std::ostream& err, std::string_view program_name, GuidedStyle style);
