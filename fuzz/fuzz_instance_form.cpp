// libFuzzer target: the instance form parser on any bytes, with the capacity given apart or
// not. Whatever it accepts must have the dimensions and item count its header declares and, below a
// few thousand slots, be a well formed yard that reads back the same from its own instance text and
// stays well formed when cut down to fewer groups. Whatever it refuses must say on which line, when
// the input has any.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>

#include "board_io/instance_form.h"

namespace {

std::string instance_text(Yard const& yard) {
  std::string text = std::to_string(yard.n_stacks) + " " + std::to_string(yard.height) + " " +
                     std::to_string(yard.items()) + "\n";
  for (auto const& stack : yard.stacks) {
    std::string priorities;
    int items = 0;
    for (int cell : stack) {
      if (cell == kEmpty) continue;
      priorities += " " + std::to_string(cell == yard.stays() ? 0 : cell);
      ++items;
    }
    text += std::to_string(items) + priorities + "\n";
  }
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
  std::string_view const text(reinterpret_cast<char const*>(data), size);
  // With the capacity given apart a header of two numbers reads too, at that capacity.
  ParsedYard const apart = parse_instance(text, 4);
  if (auto const* yard = std::get_if<Yard>(&apart); yard != nullptr && yard->height != 4) {
    __builtin_trap();
  }
  ParsedYard const parsed = parse_instance(text);
  if (auto const* error = std::get_if<BoardError>(&parsed)) {
    if (size > 0 && size <= kMaxInstanceBytes && error->line < 1) __builtin_trap();
    (void)error->to_string();
    return 0;
  }
  Yard const& yard = std::get<Yard>(parsed);
  // An accepted header is three plain numbers, which a stream reads without help.
  std::istringstream header(std::string(text.substr(0, text.find('\n'))));
  long long stacks = -1, height = -1, items = -1;
  header >> stacks >> height >> items;
  if (yard.n_stacks != stacks || yard.height != height || yard.items() != items) __builtin_trap();

  // A header of a short input can declare a million slots, and checking those at length would
  // take the fuzzer's time from inputs that reach new code: every path of the parser is already
  // taken by yards of a few slots.
  if (static_cast<long long>(yard.n_stacks) * yard.height > 4096) return 0;
  if (!yard_problem(yard).empty()) __builtin_trap();

  ParsedYard const again = parse_instance(instance_text(yard));
  auto const* same = std::get_if<Yard>(&again);
  if (same == nullptr || !(*same == yard)) __builtin_trap();

  for (int k : {0, yard.groups / 2, yard.groups}) {
    Yard const fewer = retrieve_up_to(yard, k);
    if (!yard_problem(fewer).empty() || fewer.groups != k || fewer.items() != yard.items()) {
      __builtin_trap();
    }
  }
  return 0;
}
