#include "replay_page/page_line.h"

#include <algorithm>

#include "replay/move_words.h"
#include "report/text_report.h"
#include "rules/no_placement.h"

namespace {

// What a line's value, or a stopped search's bounds, is shown as.
std::string value_text(SearchStatus status, Moves const& value, ValueBounds const& bounds) {
  if (status == SearchStatus::optimal) return page_moves_text(value);
  std::string text = "at least " + page_moves_text(bounds.lower);
  if (!bounds.upper.placed()) return text + ", no upper bound known";
  return text + ", at most " + page_moves_text(bounds.upper) + " (gap " +
         gap_percent(*bounds_gap(bounds)) + ")";
}

std::string heading_of(SearchStatus status, Within within) {
  if (status != SearchStatus::optimal) return "Line of play behind the upper bound";
  return within == Within::random ? "Unluckiest line of play" : "Best line of play";
}

template <class Step>
std::string step_cost_text(Step const& step) {
  Moves const cost(step.cost);
  if (!step.lower) return page_moves_text(cost);
  return page_moves_text(Moves(*step.lower)) + " to " + page_moves_text(cost);
}

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
  bool const stuck = !columns.empty() && !columns.back().placed;
  std::string const caption =
      stuck ? "End: the lifted items of request " + std::to_string(columns.size()) + " fit nowhere"
            : "End";
  line.steps.push_back({caption, end, std::nullopt, {}, true, "", so_far, std::nullopt});
  return line;
}

}  // namespace

std::string page_moves_text(Moves const& moves) {
  if (moves.placed() && moves.whole()) return std::to_string(moves.whole_moves());
  return moves_text(moves, Within::random);
}

PageLine page_line(SolveResult const& result,
                   std::vector<std::vector<RequestCost>> const* step_costs) {
  LineCosts costs;
  for (LineStep const& step : result.line)
    costs.step.push_back(step_cost_text(step));
  if (step_costs != nullptr) {
    costs.with_requests = true;
    for (auto const& board : *step_costs) {
      costs.board.emplace_back();
      for (RequestCost const& c : board)
        costs.board.back().push_back({{c.stack, c.slot}, page_moves_text(Moves(c.cost))});
    }
  }
  PageLine line = build(result.given, result.columns, costs);
  line.glyphs = Glyphs::two_class;
  line.heading = heading_of(result.status, Within::worst);
  line.within = within_name(Within::worst);
  line.value = value_text(result.status, Moves(result.value), result.bounds);
  return line;
}

PageLine page_line(YardResult const& result,
                   std::vector<std::vector<YardRequestCost>> const* step_costs) {
  LineCosts costs;
  for (YardStep const& step : result.line)
    costs.step.push_back(step_cost_text(step));
  if (step_costs != nullptr) {
    costs.with_requests = true;
    for (auto const& board : *step_costs) {
      costs.board.emplace_back();
      for (YardRequestCost const& c : board)
        costs.board.back().push_back({{c.stack, c.slot}, page_moves_text(c.cost)});
    }
  }
  PageLine line = build(result.given, result.columns, costs);
  line.glyphs = Glyphs::groups;
  line.heading = heading_of(result.status, result.within);
  line.within = within_name(result.within);
  line.value = value_text(result.status, result.value, result.bounds);
  return line;
}
