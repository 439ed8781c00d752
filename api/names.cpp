// The words of the public API: order and status names, and moves as text.
#include <stdexcept>
#include <string>

#include "api/public_yard.h"
#include "solve_cli/memory_size.h"
#include "stacks/stacks.h"

namespace stacks {

char const* to_string(Within within) {
  return within_name(engine_within(within));
}

char const* to_string(Status status) {
  switch (status) {
    case Status::time_limit:
      return "time_limit";
    case Status::memory_limit:
      return "memory_limit";
    case Status::interrupted:
      return "interrupted";
    case Status::optimal:
      break;
  }
  return "optimal";
}

Within parse_within(std::string_view name) {
  for (Within within : {Within::worst, Within::best, Within::random}) {
    if (name == to_string(within)) return within;
  }
  throw std::invalid_argument("within: '" + std::string(name) +
                              "' is not one of worst, best, random");
}

std::optional<std::size_t> parse_memory_size(std::string_view text) {
  return ::parse_memory_size(text);
}

std::string Moves::text() const {
  if (!placed) return "none";
  std::string::size_type const slash = fraction.find('/');
  if (slash != std::string::npos && fraction.compare(slash, std::string::npos, "/1") == 0) {
    return fraction.substr(0, slash);
  }
  return fraction;
}

}  // namespace stacks
