#include "report/csv_report.h"

#include <cstdio>

#include "board_io/compact_form.h"
#include "rules/no_placement.h"

std::string csv_header() {
  return "line,board,value,states,seconds\n";
}

std::string csv_row(long input_line, SolveResult const& result) {
  std::string const value = result.value == kNoPlacement ? "" : std::to_string(result.value);
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%.6f", result.seconds);
  return std::to_string(input_line) + "," + format_compact_board(result.board) + "," + value + "," +
         std::to_string(result.states) + "," + seconds + "\n";
}
