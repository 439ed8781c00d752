#include "solve_cli/memory_size.h"

#include <unistd.h>

#include <limits>

namespace {

constexpr std::size_t kKibi = 1024;

int suffix_power(char c) {
  switch (c) {
    case 'K':
    case 'k':
      return 1;
    case 'M':
    case 'm':
      return 2;
    case 'G':
    case 'g':
      return 3;
    default:
      return -1;
  }
}

}  // namespace

std::optional<std::size_t> parse_memory_size(std::string_view text) {
  int power = 0;
  if (!text.empty() && suffix_power(text.back()) > 0) {
    power = suffix_power(text.back());
    text.remove_suffix(1);
  }
  if (text.empty()) return std::nullopt;
  constexpr std::size_t kMax = std::numeric_limits<std::size_t>::max();
  std::size_t number = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    auto const digit = static_cast<std::size_t>(c - '0');
    if (number > (kMax - digit) / 10) return std::nullopt;
    number = number * 10 + digit;
  }
  for (int i = 0; i < power; ++i) {
    if (number > kMax / kKibi) return std::nullopt;
    number *= kKibi;
  }
  if (number == 0) return std::nullopt;
  return number;
}

std::string format_memory_size(std::size_t bytes) {
  char const* const suffixes = "KMG";
  int used = -1;
  while (used < 2 && bytes != 0 && bytes % kKibi == 0) {
    bytes /= kKibi;
    ++used;
  }
  std::string text = std::to_string(bytes);
  if (used >= 0) text += suffixes[used];
  return text;
}

std::size_t default_memory_budget() {
  long const pages = sysconf(_SC_PHYS_PAGES);
  long const page_size = sysconf(_SC_PAGE_SIZE);
  if (pages <= 0 || page_size <= 0) return 0;
  return static_cast<std::size_t>(pages) / 2 * static_cast<std::size_t>(page_size);
}
