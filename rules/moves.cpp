#include "rules/moves.h"

#include <stdexcept>

int Moves::whole_moves() const {
  if (!placed_) return kNoPlacement;
  if (denominator(exact_) != 1) throw std::logic_error("a fraction of a move taken as whole");
  return static_cast<int>(numerator(exact_));
}

std::string Moves::fraction_text() const {
  if (!placed_) return "";
  return numerator(exact_).str() + "/" + denominator(exact_).str();
}

std::string Moves::decimal_text(int digits) const {
  if (!placed_) return "";
  using boost::multiprecision::cpp_int;
  cpp_int scale = 1;
  for (int i = 0; i < digits; ++i)
    scale *= 10;
  // Round half up on the scaled value; values are never negative.
  cpp_int const scaled =
      (numerator(exact_) * scale * 2 + denominator(exact_)) / (denominator(exact_) * 2);
  std::string text = cpp_int(scaled / scale).str();
  if (digits > 0) {
    std::string frac = cpp_int(scaled % scale).str();
    while (static_cast<int>(frac.size()) < digits)
      frac.insert(frac.begin(), '0');
    text += '.';
    text += frac;
  }
  return text;
}

double Moves::approx() const {
  if (!placed_) return std::numeric_limits<double>::infinity();
  return static_cast<double>(exact_);
}
