// What a null-window proof found.
#pragma once

#include <optional>
#include <utility>

#include "rules/no_placement.h"
#include "search/proof/bound_table.h"

// The outcome of one null-window proof against a goal g. When the value reaches g, bound is the
// largest value the proof showed it reaches (at least g); when it does not, bound is the
// smallest value the proof showed it does not exceed (below g), and in a game of expected
// values, the value itself. No placement counts as above every number.
template <class Value>
struct BasicProof {
  bool holds;
  Value bound;
};
using Proof = BasicProof<int>;

// Values in whole moves, kNoPlacement for no placement: the games of the worst, the best and
// the known order.
struct WholeMoves {
  using Value = int;
  static constexpr bool kExpected = false;
  static int no_value() { return kNoPlacement; }
  static int plus(int moves, int value) { return plus_moves(moves, value); }
  static int minus(int value, int moves) { return value - moves; }
  // A table's bounds on a board as values.
  template <class Table, class Key>
  static std::optional<std::pair<int, int>> find(Table const& table, Key const& key) {
    auto const known = table.find(key);
    if (!known) return std::nullopt;
    return std::pair(value_of(known->lower), value_of(known->upper));
  }
};
