// stacks_solve: solves, analyses and reports any yard a user brings, given in compact form, as
// a drawing, or as a batch of compact boards.
#include <sched.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <new>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "board_io/instance_form.h"
#include "report/csv_report.h"
#include "solve_cli/diagnostics.h"
#include "solve_cli/exit_status.h"
#include "solve_cli/instance_paths.h"
#include "solve_cli/interrupt.h"
#include "solve_cli/memory_size.h"
#include "solve_cli/run_batch.h"
#include "solve_cli/run_check_moves.h"
#include "solve_cli/run_instances.h"
#include "solve_cli/run_play.h"
#include "solve_cli/run_single.h"
#include "solve_cli/solve_options.h"

namespace {

constexpr int kMaxThreads = 1024;

constexpr char const* kUsage =
    "usage: stacks_solve [OPTIONS] (--board TEXT | FILE | --batch FILE | --instance FILE...); "
    "see --help";

constexpr char const* kDescription =
    "Computes the least number of relocations that always suffices to take every target out of\n"
    "a yard, whatever order the targets are asked for in, and shows best play for both sides.\n"
    "Items may also leave in retrieval groups (--instance), with the order inside a group\n"
    "chosen by the worst case, the best case or chance (--within).";

constexpr char const* kFooter = R"footer(Input (give exactly one):
  --board TEXT   stacks separated by '/', each written bottom slot first as digits
                 0 empty, 1 target, 2 other item, all of the same length (the capacity),
                 e.g. 1222000/1121000/1122000/1221000
  FILE           a board drawn as the programs draw it: rows top slot first, each between
                 '|' characters, 'o' target, 'x' other item, ' ' or '.' empty; ruler lines
                 of '-' and colour codes are ignored. '-' reads standard input.
  --batch FILE   one compact board a line; blank lines and lines starting with '#' are
                 skipped. '-' reads standard input.
  --instance FILE...  one or more files in the instance form of the literature: a first
                 line "S H N" (stacks, capacity, items), then one line a stack, leftmost
                 first: its height h, then h priorities, bottom first. A priority is the
                 item's retrieval group (groups leave in increasing order), 0 an item that
                 stays. '-' reads standard input. A folder stands for every file in it, in
                 name order (hidden files left out).

Retrieval groups:
  --within worst|best|random  who orders the requests inside a group: worst (the default)
                 the requesting side, asking for the costliest item; best the retrieving
                 side, taking the cheapest; random chance, every item of the group equally
                 likely, and the value is the exact expected number of moves. With best or
                 random a board of --board, FILE or --batch is one group: its targets.
  --retrieve-up-to K  with --instance: only groups 1 to K are asked for; the items of later
                 groups stay.
  --height H     with --instance: the capacity of the stacks, for the sets whose first line
                 is "S N" (stacks, items); a first line of three numbers must agree.

Output:
  The board is put into canonical order (stacks sorted bottom slot first, empty < target <
  other) before it is solved; JSON and CSV show that board, and their stacks and slots
  refer to it, counted from 0 (stack 0 at the left, slot 0 at the bottom). The text keeps
  the columns as given (see Columns below).
  default        "Minimum moves: V", the board, then best play for both sides: for each
                 request a line "Request N: stack S, slot K, cost C", the board with the
                 request marked, the moves ("Moves (2): 1->0 (x), 1->3 (o)": from column
                 to column, the item in brackets) and the board after them
  --requests     also the cost of every request on the board, the hardest marked (in JSON:
                 a "requests" array)
  --json         one JSON object instead of the text
  --batch        JSON Lines, one object per board line in input order; a line that cannot
                 be read or solved gives {"input_line", "status": "error", "error"}
  --batch --csv  CSV instead, a row for every board line, under a header row of the columns
{{BOARD_CSV}}
                 (value empty for no placement; a line that cannot be read or solved has
                 status "error" and the message in error, quoted as CSV quotes)
  Every record says how its search ended: "status" optimal, time_limit, memory_limit or
  interrupted, with the proven bounds "lower" and "upper" (null or empty when no finite
  upper bound is known) and "gap", (upper - lower) / upper (0 when optimal, null or empty
  without a finite upper bound); "value" is set only when the status is optimal. A search that
  stopped gives, as its line, that of the placement rule behind the upper bound (each
  lifted item where it blocks least), each step with its cost's bounds.
  A value of "no placement" (the items lifted for some request fit nowhere) is said in words,
  and is null in JSON.
  Yards of groups (--instance, or --within best or random) are drawn with each item as its
  group number, 'x' an item that stays, '.' an empty slot. The text opens with "Order within
  groups: W", then "Minimum moves: V", or for random "Expected moves: 13.766642
  (555071/40320)" (rounded, then exact); the line of play takes the costliest request of
  each turn (for best order the cheapest), each step with its cost. JSON records add
  "within" and "groups"; "board" is the yard as in "2,0/1,3/" (stacks bottom first, an item
  that stays as 0); for random order each cost is a number rounded to 6 decimals with the
  exact "p/q" beside it ("value_fraction", "cost_fraction").
  --instance     with one FILE the report of a single board; with several or a folder,
                 JSON Lines, one object per file with its "file" (or {"file", "error"})
  --instance --csv  a row for every file, under a header row of the columns
{{YARD_CSV}}
                 (--batch --csv with --within best or random: the same, with line for file)
  --summary[=FILE]  end a run of --batch or --instance with a summary, a CSV row for each
                 shape (stacks, height, items) of yard: instances, solved, mean value of the
                 solved, mean and largest seconds, mean gap of the unsolved; on standard
                 error, or in FILE, so that the records stay as they are
  --play         the game of stacks_interactive on this board, in the columns as given:
                 after the time and the value, each turn shows the hardest request as
                 advice ("You should try: stack S, slot K (type T)"), reads a request
                 from standard input, shows its cost, the moves of the best retrieval
                 and the board after it; "Total moves: M" closes the game. Type S for
                 the lowest target of stack S, or S:K for the target in slot K of stack S.
                 A bad request gets a line on standard error and is asked again; on a
                 terminal a prompt on standard error asks for each. Worst order on a
                 board of --board or FILE only.

Pictures (of a board of --board or FILE, or of one --instance file; the report is written
as well):
  --html FILE    one self-contained page (no network access) that draws the yard and
                 steps through the line: buttons, arrow keys, a slider; each step shows
                 the request, its moves as arrows, the cost so far and the value; with
                 --requests also the cost of every request on the board of that step.
                 An address ending in #step=N opens it at step N.
  --svg FILE     a standalone SVG picture of the start board, or with --step N of step
                 N: 1 to the number of requests the board before that request with its
                 moves drawn as arrows, one more the yard at the end

Move lists (of a board of --board or FILE, or of one --instance file):
  --moves FILE   also write the line of play as a move list, one move a line, stacks
                 counted from 0 in the columns as given: "FROM TO" moves the top item of
                 stack FROM onto stack TO, "FROM -" retrieves the top item of stack FROM.
                 Lines starting with '#' are comments: the first names the yard, the order
                 and the value (or the bounds of a search that stopped, whose line is then
                 the play behind its upper bound), the second the relocations and
                 retrievals, and one before the moves of each request its cost.
  --check-moves FILE  solve nothing: replay the move list FILE on the yard given, under the
                 rules: each retrieval takes an item of the lowest group left (for a board,
                 a target), in any order inside the group; only the items above the next
                 item retrieved move, each off its stack onto another with room; every item
                 asked for is retrieved by the end. A legal list prints "19 relocations, 8
                 retrievals" (with --json {"legal", "relocations", "retrievals"}), status 0;
                 the first illegal move gets one line on standard error naming its line and
                 why ("line 7: stack 3 is full"), status 2. '-' reads standard input.

Columns:
  Text reports and pictures draw the yard as it was given: stacks keep their columns for
  the whole line, numbered from 0 under each drawing, and every step says which items
  moved from which column to which. JSON steps say the same in "target" and "moves".
  --color always|never|auto  mark requested cells with terminal colour codes; auto (the
                 default) only when standard output is a terminal and NO_COLOR is unset
                 or empty. Without colour the requested cell is drawn as '*'.

Limits:
  --max-memory SIZE  bytes, or a whole number with K, M or G (powers of 1024): 65536, 64K,
                 512M, 2G. Default: half the physical memory. A search that would need more
                 stops with a message and exit status 3, and reports what it proved.
  --threads N    threads that search for each board's value, sharing one table (default:
                 every core the process may use); answers are the same with any number.
                 The random order's exact means take one thread.
  --time-limit SECONDS  the most time each board's search may take (each board of a batch
                 or each file of --instance, in turn); a decimal number above 0. A search
                 that runs out reports what it proved, status time_limit.
  Ctrl-C (SIGINT) or SIGTERM stops the search at once: the board being solved is reported
  with what was proved, status interrupted, and the run ends there. Every record written is
  whole.
  A solve that takes more than a second shows its progress on standard error when that is a
  terminal (boards solved, the value's proven lower and upper bounds, boards stored,
  seconds), and nothing otherwise.

