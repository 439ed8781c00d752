// What the command line of stacks_solve asked for, once it has been checked.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "replay/drawing.h"
#include "rules/within.h"

struct SolveOptions {
  std::optional<std::string> board_text;  // --board
  std::optional<std::string> drawing;     // FILE, "-" for standard input
  std::optional<std::string> batch;       // --batch FILE, "-" for standard input
  std::vector<std::string> instances;     // --instance FILE..., "-" for standard input
  std::optional<int> retrieve_up_to;      // --retrieve-up-to K, with --instance
  std::optional<int> height;              // --height H: the capacity, for headers "S N"
  std::optional<std::string> summary;     // --summary: "" for standard error, or a file
  Within within = Within::worst;
  bool requests = false;
  bool json = false;
  bool csv = false;
  bool play = false;          // the interactive game, moves read from standard input
  bool colour = false;        // text marks requested cells with terminal codes (--color)
  std::optional<std::string> html;  // --html FILE: the page that steps through the line
  std::optional<std::string> svg;   // --svg FILE: one step of the line as a picture
  int step = 0;                     // --step N: the step that --svg draws
  std::optional<std::string> moves;        // --moves FILE: the line as a move list
  std::optional<std::string> check_moves;  // --check-moves FILE: a move list to check, no solve
  std::size_t max_bytes = 0;  // the engine's budget; 0 for no limit
  std::optional<double> time_limit;  // --time-limit: seconds for each board
  int threads = 1;                   // --threads, by default every core the process may use

  // Whether boards go through the engine's queries on yards of retrieval groups. A two-class
  // board in worst order keeps the queries on State, and so today's reports to the byte.
  bool grouped() const { return within != Within::worst || !instances.empty(); }
};

// How the text marks a requested cell.
inline Marking marking_of(SolveOptions const& options) {
  return options.colour ? Marking::colour : Marking::plain;
}
