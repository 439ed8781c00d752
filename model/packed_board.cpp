#include "model/packed_board.h"

#include <stdexcept>

namespace {

Bits128 request_bits(int stack, int slot) {
  return (Bits128{1} << 114) | (Bits128(stack) << 115) | (Bits128(slot) << 120);
}

constexpr Bits128 kRequestMask = (Bits128{(1u << 11) - 1}) << 114;

}  // namespace

int decode_stack(std::uint32_t code, int max_height, int* cells) {
  int height = 0;
  for (int j = 0; j < max_height; ++j) {
    if (code == 0) {
      cells[j] = kEmpty;
      continue;
    }
    std::uint32_t const other_step = code_step(max_height, j, kOther);
    if (code >= other_step) {
      cells[j] = kOther;
      code -= other_step;
    } else {
      cells[j] = kTarget;
      code -= 1;
    }
    height = j + 1;
  }
  return height;
}

PackedBoard PackedBoard::with_request(int stack, int slot) const {
  return from_bits((bits() & ~kRequestMask) | request_bits(stack, slot));
}

PackedBoard PackedBoard::without_request() const {
  return from_bits(bits() & ~kRequestMask);
}

bool fits_packing(int n_stacks, int max_height) {
  return n_stacks >= 0 && n_stacks <= kMaxPackedStacks && max_height >= 0 &&
         max_height <= kMaxPackedHeight && n_stacks * (max_height + 1) <= kPackedCodeBits;
}

std::string packing_problem(State const& board) {
  int const n = board.n_stacks;
  int const h = board.max_height;
  if (!fits_packing(n, h)) {
    return "a board of " + std::to_string(n) + (n == 1 ? " stack of " : " stacks of ") +
           std::to_string(h) + " slots is too big: at most " + std::to_string(kMaxPackedStacks) +
           " stacks, " + std::to_string(kMaxPackedHeight) +
           " slots, and stacks x (slots + 1) at most " + std::to_string(kPackedCodeBits);
  }
  if (static_cast<int>(board.stacks.size()) != n) return "n_stacks does not match the stacks";
  for (int i = 0; i < n; ++i) {
    auto const& stack = board.stacks[i];
    if (static_cast<int>(stack.size()) != h) {
      return "stack " + std::to_string(i) + " does not have " + std::to_string(h) + " slots";
    }
    bool seen_empty = false;
    for (int j = 0; j < h; ++j) {
      int const cell = stack[j];
      std::string const where = "stack " + std::to_string(i) + " slot " + std::to_string(j);
      if (cell < kEmpty || cell > kOther) return where + " holds " + std::to_string(cell);
      if (cell == kEmpty) seen_empty = true;
      if (cell != kEmpty && seen_empty) return where + " holds an item above an empty slot";
    }
  }
  auto const [rs, rk] = board.request;
  if (rs == -1) {
    if (rk != -1) return "the request (-1, " + std::to_string(rk) + ") is malformed";
  } else if (rs < 0 || rs >= n || rk < 0 || rk >= h || board.stacks[rs][rk] != kTarget) {
    return "the request (" + std::to_string(rs) + ", " + std::to_string(rk) + ") names no target";
  }
  return {};
}

PackedBoard pack(State const& board) {
  if (std::string problem = packing_problem(board); !problem.empty()) {
    throw std::invalid_argument(problem);
  }
  int const n = board.n_stacks;
  int const h = board.max_height;
  std::uint32_t codes[kMaxPackedStacks] = {};
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < h && board.stacks[i][j] != kEmpty; ++j) {
      codes[i] += code_step(h, j, board.stacks[i][j]);
    }
  }
  PackedBoard packed = PackedBoard::from_codes(n, h, codes);
  if (board.request.first != -1)
    packed = packed.with_request(board.request.first, board.request.second);
  return packed;
}

State unpack(PackedBoard const& board) {
  int const n = board.n_stacks();
  int const h = board.max_height();
  std::vector<std::vector<int>> stacks(n, std::vector<int>(h, kEmpty));
  for (int i = 0; i < n; ++i)
    decode_stack(board.code(i), h, stacks[i].data());
  std::pair<int, int> request = kNoRequest;
  if (board.has_request()) request = {board.request_stack(), board.request_slot()};
  return State(stacks, request);
}
