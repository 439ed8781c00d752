// The records of a run over many yards, the lines of a --batch file or the files of
// --instance: one JSON line or CSV row for each, solved, stopped by a limit (with what it
// proved) or failed (with the error, also said on standard error), and the worst status of
// all.
#pragma once

#include <string>

#include "model/state.h"
#include "model/yard.h"
#include "report/shape_summary.h"
#include "solve_cli/exit_status.h"
#include "solve_cli/progress_line.h"
#include "solve_cli/solve_options.h"

// Where a yard came from.
struct RecordOrigin {
  long line = 0;      // the line of a batch file, counted from 1; 0 for an instance file
  std::string file;   // the instance file as the command line names it, when line is 0
  std::string where;  // how messages name it
};

class RecordRun {
 public:
  RecordRun(SolveOptions const& options, ProgressLine& progress)
      : options_(options), progress_(progress) {}

  // A two-class board in worst order, with the reports of today's --batch.
  void solve_board(RecordOrigin const& origin, State const& board);
  // A yard of retrieval groups, in the order of --within.
  void solve_yard(RecordOrigin const& origin, Yard const& yard);
  // A yard that could not be read or solved.
  void fail(RecordOrigin const& origin, std::string const& what, ExitStatus status);

  ExitStatus status() const { return status_; }
  // Every yard solved or stopped so far, by shape.
  ShapeSummary const& summary() const { return summary_; }

 private:
  template <class Solve>
  void solve_with(RecordOrigin const& origin, Within within, Solve const& solve);
  void show_progress(RecordOrigin const& origin, std::uint64_t stored, std::string const& bounds);

  SolveOptions const& options_;
  ProgressLine& progress_;
  long solved_ = 0;
  ExitStatus status_ = kExitSolved;
  ShapeSummary summary_;
};
