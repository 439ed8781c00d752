#include "solve_cli/read_yard.h"

#include "search/engine.h"
#include "solve_cli/input_file.h"

ReadYard read_yard(std::string const& path, SolveOptions const& options) {
  InputFile input = open_input(path);
  if (!input.stream) return {input.name, BoardError{input.error}};
  ParsedYard yard = read_instance(*input.stream, options.height);
  // What was read before a failure is no instance, whatever the parser made of it.
  if (input.read_failed()) return {input.name, BoardError{"reading the instance failed"}};
  if (auto* read = std::get_if<Yard>(&yard)) {
    if (options.retrieve_up_to) yard = retrieve_up_to(*read, *options.retrieve_up_to);
    if (std::string problem = yard_search_problem(*read); !problem.empty()) {
      yard = BoardError{std::move(problem)};
    }
  }
  return {input.name, std::move(yard)};
}
