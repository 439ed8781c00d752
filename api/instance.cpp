// Instance files read as stacks_solve --instance reads them, with its messages.
#include <sstream>
#include <stdexcept>
#include <variant>

#include "api/public_yard.h"
#include "board_io/instance_form.h"
#include "search/engine.h"
#include "solve_cli/diagnostics.h"
#include "solve_cli/input_file.h"
#include "stacks/stacks.h"

namespace stacks {
namespace {

// `where: what`, the source named as stacks_solve's messages name it.
std::string message(std::string const& where, std::string const& what) {
  return escape_unprintable(where) + ": " + escape_unprintable(what);
}

Yard checked(std::istream& in, std::string const& where, std::optional<int> retrieve_up_to,
             std::optional<int> height) {
  if (retrieve_up_to && *retrieve_up_to < 0) {
    throw std::invalid_argument("retrieve_up_to: " + std::to_string(*retrieve_up_to) +
                                " is not a group number (0 or more)");
  }
  if (height && *height < 1) {
    throw std::invalid_argument("height: " + std::to_string(*height) +
                                " is not a capacity (a whole number of slots from 1)");
  }
  ParsedYard parsed = ::read_instance(in, height);
  if (auto const* error = std::get_if<BoardError>(&parsed)) {
    throw std::invalid_argument(message(where, error->to_string()));
  }
  ::Yard yard = std::get<::Yard>(std::move(parsed));
  if (retrieve_up_to) yard = ::retrieve_up_to(std::move(yard), *retrieve_up_to);
  if (std::string problem = yard_search_problem(yard); !problem.empty()) {
    throw std::invalid_argument(message(where, problem));
  }
  return public_yard(yard);
}

}  // namespace

Yard read_instance(std::filesystem::path const& path, std::optional<int> retrieve_up_to,
                   std::optional<int> height) {
  InputFile input = open_input(path.string());
  if (!input.stream) throw std::runtime_error(message(input.name, input.error));
  Yard yard = checked(*input.stream, input.name, retrieve_up_to, height);
  if (input.read_failed())
    throw std::runtime_error(message(input.name, "reading the instance failed"));
  return yard;
}

Yard parse_instance(std::string_view text, std::string const& where,
                    std::optional<int> retrieve_up_to, std::optional<int> height) {
  std::istringstream in{std::string(text)};
  return checked(in, where, retrieve_up_to, height);
}

Yard read_instance(std::filesystem::path const& path, std::optional<int> retrieve_up_to) {
  return read_instance(path, retrieve_up_to, std::nullopt);
}

Yard parse_instance(std::string_view text, std::string const& where,
                    std::optional<int> retrieve_up_to) {
  return parse_instance(text, where, retrieve_up_to, std::nullopt);
}

}  // namespace stacks
