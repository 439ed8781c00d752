#include "board_io/compact_form.h"

#include <vector>

#include "board_io/board_cells.h"

namespace {

bool is_blank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

int cell_of_digit(char c) {
  switch (c) {
    case '0':
      return kEmpty;
    case '1':
      return kTarget;
    case '2':
      return kOther;
    default:
      return -1;
  }
}

// One stack as written: its cells and the column of its first digit.
struct WrittenStack {
  std::vector<int> cells;
  int column;
};

// Splits the trimmed text [begin, end) into stacks, or says which character is wrong.
std::variant<std::vector<WrittenStack>, BoardError> split_stacks(std::string_view text,
                                                                 std::size_t begin,
                                                                 std::size_t end) {
  std::vector<WrittenStack> stacks{{{}, static_cast<int>(begin) + 1}};
  for (std::size_t i = begin; i < end; ++i) {
    int const column = static_cast<int>(i) + 1;
    if (text[i] == '/') {
      stacks.push_back({{}, column + 1});
      continue;
    }
    int const cell = cell_of_digit(text[i]);
    if (cell < 0) {
      return BoardError{"unknown character " + describe_byte(text[i]) +
                            " (use 0 empty, 1 target, 2 other, '/' between stacks)",
                        0, column};
    }
    stacks.back().cells.push_back(cell);
  }
  return stacks;
}

}  // namespace

ParsedBoard parse_compact_board(std::string_view text) {
  if (text.size() > kMaxCompactLength) {
    return BoardError{"the board text is " + std::to_string(text.size()) +
                      " characters long, far beyond the largest board (at most " +
                      std::to_string(kMaxCompactLength) + " characters are read)"};
  }
  std::size_t begin = 0, end = text.size();
  while (begin < end && is_blank(text[begin]))
    ++begin;
  while (end > begin && is_blank(text[end - 1]))
    --end;
  if (begin == end) return BoardError{"the board text is empty: the board has no stacks"};

  auto split = split_stacks(text, begin, end);
  if (auto* error = std::get_if<BoardError>(&split)) return *error;
  auto const& written = std::get<std::vector<WrittenStack>>(split);

  std::size_t const height = written.front().cells.size();
  std::vector<std::vector<int>> stacks;
  for (int i = 0; i < static_cast<int>(written.size()); ++i) {
    auto const& stack = written[i];
    if (stack.cells.size() != height) {
      return BoardError{std::to_string(stack.cells.size()) + " slots, but stack 0 has " +
                            std::to_string(height) + " (every stack needs the same capacity)",
                        0, stack.column, i};
    }
    if (int const gap = first_gap_slot(stack.cells); gap >= 0) {
      return BoardError{
          "empty slot " + std::to_string(gap) + " below an item (slot 0 is the bottom)", 0,
          stack.column + gap, i};
    }
    stacks.push_back(stack.cells);
  }
  return board_from_cells(stacks);
}

std::string format_compact_board(State const& board) {
  std::string text;
  for (int i = 0; i < board.n_stacks; ++i) {
    if (i > 0) text += '/';
    for (int j = 0; j < board.max_height; ++j) {
      int const cell = board.stacks[i][j];
      text += cell == kEmpty ? '0' : cell == kTarget ? '1' : '2';
    }
  }
  return text;
}
