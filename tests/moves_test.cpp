#include <gtest/gtest.h>

#include <vector>

#include "rules/moves.h"

// The quick comparison of fractions agrees with the exact one at every size: small terms,
// terms at the edge of a limb, products past 64 bits, terms of several limbs, and signs.
TEST(Moves, OrderedAsTheirExactFractionsAtEverySize) {
  using boost::multiprecision::cpp_int;
  Fraction const edge((cpp_int(1) << 62) - 1);  // the largest term compared in 64 bits
  Fraction const big(cpp_int(1) << 70);
  std::vector<Fraction> const values = {
      0,
      Fraction(1, 3),
      Fraction(-1, 3),
      Fraction(555071, 40320),
      Fraction(555072, 40321),
      edge,
      edge + 1,
      Fraction((cpp_int(1) << 63) + 1),
      -Fraction((cpp_int(1) << 63) + 1, 5),
      edge / (edge - 2),
      (edge - 4) / (edge - 6),
      -edge / 7,
      big / 7,
      -big / 7,
      big / (big + 1),
      Fraction(1) / big,
  };
  for (Fraction const& a : values) {
    for (Fraction const& b : values) {
      EXPECT_EQ(fraction_less(a, b), a < b) << a << " < " << b;
      EXPECT_EQ(Moves(a) < Moves(b), a < b) << a << " < " << b;
    }
  }
}
