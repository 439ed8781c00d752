#include "replay_page/page_line.h"

#include <algorithm>

#include "replay/move_words.h"
#include "report/text_report.h"
#include "rules/no_placement.h"

namespace {

// What every line has, whatever its yard: the costs of its steps as text.
struct LineCosts {
  std::vector<std::string> step;                                  // each request's cost
  std::vector<std::vector<std::pair<std::pair<int, int>, std::string>>> board;  // with --requests
  bool with_requests = false;
};

// The requests of a canonical board, moved to the columns of the yard that step finds.
std::vector<PageRequest> in_columns(Yard const& yard,
                                    std::vector<std::pair<std::pair<int, int>, std::string>> const& costs) {
  std::vector<int> const columns = columns_of_canonical(yard);
  std::vector<PageRequest> requests;
  for (auto const& [at, cost] : costs)
    requests.push_back({columns.at(static_cast<std::size_t>(at.first)), at.second, cost});
  std::sort(requests.begin(), requests.end(), [](PageRequest const& a, PageRequest const& b) {
    return std::pair(a.column, a.slot) < std::pair(b.column, b.slot);
  });
  return requests;
}

PageLine build(Yard const& given, std::vector<ColumnStep> const& columns, LineCosts const& costs) {
  PageLine line;
  line.steps.push_back({"Start", given, std::nullopt, {}, true, "", 0, std::nullopt});
  int so_far = 0;
  for (std::size_t i = 0; i < columns.size(); ++i) {
    ColumnStep const& step = columns[i];
    so_far += static_cast<int>(step.moves.size());
    PageStep page{"Request " + std::to_string(i + 1) + ": " + cell_words(step.column, step.slot),
                  step.before,
                  std::pair(step.column, step.slot),
                  step.moves,
                  step.placed,
                  costs.step.at(i),
                  so_far,
                  std::nullopt};
    if (costs.with_requests) page.requests = in_columns(step.before, costs.board.at(i));
    line.steps.push_back(std::move(page));
  }
  Yard const& end = columns.empty() ? given : columns.back().after;
  line.steps.push_back({"End", end, std::nullopt, {}, true, "", so_far, std::nullopt});
  return line;
}

}  // namespace

PageLine page_line(SolveResult const& result,
                   std::vector<std::vector<RequestCost>> const* step_costs) {
  LineCosts costs;
  for (LineStep const& step : result.line)
    costs.step.push_back(moves_text(Moves(step.cost), Within::worst));
  if (step_costs != nullptr) {
    costs.with_requests = true;
    for (auto const& board : *step_costs) {
      costs.board.emplace_back();
      for (RequestCost const& c : board)
        costs.board.back().push_back({{c.stack, c.slot}, moves_text(Moves(c.cost), Within::worst)});
    }
  }
  PageLine line = build(result.given, result.columns, costs);
  line.glyphs = Glyphs::two_class;
  line.within = within_name(Within::worst);
  line.value = moves_text(Moves(result.value), Within::worst);
  return line;
}

PageLine page_line(YardResult const& result,
                   std::vector<std::vector<YardRequestCost>> const* step_costs) {
  LineCosts costs;
  for (YardStep const& step : result.line)
    costs.step.push_back(moves_text(step.cost, result.within));
  if (step_costs != nullptr) {
    costs.with_requests = true;
    for (auto const& board : *step_costs) {
      costs.board.emplace_back();
      for (YardRequestCost const& c : board)
        costs.board.back().push_back({{c.stack, c.slot}, moves_text(c.cost, result.within)});
    }
  }
  PageLine line = build(result.given, result.columns, costs);
  line.glyphs = Glyphs::groups;
  line.within = within_name(result.within);
  line.value = moves_text(result.value, result.within);
  return line;
}
