// What a yard or a request is worth: a whole number of relocations when one side orders the
// requests, an exact fraction (the expectation) when chance does, or "no placement".
#pragma once

#include <boost/multiprecision/cpp_int.hpp>
#include <cstdint>
#include <numeric>
#include <string>

#include "rules/no_placement.h"

// Denominators of expectations grow like the factorial of a group's size, so an exact value
// needs integers of any size; cpp_rational keeps small ones inline, without allocating.
using Fraction = boost::multiprecision::cpp_rational;

// The searches of the random order make and compare fractions at every child, nearly all of
// them of terms that fit 64 bits, where the general operations size multiprecision numbers
// first (comparing was a sixth of their time). These two take such fractions as they are.

// f's terms, when both fit 62 bits, so that a product of two of them is seen to overflow or not.
inline bool small_terms(Fraction const& f, std::int64_t& numerator, std::int64_t& denominator) {
  auto const& num = f.backend().num();
  auto const& den = f.backend().denom();
  if (num.size() != 1 || den.size() != 1 || (*num.limbs() | *den.limbs()) >> 62 != 0) return false;
  auto const magnitude = static_cast<std::int64_t>(*num.limbs());
  numerator = num.sign() ? -magnitude : magnitude;
  denominator = static_cast<std::int64_t>(*den.limbs());
  return true;
}

// numerator/denominator (denominator > 0), reduced in 64 bits and set as it is.
inline Fraction lowest_terms(std::int64_t numerator, std::int64_t denominator) {
  std::int64_t const g = std::gcd(numerator, denominator);
  Fraction f;
  f.backend().num() = static_cast<long long>(numerator / g);
  f.backend().denom() = static_cast<long long>(denominator / g);
  return f;
}

// a < b, through 64-bit products where the terms allow.
inline bool fraction_less(Fraction const& a, Fraction const& b) {
  std::int64_t an, ad, bn, bd, left, right;
  if (!small_terms(a, an, ad) || !small_terms(b, bn, bd) || __builtin_mul_overflow(an, bd, &left) ||
      __builtin_mul_overflow(bn, ad, &right)) {
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
