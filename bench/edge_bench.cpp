// The search engine's value query on every board of a batch file (bench/edge_yards.txt), each
// from a fresh engine, one line of CSV a board as soon as it is solved:
//   board,value,stored,searched,seconds
// so that a change to the search can be judged by how much it searches (machine-independent)
// before it is timed. A board is given `--time-limit` seconds (default 600); one that runs out
// shows an empty value.
//
//   edge_bench FILE [--threads N] [--time-limit S] [--only TEXT]
//
// --only keeps the boards whose compact form contains TEXT.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <variant>

#include "board_io/batch_reader.h"
#include "board_io/compact_form.h"
#include "search/engine.h"

namespace {

struct Options {
  std::string file;
  int threads = 1;
  double time_limit = 600;
  std::string only;
};

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
    } else if (o.file.empty() && arg[0] != '-') {
      o.file = arg;
    } else {
      std::cerr << "edge_bench: unknown argument '" << arg << "'\n";
      std::exit(2);
    }
  }
  if (o.file.empty()) {
    std::cerr << "usage: edge_bench FILE [--threads N] [--time-limit S] [--only TEXT]\n";
    std::exit(2);
  }
  return o;
}

}  // namespace

int main(int argc, char** argv) {
  Options const o = parse(argc, argv);
  std::ifstream in(o.file);
  if (!in) {
    std::cerr << "edge_bench: cannot read " << o.file << '\n';
    return 1;
  }
  BatchReader reader(in);
  std::printf("board,value,stored,searched,seconds\n");
  while (std::optional<BatchEntry> entry = reader.next()) {
    if (State const* board = std::get_if<State>(&entry->board)) {
      State canonical = *board;
      canonical.sort_stacks();
      std::string const compact = format_compact_board(canonical);
      if (compact.find(o.only) == std::string::npos) continue;
      Engine engine(0, nullptr, o.threads);
      engine.set_limits(SearchLimits::within_seconds(o.time_limit, nullptr));
      std::optional<int> const value = engine.value(canonical);
      SearchStats const s = engine.stats();
      std::printf("%s,%s,%llu,%llu,%.2f\n", compact.c_str(),
                  value ? std::to_string(*value).c_str() : "",
                  static_cast<unsigned long long>(s.stored),
                  static_cast<unsigned long long>(s.searched), s.seconds);
      std::fflush(stdout);
    } else {
      std::cerr << "edge_bench: line " << entry->line << ": "
                << std::get<BoardError>(entry->board).what << '\n';
    }
  }
  return 0;
}
