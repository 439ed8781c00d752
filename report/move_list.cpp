#include "report/move_list.h"

namespace {

std::string request_comment(std::size_t index, ColumnStep const& step, std::string const& cost,
                            bool groups) {
  std::string text = "# request " + std::to_string(index + 1) + ": stack " +
                     std::to_string(step.column) + ", slot " + std::to_string(step.slot);
  if (groups) text += ", group " + std::to_string(step.before.stacks[step.column][step.slot]);
  if (!step.placed) return text + ": the lifted items fit nowhere, and the line ends here\n";
  return text + ", cost " + cost + "\n";
}

std::string count_of(long n, char const* one, char const* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

std::string move_list_text(MoveListHead const& head, std::vector<ColumnStep> const& steps,
                           std::vector<std::string> const& costs, bool groups) {
  long relocations = 0;
  long retrievals = 0;
  std::string moves;
  for (std::size_t i = 0; i < steps.size(); ++i) {
    ColumnStep const& step = steps[i];
    moves += request_comment(i, step, costs.at(i), groups);
    if (!step.placed) break;
    for (ColumnMove const& m : step.moves)
      moves += std::to_string(m.from) + " " + std::to_string(m.to) + "\n";
    moves += std::to_string(step.column) + " -\n";
    relocations += static_cast<long>(step.moves.size());
    ++retrievals;
  }
  return "# yard " + head.yard + "; order " + head.order + "; " + head.outcome + "\n" + "# " +
         count_of(relocations, "relocation", "relocations") + ", " +
         count_of(retrievals, "retrieval", "retrievals") +
         "; stacks count from 0 as given: FROM TO moves the top item of stack FROM onto stack "
         "TO, FROM - retrieves it\n" +
         moves;
}
