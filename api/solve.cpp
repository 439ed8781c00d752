// The library's solve: the input checked as stacks_solve checks it, then the same engine queries
// as the command line (solve_cli/solve_board.h), the answers turned into the public types.
#include <new>
#include <stdexcept>
#include <utility>
#include <variant>

#include "api/public_yard.h"
#include "board_io/board_cells.h"
#include "board_io/compact_form.h"
#include "board_io/instance_form.h"
#include "solve_cli/diagnostics.h"
#include "solve_cli/memory_size.h"
#include "solve_cli/solve_board.h"
#include "stacks/stacks.h"

namespace stacks {
namespace {

stacks::Moves public_moves(::Moves const& moves) {
  if (!moves.placed()) return {false, "", 0};
  return {true, moves.fraction_text(), moves.approx()};
}

::Within engine_within(Within within) {
  switch (within) {
    case Within::best:
      return ::Within::best;
    case Within::random:
      return ::Within::random;
    case Within::worst:
      break;
  }
  return ::Within::worst;
}

// The limits the engine cannot honour are refused rather than ignored.
std::size_t checked_budget(Options const& options) {
  if (options.time_limit) {
    throw std::invalid_argument("time_limit: this engine cannot stop a search early; use None");
  }
  if (options.threads != 1) {
    throw std::invalid_argument("threads: this engine searches on one thread; use 1");
  }
  return options.max_memory.value_or(default_memory_budget());
}

void set_proven(Result& result, Moves value) {
  result.status = Status::optimal;
  result.lower = value;
  result.upper = value;
  result.value = std::move(value);
}

// What the engine's answer was not: the search stopped at the memory budget (no answer) or at
// memory the system refused (std::bad_alloc), in stacks_solve's words.
template <class Solve>
auto solved_or_stopped(Result& result, std::size_t max_bytes, Solve const& solve) {
  try {
    auto answer = solve();
    if (!answer) {
      result.status = Status::memory_limit;
      result.error = memory_budget_message(max_bytes);
    }
    return answer;
  } catch (std::bad_alloc const&) {
    result.status = Status::memory_limit;
    result.error = out_of_memory_message();
    return decltype(solve()){};
  }
}

Result solve_two_class(State board, Options const& options) {
  std::size_t const max_bytes = checked_budget(options);
  board.sort_stacks();
  Result result;
  result.board = format_compact_board(board);
  result.within = Within::worst;
  auto const solved = solved_or_stopped(result, max_bytes, [&] {
    return solve_board(board, SolveWants{options.line, options.requests}, max_bytes, nullptr);
  });
  if (!solved) return result;
  set_proven(result, public_moves(solved->value));
  for (LineStep const& step : solved->line) {
    result.line.push_back({step.stack, step.slot, 1, public_moves(step.cost), step.moved,
                           step.placed, step.placed ? format_compact_board(step.after) : ""});
  }
  if (solved->requests) {
    result.requests.emplace();
    for (RequestCost const& request : *solved->requests) {
      result.requests->push_back({request.stack, request.slot, 1, public_moves(request.cost)});
    }
  }
  result.states = solved->states;
  result.seconds = solved->seconds;
  return result;
}

Result solve_groups(::Yard yard, Options const& options) {
  std::size_t const max_bytes = checked_budget(options);
  yard.sort_stacks();
  Result result;
  result.board = format_yard(yard);
  result.within = options.within;
  auto const solved = solved_or_stopped(result, max_bytes, [&] {
    return solve_yard(yard, engine_within(options.within),
                      SolveWants{options.line, options.requests}, max_bytes, nullptr);
  });
  if (!solved) return result;
  set_proven(result, public_moves(solved->value));
  ::Yard const* before = &solved->yard;
  for (YardStep const& step : solved->line) {
    int const group = before->stacks[step.stack][step.slot];
    result.line.push_back({step.stack, step.slot, group, public_moves(step.cost), step.moved,
                           step.placed, step.placed ? format_yard(step.after) : ""});
    before = &step.after;
  }
  if (solved->requests) {
    result.requests.emplace();
    for (YardRequestCost const& request : *solved->requests) {
      int const group = solved->yard.stacks[request.stack][request.slot];
      result.requests->push_back({request.stack, request.slot, group, public_moves(request.cost)});
    }
  }
  result.states = solved->states;
  result.seconds = solved->seconds;
  return result;
}

Result solve_board_of(ParsedBoard parsed, Options const& options) {
  if (auto const* error = std::get_if<BoardError>(&parsed)) {
    throw std::invalid_argument(error->to_string());
  }
  State& board = std::get<State>(parsed);
  if (options.within == Within::worst) return solve_two_class(std::move(board), options);
  return solve_groups(yard_of(board), options);
}

}  // namespace

Result solve(std::string_view compact, Options const& options) {
  return solve_board_of(parse_compact_board(compact), options);
}

Result solve(std::vector<std::vector<int>> const& cells, Options const& options) {
  for (std::size_t i = 1; i < cells.size(); ++i) {
    if (cells[i].size() != cells.front().size()) {
      throw std::invalid_argument("stack " + std::to_string(i) + " has " +
                                  std::to_string(cells[i].size()) + " slots, stack 0 has " +
                                  std::to_string(cells.front().size()));
    }
  }
  return solve_board_of(board_from_cells(cells), options);
}

Result solve(Yard const& yard, Options const& options) {
  return solve_groups(engine_yard(yard), options);
}

}  // namespace stacks