Exit status:
  0  solved (every board of a batch, every --instance file)
  1  internal error, or the output could not be written
  2  bad input or usage (in a batch: some line, after the others were solved; with several
     --instance files: some file, after the others were solved; with --play: the input
     ended before the game was over)
  3  a resource limit: the search needed more than --max-memory, or memory ran out
  4  --time-limit stopped a search (its bounds were reported)
  130, 143  SIGINT or SIGTERM stopped the run (128 + the signal's number)
  In a batch or several files with several failures: 1 before 2 before 3 before 4.)footer";

// The columns of a CSV header, "a, b, c", in lines indented as the help's descriptions.
std::string help_columns(std::string const& header) {
  constexpr std::size_t kIndent = 17;
  constexpr std::size_t kWidth = 90;
  std::string text;
  std::string line(kIndent, ' ');
  std::size_t start = 0;
  while (start < header.size() && header[start] != '\n') {
    std::size_t const end = header.find_first_of(",\n", start);
    std::string const column = header.substr(start, end - start) + (header[end] == ',' ? "," : "");
    if (line.size() + 1 + column.size() > kWidth) {
      text += line + "\n";
      line = std::string(kIndent, ' ');
    }
    line += (line.size() > kIndent ? " " : "") + column;
    start = end + 1;
  }
  return text + line;
}

