#include "report/csv_report.h"

#include <cstdio>

#include "board_io/compact_form.h"
#include "board_io/instance_form.h"
#include "rules/no_placement.h"

namespace {

std::string seconds_text(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.6f", seconds);
  return text;
}

}  // namespace

std::string csv_header() {
  return "line,board,value,states,seconds\n";
}

std::string csv_row(long input_line, SolveResult const& result) {
  std::string const value = result.value == kNoPlacement ? "" : std::to_string(result.value);
  return std::to_string(input_line) + "," + format_compact_board(result.board) + "," + value + "," +
         std::to_string(result.states) + "," + seconds_text(result.seconds) + "\n";
}

std::string csv_field(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

std::string yard_csv_header(std::string_view first) {
  return csv_field(first) + ",board,within,groups,value,value_fraction,states,seconds\n";
}

std::string yard_csv_row(std::string_view first, YardResult const& result) {
  Moves const& value = result.value;
  bool const random = result.within == Within::random;
  std::string value_text;
  if (value.placed())
    value_text = random ? value.decimal_text() : std::to_string(value.whole_moves());
  std::string const fraction = random ? value.fraction_text() : "";
  return csv_field(first) + "," + csv_field(format_yard(result.yard)) + "," +
         within_name(result.within) + "," + std::to_string(result.yard.groups) + "," + value_text +
         "," + fraction + "," + std::to_string(result.states) + "," + seconds_text(result.seconds) +
         "\n";
}
