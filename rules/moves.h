// What a yard or a request is worth: a whole number of relocations when one side orders the
// requests, an exact fraction (the expectation) when chance does, or "no placement".
#pragma once

#include <boost/multiprecision/cpp_int.hpp>
#include <string>

#include "rules/no_placement.h"

// Denominators of expectations grow like the factorial of a group's size, so an exact value
// needs integers of any size; cpp_rational keeps small ones inline, without allocating.
using Fraction = boost::multiprecision::cpp_rational;

class Moves {
 public:
  Moves() = default;
  // kNoPlacement gives "no placement".
  Moves(int moves) : placed_(moves != kNoPlacement), exact_(placed_ ? moves : 0) {}  // NOLINT
  explicit Moves(Fraction exact) : placed_(true), exact_(std::move(exact)) {}
  static Moves no_placement() { return Moves(kNoPlacement); }

  bool placed() const { return placed_; }
  Fraction const& exact() const { return exact_; }
  bool whole() const { return !placed_ || denominator(exact_) == 1; }
  // The whole number of moves, kNoPlacement for no placement; the value must be whole.
  int whole_moves() const;
  // "p/q" in lowest terms ("p/1" for a whole number); "" for no placement.
  std::string fraction_text() const;
  // The value rounded to `digits` decimals ("13.766642"); "" for no placement.
  std::string decimal_text(int digits = 6) const;
  double approx() const;

  // No placement counts as more than every number.
  friend bool operator==(Moves const& a, Moves const& b) {
    return a.placed_ == b.placed_ && (!a.placed_ || a.exact_ == b.exact_);
  }
  friend bool operator<(Moves const& a, Moves const& b) {
    if (!a.placed_ || !b.placed_) return a.placed_ && !b.placed_;
    return a.exact_ < b.exact_;
  }
  friend bool operator>(Moves const& a, Moves const& b) { return b < a; }
  friend bool operator<=(Moves const& a, Moves const& b) { return !(b < a); }
  friend bool operator>=(Moves const& a, Moves const& b) { return !(a < b); }
  // Relocations added; no placement stays no placement.
  friend Moves operator+(int moves, Moves const& m) {
    return m.placed_ ? Moves(Fraction(m.exact_ + moves)) : m;
  }

 private:
  bool placed_ = true;
  Fraction exact_ = 0;
};
