#include "board_io/bounded_read.h"

BoundedText read_at_most(std::istream& in, std::size_t limit) {
  BoundedText result;
  char chunk[65536];
  while (in) {
    in.read(chunk, sizeof chunk);
    auto const got = static_cast<std::size_t>(in.gcount());
    if (result.text.size() + got > limit) {
      result.text.append(chunk, limit - result.text.size());
      result.longer = true;
      return result;
    }
    result.text.append(chunk, got);
  }
  result.failed = in.bad();
  return result;
}
