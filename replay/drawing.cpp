#include "replay/drawing.h"

#include <algorithm>

namespace {

// The codes of State::print, so that every drawing highlights alike.
constexpr char const* kHighlightOn = "\033[6;30;42m";
constexpr char const* kHighlightOff = "\033[0m";
constexpr char kPlainMark = '*';

std::size_t cell_width(Yard const& yard, Glyphs glyphs) {
  if (glyphs == Glyphs::two_class) return 1;
  return std::to_string(std::max(yard.groups, 1)).size();
}

}  // namespace

std::string item_text(Yard const& yard, int cell, Glyphs glyphs) {
  if (glyphs == Glyphs::two_class) return cell == kEmpty ? " " : cell == kTarget ? "o" : "x";
  if (cell == kEmpty) return ".";
  if (cell == yard.stays()) return "x";
  return std::to_string(cell);
}

std::string drawing(Yard const& yard, std::pair<int, int> request, DrawingStyle style) {
  std::size_t const width = cell_width(yard, style.glyphs);
  std::size_t const gap = width > 1 ? 1 : 0;
  auto const stacks = static_cast<std::size_t>(std::max(yard.n_stacks, 0));
  std::size_t const inner = stacks == 0 ? 0 : stacks * width + (stacks - 1) * gap;
  std::string const ruler(inner + 2, '-');
  std::string text = ruler + "\n";
  for (int r = yard.height - 1; r >= 0; --r) {
    text += '|';
    for (int c = 0; c < yard.n_stacks; ++c) {
      if (c > 0) text.append(gap, ' ');
      bool const marked = c == request.first && r == request.second;
      bool const plain_mark = marked && style.marking == Marking::plain;
      std::string const cell =
          plain_mark ? std::string(1, kPlainMark) : item_text(yard, yard.stacks[c][r], style.glyphs);
      text.append(width - cell.size(), ' ');
      text += marked && style.marking == Marking::colour ? kHighlightOn + cell + kHighlightOff
                                                         : cell;
    }
    text += "|\n";
  }
  text += ruler + "\n";
  if (style.ruler) text += column_ruler(yard.n_stacks, width, gap);
  return text;
}

std::string column_ruler(int n_stacks, std::size_t width, std::size_t gap) {
  if (n_stacks <= 0) return "";
  std::size_t const digits = std::to_string(n_stacks - 1).size();
  std::size_t const lines = digits <= width ? 1 : digits;
  std::string text;
  for (std::size_t line = 0; line < lines; ++line) {
    std::string row = " ";
    for (int c = 0; c < n_stacks; ++c) {
      if (c > 0) row.append(gap, ' ');
      std::string label = std::to_string(c);
      if (lines > 1) {
        // The digit of this line, the numbers right-aligned to the longest.
        label.insert(0, digits - label.size(), ' ');
        label = label.substr(line, 1);
      }
      row.append(width - label.size(), ' ');
      row += label;
    }
    row.erase(row.find_last_not_of(' ') + 1);
    text += row + "\n";
  }
  return text;
}
