#include "solve_cli/diagnostics.h"

#include <cstdio>
#include <iostream>

#include "solve_cli/memory_size.h"

namespace {

// The length of the UTF-8 character at text[at] when it is well formed and prints (a code
// point from U+00A0 on); 0 otherwise.
std::size_t printable_utf8_length(std::string_view text, std::size_t at) {
  auto const byte = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  unsigned char const lead = byte(at);
  std::size_t const length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
  if (length == 0 || lead > 0xF4 || at + length > text.size()) return 0;
  char32_t code = lead & (0x7F >> length);
  for (std::size_t i = at + 1; i < at + length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
    code = code << 6 | (byte(i) & 0x3F);
  }
  // Overlong forms, surrogates and code points past Unicode's are not characters at all.
  constexpr char32_t kLeast[] = {0, 0, 0xA0, 0x800, 0x10000};
  if (code < kLeast[length] || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) return 0;
  return length;
}

}  // namespace

void print_error(ProgressLine& progress, std::string const& where, std::string const& what) {
  progress.clear();
  std::cerr << "stacks_solve: " << (where.empty() ? "" : escape_unprintable(where) + ": ")
            << escape_unprintable(what) << "\n";
}

std::string escape_unprintable(std::string_view text) {
  std::string shown;
  for (std::size_t i = 0; i < text.size(); ++i) {
    auto const code = static_cast<unsigned char>(text[i]);
    if (code >= 0x20 && code < 0x7F) {
      shown += text[i];
    } else if (std::size_t const length = printable_utf8_length(text, i); length > 0) {
      shown.append(text, i, length);
      i += length - 1;
    } else if (text[i] == '\n') {
      shown += "\\n";
    } else if (text[i] == '\r') {
      shown += "\\r";
    } else if (text[i] == '\t') {
      shown += "\\t";
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", code);
      shown += hex;
    }
  }
  return shown;
}

std::string memory_budget_message(std::size_t max_bytes, std::string_view option) {
  return "the search needs more than " + format_memory_size(max_bytes) + " of memory (raise " +
         std::string(option) + ")";
}

std::string out_of_memory_message(std::string_view option) {
  return "the machine ran out of memory during the search (lower " + std::string(option) +
         ", or free memory)";
}
