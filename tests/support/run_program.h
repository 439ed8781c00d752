// Runs one of the project's programs as a child process, for end-to-end tests.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

// How far a run may go before it is stopped: a program that loops must fail its test, not hang
// it or fill the memory of the process that collects its output.
struct RunLimits {
  std::chrono::milliseconds deadline{std::chrono::minutes(4)};
  std::size_t max_output = std::size_t{64} << 20;  // bytes of both streams together
};

struct ProgramRun {
  std::string out;
  std::string err;
  int exit_status = -1;  // -1 when the program did not exit normally (or was stopped)
  std::string stopped;   // why the run was stopped: the deadline or the output cap; else empty
};

// Runs argv[0] with the arguments argv[1..], feeding `input` to its standard input and then
// closing it, and collects both output streams until it exits. A run that passes a limit is
// killed with everything it started (it leads a process group of its own), and its output is
// what was read until then.
ProgramRun run_program(std::vector<std::string> const& argv, std::string const& input = "",
                       RunLimits limits = {});

// The output with the figure on its "Time taken: " line replaced by <TIME>, so that it can be
// compared with a golden file; the line must otherwise be as the programs write it.
std::string mask_time(std::string const& output);

std::string read_file(std::string const& path);
