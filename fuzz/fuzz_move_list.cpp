// libFuzzer target: the move list parser on any bytes, and the check of what it accepts on a
// small yard. Whatever it accepts must read back the same from its own text, and a check must
// count no more moves than the list holds; whatever it refuses must say on which line.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "board_io/move_list_form.h"
#include "replay/move_check.h"

namespace {

std::string list_text(std::vector<ListedMove> const& moves) {
  std::string text;
  for (ListedMove const& m : moves)
    text += std::to_string(m.from) + " " + (m.to == kRetrieved ? "-" : std::to_string(m.to)) + "\n";
  return text;
}

// Two groups, an item that stays, an empty stack: every rule of the check can be met.
Yard const kYard{3, 3, 2, {{1, 3, 2}, {2, 1, 0}, {0, 0, 0}}};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
  std::string_view const text(reinterpret_cast<char const*>(data), size);
  ParsedMoves const parsed = parse_move_list(text);
  if (auto const* error = std::get_if<BoardError>(&parsed)) {
    if (size > 0 && size <= kMaxMoveListBytes && error->line < 1) __builtin_trap();
    (void)error->to_string();
    return 0;
  }
  auto const& moves = std::get<std::vector<ListedMove>>(parsed);
  for (ListedMove const& m : moves) {
    if (m.line < 1 || m.from < 0 || m.to < kRetrieved) __builtin_trap();
  }
  ParsedMoves const again = parse_move_list(list_text(moves));
  auto const* same = std::get_if<std::vector<ListedMove>>(&again);
  if (same == nullptr || same->size() != moves.size()) __builtin_trap();
  for (std::size_t i = 0; i < moves.size(); ++i) {
    if ((*same)[i].from != moves[i].from || (*same)[i].to != moves[i].to) __builtin_trap();
  }
  for (bool two_class : {false, true}) {
    auto const checked = check_moves(kYard, moves, two_class);
    if (auto const* counts = std::get_if<CheckedMoves>(&checked)) {
      if (counts->retrievals != 4 ||
          counts->relocations + counts->retrievals != static_cast<long>(moves.size())) {
        __builtin_trap();
      }
    }
  }
  return 0;
}
