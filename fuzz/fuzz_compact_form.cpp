// libFuzzer target: the compact form parser on any bytes. Whatever it accepts must pack, and
// must read back the same from its own compact form.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "board_io/compact_form.h"
#include "model/packed_board.h"

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
  std::string_view const text(reinterpret_cast<char const*>(data), size);
  ParsedBoard const parsed = parse_compact_board(text);
  auto const* board = std::get_if<State>(&parsed);
  if (board == nullptr) {
    (void)std::get<BoardError>(parsed).to_string();
    return 0;
  }
  if (!packing_problem(*board).empty()) __builtin_trap();
  ParsedBoard const again = parse_compact_board(format_compact_board(*board));
  auto const* same = std::get_if<State>(&again);
  if (same == nullptr || !(*same == *board)) __builtin_trap();
  return 0;
}
