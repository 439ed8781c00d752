#include "solve_cli/run_check_moves.h"

#include <iostream>

#include "replay/move_check.h"
#include "report/json_report.h"
#include "solve_cli/diagnostics.h"
#include "solve_cli/input_file.h"
#include "solve_cli/interrupt.h"
#include "solve_cli/read_board.h"
#include "solve_cli/read_yard.h"

namespace {

// The yard to play on, in its columns as given, and whether it is a two-class board.
struct GivenYard {
  std::string where;
  std::variant<Yard, BoardError> yard;
  bool two_class = false;
};

GivenYard given_yard(SolveOptions const& options) {
  if (!options.instances.empty()) {
    ReadYard read = read_yard(options.instances.front(), options);
    return {read.where, std::move(read.yard), false};
  }
  ReadBoard read = read_board(options);
  if (auto* error = std::get_if<BoardError>(&read.board)) return {read.where, *error, true};
  return {read.where, yard_of(std::get<State>(read.board)), true};
}

std::string checked_text(CheckedMoves const& checked, bool json) {
  if (json) {
    JsonRecord record;
    record["legal"] = true;
    record["relocations"] = checked.relocations;
    record["retrievals"] = checked.retrievals;
    return json_line(record);
  }
  return std::to_string(checked.relocations) +
         (checked.relocations == 1 ? " relocation, " : " relocations, ") +
         std::to_string(checked.retrievals) +
         (checked.retrievals == 1 ? " retrieval\n" : " retrievals\n");
}

ExitStatus illegal(SolveOptions const& options, std::string const& where, BoardError const& error,
                   ProgressLine& progress) {
  print_error(progress, where, error.to_string());
  if (options.json) {
    JsonRecord record;
    record["legal"] = false;
    record["line"] = error.line > 0 ? JsonRecord(error.line) : JsonRecord();
    record["error"] = error.what;
    std::cout << json_line(record);
  }
  return kExitBadInput;
}

}  // namespace

ExitStatus run_check_moves(SolveOptions const& options, ProgressLine& progress) {
  GivenYard const given = given_yard(options);
  if (interrupted()) return kExitSolved;
  if (auto const* error = std::get_if<BoardError>(&given.yard)) {
    print_error(progress, given.where, error->to_string());
    return kExitBadInput;
  }
  InputFile input = open_input(*options.check_moves);
  if (!input.stream) {
    print_error(progress, input.name, input.error);
    return kExitBadInput;
  }
  ParsedMoves const moves = read_move_list(*input.stream);
  if (interrupted()) return kExitSolved;
  if (input.read_failed()) {
    print_error(progress, input.name, "reading the list failed");
    return kExitBadInput;
  }
  if (auto const* error = std::get_if<BoardError>(&moves)) {
    return illegal(options, input.name, *error, progress);
  }
  auto const checked = check_moves(std::get<Yard>(given.yard),
                                   std::get<std::vector<ListedMove>>(moves), given.two_class);
  if (auto const* error = std::get_if<BoardError>(&checked)) {
    return illegal(options, input.name, *error, progress);
  }
  std::cout << checked_text(std::get<CheckedMoves>(checked), options.json);
  return kExitSolved;
}
