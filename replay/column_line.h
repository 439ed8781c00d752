// A line of play in the columns the user gave the yard in. The engine answers on canonical
// boards, whose stacks are re-sorted after every retrieval; a person follows a yard whose
// stacks stay where they stand, so each step is carried over to those columns: which column
// and slot is asked for, and where each lifted item goes. A stack keeps its column when it is
// emptied, and nothing is re-sorted.
#pragma once

#include <optional>
#include <vector>

#include "model/state.h"
#include "model/yard.h"
#include "search/answers.h"

// One lifted item: from the column of the request to the column it lands on.
struct ColumnMove {
  int from;
  int to;
  bool operator==(ColumnMove const&) const = default;
};

// One step of a line, in the user's columns.
struct ColumnStep {
  int column;  // the requested item
  int slot;
  std::vector<ColumnMove> moves;  // in the order the items were lifted, the top one first
  bool placed;  // false when the lifted items fit nowhere: nothing moved, the line ends here
  Yard before;  // the yard as the request finds it
  Yard after;   // the yard after the retrieval; `before` when not placed
};

// The column of the user's yard that stands at each place of the canonical order: the stacks
// sorted stably, so that equal stacks keep their left-to-right order.
std::vector<int> columns_of_canonical(Yard const& yard);

// Where the items lifted for (column, slot) of `before` land so that the yard reaches
// `canonical_after` (any order of its stacks): one column each, the top item first. Nothing
// when no placement reaches it.
std::optional<std::vector<int>> find_placement(Yard const& before, int column, int slot,
                                               Yard const& canonical_after);

// The step that asks for (column, slot) of `before` and places the lifted items so that the
// yard reaches `canonical_after`; not placed when `canonical_after` is nullopt. Throws
// std::logic_error when no placement reaches it: the answer is not one of this request.
ColumnStep column_step(Yard const& before, int column, int slot,
                       std::optional<Yard> const& canonical_after);

// The line of the engine, whose requests refer to the canonical yard before each step, played
// on `given` (the yard in the user's columns; its canonical order is that of the line's start).
std::vector<ColumnStep> column_line(Yard const& given, std::vector<YardStep> const& line);
std::vector<ColumnStep> column_line(State const& given, std::vector<LineStep> const& line);