// The footer of --help, with the CSV columns as the reports write them.
std::string help_footer() {
  std::string footer = kFooter;
  for (auto const& [slot, header] : {std::pair{"{{BOARD_CSV}}", csv_header()},
                                     std::pair{"{{YARD_CSV}}", yard_csv_header("file")}}) {
    footer.replace(footer.find(slot), std::string(slot).size(), help_columns(header));
  }
  return footer;
}

// The command line as CLI11 reads it, before the checks that span several options.
struct RawOptions {
  std::string board;
  std::string drawing;
  std::string batch;
  std::vector<std::string> instances;
  std::string within;
  std::string retrieve_up_to;
  std::string max_memory;
  std::string time_limit;
  std::string threads;
  bool requests = false;
  bool json = false;
  bool csv = false;
  bool play = false;
  std::string color = "auto";
  std::string html;
  std::string svg;
  std::string step;
  std::string moves;
  std::string check_moves;
  std::string height;
  std::string summary;
};

void declare_options(CLI::App& app, RawOptions& raw) {
  app.description(kDescription);
  app.footer(help_footer());
  app.set_version_flag("--version", std::string("stacks_solve ") + STACKS_VERSION);
  auto* board = app.add_option("--board", raw.board, "the board in compact form (see below)");
  auto* drawing = app.add_option("FILE", raw.drawing, "a file holding a board drawing; - for stdin")
                      ->type_name("");
  auto* batch =
      app.add_option("--batch", raw.batch, "a file of compact boards, one a line; - for stdin")
          ->type_name("FILE");
  auto* instance =
      app.add_option("--instance", raw.instances, "files of yards of retrieval groups; - for stdin")
          ->type_name("FILE");
  board->excludes(drawing)->excludes(batch)->excludes(instance);
  drawing->excludes(batch)->excludes(instance);
  batch->excludes(instance);
  app.add_option("--within", raw.within, "order inside a group: worst (default), best, random")
      ->type_name("ORDER");
  app.add_option("--retrieve-up-to", raw.retrieve_up_to,
                 "with --instance: ask for groups 1 to K only")
      ->type_name("K");
  app.add_option("--height", raw.height, "with --instance: the capacity, for headers 'S N'")
      ->type_name("H");
  app.add_option("--summary", raw.summary,
                 "end a run of many yards with a row for each shape (standard error, or FILE)")
      ->type_name("[FILE]")
      ->expected(0, 1);
  app.add_flag("--requests", raw.requests, "also show the cost of every request");
  auto* json = app.add_flag("--json", raw.json, "write JSON instead of text");
  auto* csv =
      app.add_flag("--csv", raw.csv, "with --batch or --instance: write CSV instead of JSON Lines");
  json->excludes(csv);
  auto* play = app.add_flag("--play", raw.play,
                            "play the requesting side against the solver (moves on stdin)");
  play->excludes(batch)->excludes(json)->excludes(csv);
  app.add_option("--color", raw.color, "terminal colour: always, never, auto (default)")
      ->type_name("WHEN")
      ->check(CLI::IsMember({"always", "never", "auto"}));
  auto* html = app.add_option("--html", raw.html, "also write a page that steps through the line")
                   ->type_name("FILE");
  auto* svg = app.add_option("--svg", raw.svg, "also write a step of the line as an SVG picture")
                  ->type_name("FILE");
  auto* step = app.add_option("--step", raw.step, "with --svg: the step to draw (0: the start)")
                   ->type_name("N");
  step->needs(svg);
  auto* moves =
      app.add_option("--moves", raw.moves, "also write the line as a move list")->type_name("FILE");
  auto* check = app.add_option("--check-moves", raw.check_moves,
                               "check a move list on the yard given, without solving")
                    ->type_name("FILE");
  for (auto* picture : {html, svg, moves})
    picture->excludes(batch)->excludes(play)->excludes(csv)->excludes(check);
  check->excludes(batch)->excludes(play)->excludes(csv);
  app.add_option("--max-memory", raw.max_memory, "memory the search may take (see below)")
      ->type_name("SIZE");
  app.add_option("--time-limit", raw.time_limit, "seconds each board's search may take")
      ->type_name("SECONDS");
  app.add_option("--threads", raw.threads, "threads that search (default: every core)")
      ->type_name("N");
}

