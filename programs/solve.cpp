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
#include "programs/solve_help.h"
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

// Each option with its value's name only: what combines with what is told below the list,
// in words, rather than in lists of options too long for a line.
class OptionsFormatter : public CLI::Formatter {
 public:
  std::string make_option_opts(CLI::Option const* option) const override {
    std::string const& type = option->get_type_name();
    return type.empty() ? "" : " " + type;
  }
};

void declare_options(CLI::App& app, RawOptions& raw) {
  app.formatter(std::make_shared<OptionsFormatter>());
  app.description(solve_help_description());
  app.footer(solve_help_footer());
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
  app.add_option("--within", raw.within, "who orders a group: worst (default), best, random")
      ->type_name("ORDER");
  app.add_option("--retrieve-up-to", raw.retrieve_up_to,
                 "with --instance: ask for groups 1 to K only")
      ->type_name("K");
  app.add_option("--height", raw.height, "with --instance: the capacity, for headers 'S N'")
      ->type_name("H");
  app.add_option("--summary", raw.summary, "end with a row for each shape of yard (see below)")
      ->type_name("[FILE]")
      ->expected(0, 1);
  app.add_flag("--requests", raw.requests, "also show the cost of every request");
  auto* json = app.add_flag("--json", raw.json, "write JSON instead of text");
  auto* csv = app.add_flag("--csv", raw.csv, "write CSV, not JSON Lines (--batch, --instance)");
  json->excludes(csv);
  auto* play = app.add_flag("--play", raw.play, "play the requesting side against the solver");
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
                               "check a move list on the yard given; no solve")
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
