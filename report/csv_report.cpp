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

std::string number_text(Moves const& moves, Within within) {
  if (!moves.placed()) return "";
  return within == Within::random ? moves.decimal_text() : std::to_string(moves.whole_moves());
}

// status, value, [value_fraction,] lower, upper
std::string outcome_fields(SearchStatus status, Moves const& value, ValueBounds const& bounds,
                           Within within, bool fraction_column) {
  bool const optimal = status == SearchStatus::optimal;
  std::string text = std::string(status_name(status)) + "," +
                     (optimal ? number_text(value, within) : "") + ",";
  if (fraction_column) {
    text += (optimal && within == Within::random ? value.fraction_text() : "") + ",";
  }
  return text + number_text(bounds.lower, within) + "," + number_text(bounds.upper, within);
}

// stacks, height, items, gap
std::string shape_fields(int stacks, int height, int items, SearchStatus status,
                         ValueBounds const& bounds) {
  return std::to_string(stacks) + "," + std::to_string(height) + "," + std::to_string(items) + "," +
         gap_decimal(value_gap(status, bounds));
}

// The columns after error, which every header ends with.
constexpr char const* kShapeColumns = ",stacks,height,items,gap\n";

}  // namespace

std::string csv_header() {
  return std::string("line,board,status,value,lower,upper,states,seconds,error") + kShapeColumns;
}

std::string csv_row(long input_line, SolveResult const& result) {
  State const& board = result.board;
  return std::to_string(input_line) + "," + format_compact_board(board) + "," +
         outcome_fields(result.status, result.value, result.bounds, Within::worst, false) + "," +
         std::to_string(result.states) + "," + seconds_text(result.seconds) + "," +
         csv_field(result.error) + "," +
         shape_fields(board.n_stacks, board.max_height, count_items(board), result.status,
                      result.bounds) +
         "\n";
}

std::string csv_error_row(std::string_view first, bool grouped, std::string_view error) {
  // Empty fields up to status, then up to error, then the shape and gap.
  std::string const before_status = grouped ? ",,," : ",";
  std::string const after_status = grouped ? ",,,,,,," : ",,,,,,";
  return csv_field(first) + before_status + ",error" + after_status + csv_field(error) + ",,,,\n";
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
  return csv_field(first) +
         ",board,within,groups,status,value,value_fraction,lower,upper,states,seconds,error" +
         kShapeColumns;
}

std::string yard_csv_row(std::string_view first, YardResult const& result) {
  Yard const& yard = result.yard;
  return csv_field(first) + "," + csv_field(format_yard(yard)) + "," + within_name(result.within) +
         "," + std::to_string(yard.groups) + "," +
         outcome_fields(result.status, result.value, result.bounds, result.within, true) + "," +
         std::to_string(result.states) + "," + seconds_text(result.seconds) + "," +
         csv_field(result.error) + "," +
         shape_fields(yard.n_stacks, yard.height, yard.items(), result.status, result.bounds) +
         "\n";
}
