// libFuzzer target: the batch reader on any bytes. It must end, hand out lines in increasing
// order, and give only boards that pack.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "board_io/batch_reader.h"
#include "model/packed_board.h"

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
  std::istringstream in(std::string(reinterpret_cast<char const*>(data), size));
  BatchReader reader(in);
  long last_line = 0;
  while (auto entry = reader.next()) {
    if (entry->line <= last_line) __builtin_trap();
    last_line = entry->line;
    if (auto const* board = std::get_if<State>(&entry->board)) {
      if (!packing_problem(*board).empty()) __builtin_trap();
    } else if (std::get<BoardError>(entry->board).line != entry->line) {
      __builtin_trap();
    }
  }
  return 0;
}
