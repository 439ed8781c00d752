// Reading stacks_interactive's output back: its drawings, highlighted cells and costs.
#pragma once

#include <string>
#include <utility>
#include <vector>

// The stack of the advised target in every turn of the built-in game, one per line.
inline constexpr char const* kAdvisedGame = "1\n2\n1\n2\n3\n1\n2\n1\n";

// The lines of the output, without their "\n" (or a terminal's "\r\n").
std::vector<std::string> lines_of(std::string const& output);

// Every drawing (ruler to ruler) that follows a line equal to caption.
std::vector<std::vector<std::string>> drawings_after(std::string const& output,
                                                     std::string const& caption);

// (stack, slot) of the highlighted cell of a drawing; (-1, -1) when none is.
std::pair<int, int> highlighted_cell(std::vector<std::string> const& drawing);

// The numbers of the "Cost : " lines, in order.
std::vector<int> costs(std::string const& output);
