// The search engine's value query on every board of a batch file (bench/edge_yards.txt), or on
// every yard of instance files, each from a fresh engine, one line of CSV a board as soon as it
// is solved:
//   board,value,lower,upper,stored,searched,seconds
// so that a change to the search can be judged by how much it searches (machine-independent)
// before it is timed. A board is given `--time-limit` seconds (default 600); one that runs out
// shows an empty value and the bounds proved.
//
//   edge_bench FILE [--threads N] [--time-limit S] [--only TEXT]
//   edge_bench --instance FILE... [--within worst|best|random] [--threads N] [--time-limit S]
//
// --only keeps the boards whose compact form contains TEXT. With --instance, `board` is the
// file's name and `value` the exact fraction for the random order.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <variant>
#include <vector>

#include "board_io/batch_reader.h"
#include "board_io/compact_form.h"
#include "board_io/instance_form.h"
#include "search/engine.h"

namespace {

struct Options {
  std::vector<std::string> files;
  bool instances = false;
  Within within = Within::worst;
  int threads = 1;
  double time_limit = 600;
  std::string only;
};

[[noreturn]] void usage(std::string const& why) {
  std::cerr << "edge_bench: " << why << "\nusage: edge_bench FILE [--threads N] [--time-limit S]"
            << " [--only TEXT]\n       edge_bench --instance FILE... [--within ORDER]"
            << " [--threads N] [--time-limit S]\n";
  std::exit(2);
}

Options parse(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    std::string const arg = argv[i];
    bool const has_value = i + 1 < argc;
    if (arg == "--threads" && has_value) {
      o.threads = std::atoi(argv[++i]);
    } else if (arg == "--time-limit" && has_value) {
      o.time_limit = std::atof(argv[++i]);
    } else if (arg == "--only" && has_value) {
      o.only = argv[++i];
    } else if (arg == "--within" && has_value) {
      std::optional<Within> const within = parse_within(argv[++i]);
      if (!within) usage("unknown order '" + std::string(argv[i]) + "'");
      o.within = *within;
    } else if (arg == "--instance") {
      o.instances = true;
    } else if (arg[0] != '-' && (o.instances || o.files.empty())) {
      o.files.push_back(arg);
    } else {
      usage("unknown argument '" + arg + "'");
    }
  }
  if (o.files.empty()) usage("no file");
  return o;
}

std::string bound_text(Moves const& m) {
  return m.placed() ? m.fraction_text() : "";
}

void print(std::string const& name, std::optional<Moves> const& value, Engine& engine,
           ValueBounds const& bounds) {
  SearchStats const s = engine.stats();
  std::printf("%s,%s,%s,%s,%llu,%llu,%.2f\n", name.c_str(),
              value ? bound_text(*value).c_str() : "", bound_text(bounds.lower).c_str(),
              bound_text(bounds.upper).c_str(), static_cast<unsigned long long>(s.stored),
              static_cast<unsigned long long>(s.searched), s.seconds);
  std::fflush(stdout);
}

void solve_batch(Options const& o) {
  std::ifstream in(o.files[0]);
  if (!in) usage("cannot read " + o.files[0]);
  BatchReader reader(in);
  while (std::optional<BatchEntry> entry = reader.next()) {
    if (State const* board = std::get_if<State>(&entry->board)) {
      State canonical = *board;
      canonical.sort_stacks();
      std::string const compact = format_compact_board(canonical);
      if (compact.find(o.only) == std::string::npos) continue;
      Engine engine(0, nullptr, o.threads);
      engine.set_limits(SearchLimits::within_seconds(o.time_limit, nullptr));
      std::optional<int> const value = engine.value(canonical);
      ValueBounds const bounds =
          value ? ValueBounds{*value, *value} : engine.bounds(canonical).value_or(ValueBounds{});
      print(compact, value ? std::optional<Moves>(*value) : std::nullopt, engine, bounds);
    } else {
      std::cerr << "edge_bench: line " << entry->line << ": "
                << std::get<BoardError>(entry->board).what << '\n';
    }
  }
}

void solve_instances(Options const& o) {
  for (std::string const& file : o.files) {
    std::ifstream in(file);
    ParsedYard const parsed = read_instance(in);
    if (BoardError const* error = std::get_if<BoardError>(&parsed)) {
      std::cerr << "edge_bench: " << file << ": " << error->what << '\n';
      continue;
    }
    Yard const& yard = std::get<Yard>(parsed);
    Engine engine(0, nullptr, o.threads);
    engine.set_limits(SearchLimits::within_seconds(o.time_limit, nullptr));
    std::optional<Moves> const value = engine.value(yard, o.within);
    ValueBounds const bounds = value ? ValueBounds{*value, *value}
                                     : engine.bounds(yard, o.within).value_or(ValueBounds{});
    print(file, value, engine, bounds);
  }
}

}  // namespace

int main(int argc, char** argv) {
  Options const o = parse(argc, argv);
  std::printf("board,value,lower,upper,stored,searched,seconds\n");
  if (o.instances) {
    solve_instances(o);
  } else {
    solve_batch(o);
  }
  return 0;
}
