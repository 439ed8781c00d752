// What a yard or a request is worth: a whole number of relocations when one side orders the
// requests, an exact fraction (the expectation) when chance does, or "no placement".
#pragma once

#include <boost/multiprecision/cpp_int.hpp>
#include <cstdint>
#include <string>

#include "rules/no_placement.h"

// Denominators of expectations grow like the factorial of a group's size, so an exact value
// needs integers of any size; cpp_rational keeps small ones inline, without allocating.
using Fraction = boost::multiprecision::cpp_rational;

// a < b, through 64-bit products when both terms of both fractions fit one limb with room: the
// searches of the random order compare fractions at every child they make, and the general
// comparison, which sizes its products first, was a sixth of their time.
inline bool fraction_less(Fraction const& a, Fraction const& b) {
  auto const small = [](auto const& part) { return part.size() == 1 && *part.limbs() >> 62 == 0; };
  auto const& an = a.backend().num();
  auto const& ad = a.backend().denom();
  auto const& bn = b.backend().num();
  auto const& bd = b.backend().denom();
  if (!(small(an) && small(ad) && small(bn) && small(bd))) return a < b;
  auto const term = [](auto const& part) {
    auto const magnitude = static_cast<std::int64_t>(*part.limbs());
    return part.sign() ? -magnitude : magnitude;
  };
  std::int64_t left;
  std::int64_t right;
  if (__builtin_mul_overflow(term(an), term(bd), &left) ||
      __builtin_mul_overflow(term(bn), term(ad), &right)) {
    return a < b;
  }
  return left < right;
}

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
    return fraction_less(a.exact_, b.exact_);
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