// The cores this process may run on (its affinity, as a scheduler or taskset sets it).
int usable_cores() {
  cpu_set_t set;
  if (sched_getaffinity(0, sizeof set, &set) == 0) return std::max(CPU_COUNT(&set), 1);
  return std::max(static_cast<int>(std::thread::hardware_concurrency()), 1);
}

// A number of seconds above 0, as a decimal: "10", "0.5", "1e-3".
std::optional<double> parse_seconds(std::string const& text) {
  double seconds = 0;
  char const* const end = text.data() + text.size();
  auto const [stop, error] = std::from_chars(text.data(), end, seconds);
  if (text.empty() || error != std::errc() || stop != end || !(seconds > 0) ||
      !std::isfinite(seconds)) {
    return std::nullopt;
  }
  return seconds;
}

// A whole number from 0, written in digits only; one past `most` reads as `most`.
std::optional<int> parse_count(std::string const& text, int most) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) {
    return std::nullopt;
  }
  long long number = 0;
  for (char digit : text)
    number = std::min<long long>(number * 10 + (digit - '0'), most);
  return static_cast<int>(number);
}

// Any number of groups above the most a yard may hold asks for them all.
std::optional<int> parse_group_number(std::string const& text) {
  return parse_count(text, kMaxGroupNumber);
}

