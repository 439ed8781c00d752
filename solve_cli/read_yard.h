// A yard of retrieval groups from an instance file of --instance, with the capacity of
// --height, cut down to the groups of --retrieve-up-to.
#pragma once

#include <string>

#include "board_io/instance_form.h"
#include "solve_cli/solve_options.h"

// The yard (or why it could not be read or searched), and the name messages give its source.
struct ReadYard {
  std::string where;
  ParsedYard yard;
};

ReadYard read_yard(std::string const& path, SolveOptions const& options);
