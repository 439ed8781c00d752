// Reading a whole input that should be small, without letting a huge one take the memory.
#pragma once

#include <cstddef>
#include <istream>
#include <string>

struct BoundedText {
  std::string text;     // the first `limit` bytes at most
  bool longer = false;  // the input had more than `limit` bytes
  bool failed = false;  // reading failed (a directory, an I/O error)
};

BoundedText read_at_most(std::istream& in, std::size_t limit);