// The checks of the grouped solves; an empty string when they hold together.
std::string check_group_options(CLI::App const& app, RawOptions const& raw, SolveOptions& options) {
  options.instances = raw.instances;
  if (app.count("--within") != 0) {
    auto const within = parse_within(raw.within);
    if (!within) return "--within: '" + raw.within + "' is not an order; use worst, best or random";
    options.within = *within;
  }
  if (app.count("--retrieve-up-to") != 0) {
    if (options.instances.empty()) return "--retrieve-up-to is for --instance only";
    options.retrieve_up_to = parse_group_number(raw.retrieve_up_to);
    if (!options.retrieve_up_to) {
      return "--retrieve-up-to: '" + raw.retrieve_up_to + "' is not a group number (0 or more)";
    }
  }
  if (app.count("--height") != 0) {
    if (options.instances.empty()) return "--height is for --instance only";
    options.height = parse_count(raw.height, kMaxInstanceSlots + 1);
    if (!options.height || *options.height < 1 || *options.height > kMaxInstanceSlots) {
      return "--height: '" + raw.height +
             "' is not a capacity (a whole number of slots from 1 to " +
             std::to_string(kMaxInstanceSlots) + ")";
    }
  }
  if (raw.play && options.within != Within::worst) {
    return "--play is the game of worst order; it does not combine with --within " +
           std::string(within_name(options.within));
  }
  if (raw.play && !options.instances.empty()) {
    return "--play is for a board of --board or a FILE; it does not combine with --instance";
  }
  return {};
}

// Whether the input is one yard: no more than one --instance file, and no folder.
bool names_one_yard(SolveOptions const& options) {
  return options.instances.empty() ||
         (options.instances.size() == 1 && !is_folder(options.instances.front()));
}

// The checks of --moves and --check-moves; an empty string when they hold together.
std::string check_move_options(CLI::App const& app, RawOptions const& raw, SolveOptions& options) {
  if (app.count("--moves") != 0) {
    if (!names_one_yard(options)) {
      return "--moves writes the line of one yard: give one --instance file";
    }
    if (raw.moves == "-") return "--moves writes a file; standard output holds the report";
    options.moves = raw.moves;
  }
  if (app.count("--check-moves") == 0) return {};
  if (!names_one_yard(options)) return "--check-moves plays on one yard: give one --instance file";
  if (raw.requests) return "--requests has no place in --check-moves, which solves nothing";
  bool const yard_on_input = (options.drawing && *options.drawing == "-") ||
                             (!options.instances.empty() && options.instances.front() == "-");
  if (raw.check_moves == "-" && yard_on_input) {
    return "--check-moves - and the yard cannot both come from standard input";
  }
  options.check_moves = raw.check_moves;
  return {};
}

// Colour for people only: a terminal, unless NO_COLOR says otherwise; --color overrides both.
bool wants_colour(std::string const& when) {
  if (when != "auto") return when == "always";
  char const* const no_color = std::getenv("NO_COLOR");
  return isatty(1) == 1 && (no_color == nullptr || *no_color == '\0');
}

