#include "solve_cli/run_batch.h"

#include <unistd.h>

#include <iostream>
#include <new>

#include "board_io/batch_reader.h"
#include "report/csv_report.h"
#include "report/json_report.h"
#include "solve_cli/diagnostics.h"
#include "solve_cli/input_file.h"
#include "solve_cli/solve_board.h"

namespace {

std::string json_line(JsonRecord const& record) {
  return record.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

// Writes a record; the progress line is wiped first when both share the terminal, and is left
// standing when the records go elsewhere.
void write_record(ProgressLine& progress, std::string const& text) {
  static bool const output_is_terminal = isatty(1) == 1;
  if (output_is_terminal) progress.clear();
  std::cout << text;
}

class BatchRun {
 public:
  BatchRun(SolveOptions const& options, ProgressLine& progress, std::string name)
      : options_(options), progress_(progress), name_(std::move(name)) {}

  void solve_entry(BatchEntry const& entry) {
    if (auto const* error = std::get_if<BoardError>(&entry.board)) {
      fail(entry.line, error->to_string(), kExitBadInput);
      return;
    }
    try {
      auto const show_progress = [this, &entry](SearchStats const& stats) {
        progress_.show(
            progress_status(solved_, entry.line, stats.stored, progress_.elapsed_seconds()));
      };
      auto const result =
          solve_board(std::get<State>(entry.board), {!options_.csv, options_.requests},
                      options_.max_bytes, show_progress);
      if (!result) {
        fail(entry.line, memory_budget_message(options_.max_bytes), kExitResourceLimit);
        return;
      }
      ++solved_;
      write_record(progress_, options_.csv ? csv_row(entry.line, *result)
                                           : json_line(solve_result_json(*result, entry.line)));
      progress_.show(
          progress_status(solved_, entry.line, result->states, progress_.elapsed_seconds()));
    } catch (std::bad_alloc const&) {
      fail(entry.line, out_of_memory_message(), kExitResourceLimit);
    }
  }

  void fail(long line, std::string const& what, ExitStatus status) {
    status_ = worse_exit_status(status_, status);
    // A board error names its line already; a solve that gave up does not.
    bool const names_line = status == kExitBadInput;
    print_error(progress_, names_line ? name_ : name_ + ": line " + std::to_string(line), what);
    if (!options_.csv) write_record(progress_, json_line(batch_error_json(line, what)));
  }

  ExitStatus status() const { return status_; }

 private:
  SolveOptions const& options_;
  ProgressLine& progress_;
  std::string name_;
  long solved_ = 0;
  ExitStatus status_ = kExitSolved;
};

}  // namespace

ExitStatus run_batch(SolveOptions const& options, ProgressLine& progress) {
  InputFile input = open_input(*options.batch);
  if (!input.stream) {
    print_error(progress, input.name, input.error);
    return kExitBadInput;
  }
  if (options.csv) std::cout << csv_header();
  BatchRun run(options, progress, input.name);
  BatchReader reader(*input.stream);
  while (auto entry = reader.next())
    run.solve_entry(*entry);
  progress.clear();
  if (reader.read_failed()) {
    print_error(progress, input.name, "reading it failed");
    return worse_exit_status(run.status(), kExitBadInput);
  }
  return run.status();
}
