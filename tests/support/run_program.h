// Runs one of the project's programs as a child process, for end-to-end tests.
#pragma once

#include <string>
#include <vector>

struct ProgramRun {
  std::string out;
  std::string err;
  int exit_status = -1;  // -1 when the program did not exit normally
};

// Runs argv[0] with the arguments argv[1..], feeding `input` to its standard input and then
// closing it, and collects both output streams until it exits.
ProgramRun run_program(std::vector<std::string> const& argv, std::string const& input = "");

// The output with the figure on its "Time taken: " line replaced by <TIME>, so that it can be
// compared with a golden file; the line must otherwise be as the programs write it.
std::string mask_time(std::string const& output);

std::string read_file(std::string const& path);
