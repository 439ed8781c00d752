#include "solve_cli/write_moves.h"

#include <fstream>

#include "board_io/compact_form.h"
#include "board_io/instance_form.h"
#include "report/move_list.h"
#include "report/text_report.h"
#include "solve_cli/diagnostics.h"

namespace {

// "value 19", or what a search that stopped proved.
std::string outcome(SearchStatus status, Moves const& value, ValueBounds const& bounds,
                    Within within) {
  if (status == SearchStatus::optimal) return "value " + moves_text(value, within);
  std::string text = std::string("search stopped (") + status_name(status) + "): value at least " +
                     moves_text(bounds.lower, within);
  if (!bounds.upper.placed()) return text + ", no upper bound known";
  return text + ", at most " + moves_text(bounds.upper, within) + " (gap " +
         gap_percent(*bounds_gap(bounds)) + "); the line is the play behind the upper bound";
}

template <class Step>
std::vector<std::string> step_costs(std::vector<Step> const& line, Within within) {
  std::vector<std::string> costs;
  for (Step const& step : line) {
    Moves const cost(step.cost);
    costs.push_back(step.lower
                        ? moves_text(Moves(*step.lower), within) + " to " + moves_text(cost, within)
                        : moves_text(cost, within));
  }
  return costs;
}

std::string named(std::string const& where, std::string const& board) {
  return where == "--board" ? board : board + " (" + escape_unprintable(where) + ")";
}

ExitStatus write(SolveOptions const& options, std::string const& text, ProgressLine& progress) {
  std::ofstream file(*options.moves, std::ios::binary);
  file << text;
  file.close();
  if (file) return kExitSolved;
  print_error(progress, *options.moves, "writing the move list failed");
  return kExitInternalError;
}

}  // namespace

ExitStatus write_moves(SolveOptions const& options, SolveResult const& result,
                       std::string const& where, ProgressLine& progress) {
  if (!options.moves) return kExitSolved;
  MoveListHead const head{
      named(where, format_compact_board(state_of(result.given))), within_name(Within::worst),
      outcome(result.status, Moves(result.value), result.bounds, Within::worst)};
  return write(options,
               move_list_text(head, result.columns, step_costs(result.line, Within::worst), false),
               progress);
}

ExitStatus write_moves(SolveOptions const& options, YardResult const& result,
                       std::string const& where, ProgressLine& progress) {
  if (!options.moves) return kExitSolved;
  MoveListHead const head{named(where, format_yard(result.given)), within_name(result.within),
                          outcome(result.status, result.value, result.bounds, result.within)};
  return write(options,
               move_list_text(head, result.columns, step_costs(result.line, result.within), true),
               progress);
}
