// The command line of the programs that solve a built-in yard: none, or --help or --version,
// so that a person (and help2man, for their manual pages) can ask what they do.
#pragma once

#include <optional>
#include <string>

// Nothing when the program should run as it always does (no arguments). Otherwise what it has
// done instead, as its exit status: written its help or version (0, or 1 when that could not
// be written), or said on standard error that an argument is unknown (2).
std::optional<int> builtin_options(int argc, char** argv, std::string const& name,
                                   std::string const& help);
