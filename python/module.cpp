// stacks._core: the library's solve and read_instance for Python. The package stacks (the .py
// files beside) turns what these return into its result classes.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <thread>

#include "stacks/stacks.h"

namespace py = pybind11;

namespace {

// "p/q" for a number of moves, None for no placement: exact, and cheap to hand over.
py::object moves_text(stacks::Moves const& moves) {
  if (!moves.placed) return py::none();
  return py::str(moves.fraction);
}

py::object optional_moves(std::optional<stacks::Moves> const& moves) {
  return moves ? moves_text(*moves) : py::object(py::none());
}

py::dict result_fields(stacks::Result const& result) {
  py::list line;
  for (stacks::Step const& step : result.line) {
    py::list moves;
    for (stacks::Move const& move : step.moves)
      moves.append(py::make_tuple(move.from, move.to));
    line.append(py::make_tuple(step.stack, step.slot, step.group, optional_moves(step.cost),
                               optional_moves(step.lower), optional_moves(step.upper), step.moved,
                               step.placed,
                               step.placed ? py::object(py::str(step.after)) : py::none(),
                               py::make_tuple(step.target.stack, step.target.slot), moves));
  }
  py::object requests = py::none();
  if (result.requests) {
    py::list costs;
    for (stacks::Request const& request : *result.requests) {
      costs.append(
          py::make_tuple(request.stack, request.slot, request.group, moves_text(request.cost)));
    }
    requests = costs;
  }
  py::dict fields;
  fields["board"] = result.board;
  fields["within"] = stacks::to_string(result.within);
  fields["status"] = stacks::to_string(result.status);
  fields["value"] = optional_moves(result.value);
  fields["lower"] = optional_moves(result.lower);
  fields["upper"] = optional_moves(result.upper);
  fields["gap"] = result.gap ? py::object(py::float_(*result.gap)) : py::object(py::none());
  fields["line"] = line;
  fields["requests"] = requests;
  fields["states"] = result.states;
  fields["seconds"] = result.seconds;
  fields["error"] = result.error.empty() ? py::object(py::none()) : py::str(result.error);
  fields["estimate"] =
      result.estimate ? py::object(py::make_tuple(result.estimate->mean, result.estimate->low,
                                                  result.estimate->high, result.estimate->orders))
                      : py::object(py::none());
  return fields;
}

stacks::Options options_of(std::string const& within, bool line, bool requests,
                           std::optional<std::size_t> max_memory, std::optional<double> time_limit,
                           int threads) {
  stacks::Options options;
  options.within = stacks::parse_within(within);
  options.line = line;
  options.requests = requests;
  options.max_memory = max_memory;
  options.time_limit = time_limit;
  options.threads = threads;
  return options;
}

// The search runs on a thread of its own without the GIL, so that other Python threads go on
// meanwhile, while the calling thread looks at Python's signals every twentieth of a second: a
// KeyboardInterrupt (or whatever a signal handler raises) stops the search, and is raised once
// the search has let go of the board.
template <class Board>
py::dict solve_without_gil(Board const& board, stacks::Options options) {
  std::atomic<bool> interrupt{false};
  options.interrupt = &interrupt;
  stacks::Result result;
  std::exception_ptr failure;
  std::mutex mutex;
  std::condition_variable finished;
  bool done = false;
  std::thread search([&] {
    try {
      result = stacks::solve(board, options);
    } catch (...) {
      failure = std::current_exception();
    }
    std::lock_guard const lock(mutex);
    done = true;
    finished.notify_one();
  });
  std::optional<py::error_already_set> raised;
  {
    py::gil_scoped_release release;
    std::unique_lock lock(mutex);
    while (!finished.wait_for(lock, std::chrono::milliseconds(50), [&] { return done; })) {
      if (raised) continue;
      lock.unlock();
      {
        py::gil_scoped_acquire acquire;
        if (PyErr_CheckSignals() != 0) raised.emplace();
      }
      if (raised) interrupt = true;
      lock.lock();
    }
  }
  search.join();
  if (raised) throw std::move(*raised);
  if (failure) std::rethrow_exception(failure);
  return result_fields(result);
}

// Every solve function takes the board first, then the options by keyword.
template <class Board>
void def_solve(py::module_& m, char const* name, char const* doc) {
  m.def(
      name,
      [](Board const& board, std::string const& within, bool line, bool requests,
         std::optional<std::size_t> max_memory, std::optional<double> time_limit, int threads) {
        return solve_without_gil(
            board, options_of(within, line, requests, max_memory, time_limit, threads));
      },
      doc, py::arg("board"), py::kw_only(), py::arg("within"), py::arg("line"), py::arg("requests"),
      py::arg("max_memory"), py::arg("time_limit"), py::arg("threads"));
}

}  // namespace

PYBIND11_MODULE(_core, m) {
  m.doc() = "The engine of stacks; use the package stacks rather than this module.";
  m.attr("__version__") = STACKS_VERSION;
  def_solve<std::string>(m, "solve_compact", "Solves a board in compact form.");
  def_solve<std::vector<std::vector<int>>>(m, "solve_cells", "Solves a board given as cells.");
  m.def(
      "solve_yard",
      [](int height, std::vector<std::vector<int>> const& stacks, std::string const& within,
         bool line, bool requests, std::optional<std::size_t> max_memory,
         std::optional<double> time_limit, int threads) {
        return solve_without_gil(
            stacks::Yard{height, stacks},
            options_of(within, line, requests, max_memory, time_limit, threads));
      },
      "Solves a yard of retrieval groups.", py::arg("height"), py::arg("stacks"), py::kw_only(),
      py::arg("within"), py::arg("line"), py::arg("requests"), py::arg("max_memory"),
      py::arg("time_limit"), py::arg("threads"));
  m.def(
      "read_instance",
      [](std::filesystem::path const& path, std::optional<int> retrieve_up_to,
         std::optional<int> height) {
        try {
          stacks::Yard const yard = stacks::read_instance(path, retrieve_up_to, height);
          return py::make_tuple(yard.height, yard.stacks);
        } catch (std::invalid_argument const&) {
          throw;
        } catch (std::runtime_error const& e) {
          // A file that cannot be read is an OSError to Python, whose message is the library's.
          PyErr_SetString(PyExc_OSError, e.what());
          throw py::error_already_set();
        }
      },
      "Reads an instance file: (height, stacks).", py::arg("path"), py::arg("retrieve_up_to"),
      py::arg("height"));
  m.def("parse_memory_size", &stacks::parse_memory_size,
        "Bytes of a size as --max-memory takes it (64K, 512M, 2G), None when it is no size.");
}
