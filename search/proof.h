// What a null-window proof found.
#pragma once

// The outcome of one null-window proof against a goal g. When the value reaches g, bound is the
// largest value the proof showed it reaches (at least g); when it does not, bound is the
// smallest value the proof showed it does not exceed (below g). kNoPlacement counts as above
// every number.
struct Proof {
  bool holds;
  int bound;
};
