#include "programs/builtin_options.h"

#include <cstdio>
#include <iostream>
#include <string_view>

namespace {

// An argument as a message may show it: bytes that would not print as themselves escaped.
std::string shown(std::string_view text) {
  std::string out;
  for (char c : text) {
    auto const code = static_cast<unsigned char>(c);
    if (code >= 0x20 && code != 0x7F) {
      out += c;
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", code);
      out += hex;
    }
  }
  return out;
}

}  // namespace

std::optional<int> builtin_options(int argc, char** argv, std::string const& name,
                                   std::string const& help) {
  if (argc <= 1) return std::nullopt;
  std::string_view const first = argv[1];
  bool const known = first == "--help" || first == "-h" || first == "--version";
  if (!known || argc > 2) {
    std::cerr << name << ": unknown argument '" << shown(known ? argv[2] : argv[1])
              << "': the program takes none, or --help or --version\n";
    return 2;
  }
  std::cout << (first == "--version" ? name + " " + STACKS_VERSION + "\n" : help) << std::flush;
  if (std::cout) return 0;
  std::cerr << name << ": writing the output failed\n";
  return 1;
}
