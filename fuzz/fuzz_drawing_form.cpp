// libFuzzer target: the drawing parser on any bytes. Whatever it accepts must pack, and its
// own drawing, with or without a highlighted request, must read back as the same board.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string_view>

#include "board_io/drawing_form.h"
#include "model/packed_board.h"

namespace {

bool reads_back(State const& drawn, State const& board) {
  std::ostringstream out;
  drawn.print(out);
  ParsedBoard const again = parse_drawing(out.str());
  auto const* same = std::get_if<State>(&again);
  return same != nullptr && *same == board;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
  std::string_view const text(reinterpret_cast<char const*>(data), size);
  ParsedBoard const parsed = parse_drawing(text);
  auto const* board = std::get_if<State>(&parsed);
  if (board == nullptr) {
    (void)std::get<BoardError>(parsed).to_string();
    return 0;
  }
  if (!packing_problem(*board).empty()) __builtin_trap();
  if (!reads_back(*board, *board)) __builtin_trap();
  State highlighted = *board;
  highlighted.request = {board->n_stacks - 1, 0};
  if (!reads_back(highlighted, *board)) __builtin_trap();
  return 0;
}
