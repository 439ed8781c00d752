#include "report/opening_lines.h"

#include <sstream>

#include "rules/no_placement.h"

std::string time_taken_line(std::clock_t start, std::clock_t end) {
  std::ostringstream line;
  line << "Time taken: " << static_cast<double>(end - start) / 1000000.0 << " seconds\n";
  return line.str();
}

std::string minimum_moves_line(int value) {
  if (value == kNoPlacement) {
    return "Minimum moves: none - the items lifted for some request fit nowhere\n";
  }
  return "Minimum moves: " + std::to_string(value) + "\n";
}
