#include "solver/gen_all_seq.h"

#include <algorithm>
#include <stdexcept>

std::vector<std::vector<int>> gen_all_seq(int a, int n, int x) {
  if (n < 0) throw std::length_error("cannot create std::vector larger than max_size()");
  std::vector<std::vector<int>> result;
  if (n == 0) {
    result.emplace_back();
    return result;
  }
  // An odometer in base a; every position it passes through that avoids x is kept.
  std::vector<int> counter(static_cast<std::size_t>(n), 0);
  while (true) {
    if (std::find(counter.begin(), counter.end(), x) == counter.end()) result.push_back(counter);
    int digit = n - 1;
    while (digit >= 0 && counter[digit] + 1 >= a) {
      counter[digit] = 0;
      --digit;
    }
    if (digit < 0) return result;
    ++counter[digit];
  }
}
