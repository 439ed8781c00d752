// stacks_solve: solves, analyses and reports any yard a user brings, given in compact form, as
// a drawing, or as a batch of compact boards.
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <exception>
#include <iostream>
#include <new>

#include "solve_cli/diagnostics.h"
#include "solve_cli/exit_status.h"
#include "solve_cli/memory_size.h"
#include "solve_cli/run_batch.h"
#include "solve_cli/run_play.h"
#include "solve_cli/run_single.h"
#include "solve_cli/solve_options.h"

namespace {

constexpr char const* kUsage =
    "usage: stacks_solve [OPTIONS] (--board TEXT | FILE | --batch FILE); see --help";

constexpr char const* kDescription =
    "Computes the least number of relocations that always suffices to take every target out of\n"
    "a yard, whatever order the targets are asked for in, and shows best play for both sides.";

constexpr char const* kFooter = R"(Input (give exactly one):
  --board TEXT   stacks separated by '/', each written bottom slot first as digits
                 0 empty, 1 target, 2 other item, all of the same length (the capacity),
                 e.g. 1222000/1121000/1122000/1221000
  FILE           a board drawn as the programs draw it: rows top slot first, each between
                 '|' characters, 'o' target, 'x' other item, ' ' or '.' empty; ruler lines
                 of '-' and colour codes are ignored. '-' reads standard input.
  --batch FILE   one compact board a line; blank lines and lines starting with '#' are
                 skipped. '-' reads standard input.

Output:
  The board is put into canonical order (stacks sorted bottom slot first, empty < target <
  other) before it is solved; the output shows that board, and every stack and slot refers
  to it, counted from 0 (stack 0 at the left, slot 0 at the bottom).
  default        "Minimum moves: V", the board, then best play for both sides: the board
                 with each request highlighted, then the board after its retrieval
  --requests     also the cost of every request on the board, the hardest marked (in JSON:
                 a "requests" array)
  --json         one JSON object instead of the text
  --batch        JSON Lines, one object per board line in input order; a line that cannot
                 be read or solved gives {"input_line", "error"}
  --batch --csv  CSV instead: line,board,value,states,seconds (value empty for no placement);
                 a line that cannot be read or solved gives no row
  A value of "no placement" (the items lifted for some request fit nowhere) is said in words,
  and is null in JSON.
  --play         the game of stacks_interactive on this board: after the time and the value,
                 each turn shows the hardest request as advice ("You should try:"), reads the
                 number of a stack from standard input (its lowest target is requested),
                 shows the request's cost and the board after the best retrieval. A bad
                 number gets a line on standard error and is asked again.

Limits:
  --max-memory SIZE  bytes, or a whole number with K, M or G (powers of 1024): 65536, 64K,
                 512M, 2G. Default: half the physical memory. A search that would need more
                 stops with a message and exit status 3.
  A solve that takes more than a second shows its progress on standard error when that is a
  terminal (boards solved, boards stored, seconds), and nothing otherwise.

Exit status:
  0  solved (every board of a batch)
  1  internal error, or the output could not be written
  2  bad input or usage (in a batch: some line, after the others were solved; with
     --play: the input ended before the game was over)
  3  a resource limit: the search needed more than --max-memory, or memory ran out
  In a batch with several failures: 1 before 2 before 3.)";

// The command line as CLI11 reads it, before the checks that span several options.
struct RawOptions {
  std::string board;
  std::string drawing;
  std::string batch;
  std::string max_memory;
  bool requests = false;
  bool json = false;
  bool csv = false;
  bool play = false;
};

void declare_options(CLI::App& app, RawOptions& raw) {
  app.description(kDescription);
  app.footer(kFooter);
  app.set_version_flag("--version", std::string("stacks_solve ") + STACKS_VERSION);
  auto* board = app.add_option("--board", raw.board, "the board in compact form (see below)");
  auto* drawing = app.add_option("FILE", raw.drawing, "a file holding a board drawing; - for stdin")
                      ->type_name("");
  auto* batch =
      app.add_option("--batch", raw.batch, "a file of compact boards, one a line; - for stdin")
          ->type_name("FILE");
  board->excludes(drawing)->excludes(batch);
  drawing->excludes(batch);
  app.add_flag("--requests", raw.requests, "also show the cost of every request");
  auto* json = app.add_flag("--json", raw.json, "write JSON instead of text");
  auto* csv = app.add_flag("--csv", raw.csv, "with --batch: write CSV instead of JSON Lines");
  json->excludes(csv);
  auto* play = app.add_flag("--play", raw.play,
                            "play the requesting side against the solver (moves on stdin)");
  play->excludes(batch)->excludes(json)->excludes(csv);
  app.add_option("--max-memory", raw.max_memory, "memory the search may take (see below)")
      ->type_name("SIZE");
}

// The checks that CLI11 does not make; an empty string when the options hold together.
std::string check_options(CLI::App const& app, RawOptions const& raw, SolveOptions& options) {
  if (app.count("--board") != 0) options.board_text = raw.board;
  if (app.count("FILE") != 0) options.drawing = raw.drawing;
  if (app.count("--batch") != 0) options.batch = raw.batch;
  if (!options.board_text && !options.drawing && !options.batch) {
    return "no board given: use --board TEXT, a FILE, or --batch FILE";
  }
  if (raw.csv && !options.batch) return "--csv is for --batch only";
  if (raw.csv && raw.requests) return "--requests has no column in --csv; use JSON Lines";
  if (raw.play && raw.requests) return "--requests has no place in --play";
  if (raw.play && options.drawing && *options.drawing == "-") {
    return "--play reads the moves from standard input; give the board with --board or a FILE";
  }
  options.play = raw.play;
  options.requests = raw.requests;
  options.json = raw.json;
  options.csv = raw.csv;
  options.max_bytes = default_memory_budget();
  if (app.count("--max-memory") != 0) {
    auto const size = parse_memory_size(raw.max_memory);
    if (!size) {
      return "--max-memory: '" + raw.max_memory +
             "' is not a size (a whole number of bytes above 0, or with K, M or G)";
    }
    options.max_bytes = *size;
  }
  return {};
}

int usage_error(std::string const& what) {
  std::cerr << "stacks_solve: " << what << "; " << kUsage << "\n";
  return kExitBadInput;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app("stacks_solve", "stacks_solve");
  RawOptions raw;
  declare_options(app, raw);
  try {
    app.parse(argc, argv);
  } catch (CLI::ParseError const& e) {
    if (e.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success)) return app.exit(e);
    return usage_error(e.what());
  }
  SolveOptions options;
  if (std::string const problem = check_options(app, raw, options); !problem.empty()) {
    return usage_error(problem);
  }

  ProgressLine progress(std::cerr, isatty(2) == 1);
  try {
    ExitStatus const status = options.batch  ? run_batch(options, progress)
                              : options.play ? run_play(options, progress)
                                             : run_single(options, progress);
    std::cout.flush();
    if (!std::cout) {
      print_error(progress, "", "writing the output failed");
      return kExitInternalError;
    }
    return status;
  } catch (std::bad_alloc const&) {
    print_error(progress, "", out_of_memory_message());
    return kExitResourceLimit;
  } catch (std::exception const& e) {
    print_error(progress, "", std::string("internal error: ") + e.what());
    return kExitInternalError;
  }
}
