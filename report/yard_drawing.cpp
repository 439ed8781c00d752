#include "report/yard_drawing.h"

#include <algorithm>

namespace {

// The terminal codes of State::print, so that both drawings highlight alike.
constexpr char const* kHighlightOn = "\033[6;30;42m";
constexpr char const* kHighlightOff = "\033[0m";

std::string cell_text(Yard const& yard, int cell) {
  if (cell == kEmpty) return ".";
  if (cell == yard.stays()) return "x";
  return std::to_string(cell);
}

}  // namespace

std::string yard_drawing(Yard const& yard, std::pair<int, int> request) {
  std::size_t const width = std::to_string(std::max(yard.groups, 1)).size();
  std::string const gap = width > 1 ? " " : "";
  auto const stacks = static_cast<std::size_t>(std::max(yard.n_stacks, 0));
  std::size_t const inner = stacks == 0 ? 0 : stacks * width + (stacks - 1) * gap.size();
  std::string const ruler(inner + 2, '-');
  std::string text = ruler + "\n";
  for (int r = yard.height - 1; r >= 0; --r) {
    text += '|';
    for (int c = 0; c < yard.n_stacks; ++c) {
      if (c > 0) text += gap;
      std::string const cell = cell_text(yard, yard.stacks[c][r]);
      text.append(width - cell.size(), ' ');
      bool const highlighted = c == request.first && r == request.second;
      text += highlighted ? kHighlightOn + cell + kHighlightOff : cell;
    }
    text += "|\n";
  }
  return text + ruler + "\n";
}
