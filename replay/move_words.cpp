#include "replay/move_words.h"

#include <algorithm>

std::string cell_words(int column, int slot) {
  return "stack " + std::to_string(column) + ", slot " + std::to_string(slot);
}

std::string moves_line(ColumnStep const& step, Glyphs glyphs) {
  std::string text = "Moves (" + std::to_string(step.moves.size()) + "):";
  if (step.moves.empty()) return text + " none\n";
  auto const& source = step.before.stacks.at(static_cast<std::size_t>(step.column));
  int slot = static_cast<int>(std::find(source.begin(), source.end(), kEmpty) - source.begin());
  for (std::size_t i = 0; i < step.moves.size(); ++i) {
    int const item = source[static_cast<std::size_t>(--slot)];
    text += (i > 0 ? ", " : " ") + std::to_string(step.moves[i].from) + "->" +
            std::to_string(step.moves[i].to) + " (" + item_text(step.before, item, glyphs) + ")";
  }
  return text + "\n";
}