// The checks that CLI11 does not make; an empty string when the options hold together.
std::string check_options(CLI::App const& app, RawOptions const& raw, SolveOptions& options) {
  if (app.count("--board") != 0) options.board_text = raw.board;
  if (app.count("FILE") != 0) options.drawing = raw.drawing;
  if (app.count("--batch") != 0) options.batch = raw.batch;
  if (!options.board_text && !options.drawing && !options.batch && raw.instances.empty()) {
    return "no board given: use --board TEXT, a FILE, --batch FILE or --instance FILE...";
  }
  if (std::string problem = check_group_options(app, raw, options); !problem.empty()) {
    return problem;
  }
  if (raw.csv && !options.batch && options.instances.empty()) {
    return "--csv is for --batch and --instance only";
  }
  if (raw.csv && raw.requests) return "--requests has no column in --csv; use JSON Lines";
  if (raw.play && raw.requests) return "--requests has no place in --play";
  if (raw.play && options.drawing && *options.drawing == "-") {
    return "--play reads the moves from standard input; give the board with --board or a FILE";
  }
  if (app.count("--html") + app.count("--svg") != 0 && !names_one_yard(options)) {
    return "--html and --svg draw one yard: give one --instance file";
  }
  if (app.count("--summary") != 0) {
    if (!options.batch && options.instances.empty())
      return "--summary is for --batch and --instance";
    if (raw.play || app.count("--check-moves") != 0) return "--summary sums up solves, not moves";
    if (raw.summary == "-") {
      return "--summary: '-' would mix the summary into the records: name a file, or give no "
             "file for standard error";
    }
    options.summary = raw.summary;
  }
  if (std::string problem = check_move_options(app, raw, options); !problem.empty()) {
    return problem;
  }
  if (app.count("--html") != 0) options.html = raw.html;
  if (app.count("--svg") != 0) options.svg = raw.svg;
  if (app.count("--step") != 0) {
    // No line has as many steps as a yard has slots.
    std::optional<int> const step = parse_count(raw.step, kMaxInstanceSlots);
    if (!step) return "--step: '" + raw.step + "' is not a step (0 the start, 1 the first request)";
    if (*step == kMaxInstanceSlots) return "--step: '" + raw.step + "' is past the end of any line";
    options.step = *step;
  }
  options.colour = wants_colour(raw.color);
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
  options.threads = usable_cores();
  if (app.count("--threads") != 0) {
    std::optional<int> const threads = parse_count(raw.threads, kMaxThreads + 1);
    if (!threads || *threads < 1 || *threads > kMaxThreads) {
      return "--threads: '" + raw.threads + "' is not a number of threads from 1 to " +
             std::to_string(kMaxThreads);
    }
    options.threads = *threads;
  }
  if (app.count("--time-limit") != 0) {
    if (raw.play) return "--time-limit has no place in --play";
    options.time_limit = parse_seconds(raw.time_limit);
    if (!options.time_limit) {
      return "--time-limit: '" + raw.time_limit + "' is not a number of seconds above 0";
    }
  }
  return {};
}

// The words may quote an argument as given: a file name, say, with a line end in it.
int usage_error(std::string const& what) {
  std::cerr << "stacks_solve: " << escape_unprintable(what) << "; " << kUsage << "\n";
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
    if (e.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success)) {
      int const status = app.exit(e);
      std::cout.flush();
      if (std::cout) return status;
      std::cerr << "stacks_solve: writing the output failed\n";
      return kExitInternalError;
    }
    return usage_error(e.what());
  }
  SolveOptions options;
  if (std::string const problem = check_options(app, raw, options); !problem.empty()) {
    return usage_error(problem);
  }

  ProgressLine progress(std::cerr, isatty(2) == 1);
  // The game reads its moves from the user, who stops it the usual way.
  if (!options.play) catch_interrupts();
  try {
    ExitStatus const status = options.check_moves          ? run_check_moves(options, progress)
                              : options.batch              ? run_batch(options, progress)
                              : !options.instances.empty() ? run_instances(options, progress)
                              : options.play               ? run_play(options, progress)
                                                           : run_single(options, progress);
    std::cout.flush();
    if (!std::cout) {
      print_error(progress, "", "writing the output failed");
      return kExitInternalError;
    }
    if (interrupted()) return 128 + interrupt_signal();
    return status;
  } catch (std::bad_alloc const&) {
    print_error(progress, "", out_of_memory_message());
    return kExitResourceLimit;
  } catch (std::exception const& e) {
    print_error(progress, "", std::string("internal error: ") + e.what());
    return kExitInternalError;
  }
}
