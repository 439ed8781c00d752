#include "tests/support/interactive_output.h"

#include <sstream>

std::vector<std::string> lines_of(std::string const& output) {
  std::vector<std::string> lines;
  std::istringstream in(output);
  for (std::string line; std::getline(in, line);) {
    if (line.ends_with('\r')) line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

std::vector<std::vector<std::string>> drawings_after(std::string const& output,
                                                     std::string const& caption) {
  std::vector<std::string> const lines = lines_of(output);
  std::vector<std::vector<std::string>> drawings;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i] != caption || i + 1 >= lines.size()) continue;
    std::vector<std::string> drawing{lines[i + 1]};
    for (std::size_t j = i + 2; j < lines.size(); ++j) {
      drawing.push_back(lines[j]);
      if (lines[j].starts_with('-')) break;
    }
    drawings.push_back(drawing);
  }
  return drawings;
}

std::pair<int, int> highlighted_cell(std::vector<std::string> const& drawing) {
  int const rows = static_cast<int>(drawing.size()) - 2;
  for (int r = 1; r <= rows; ++r) {
    auto const at = drawing[static_cast<std::size_t>(r)].find("\033[6;30;42m");
    if (at != std::string::npos) return {static_cast<int>(at) - 1, rows - r};
  }
  return {-1, -1};
}

std::vector<int> costs(std::string const& output) {
  std::vector<int> found;
  for (auto const& line : lines_of(output)) {
    if (line.starts_with("Cost : ")) found.push_back(std::stoi(line.substr(7)));
  }
  return found;
}
