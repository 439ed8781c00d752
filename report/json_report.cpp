#include "report/json_report.h"

#include "board_io/compact_form.h"
#include "rules/no_placement.h"

namespace {

JsonRecord cost_json(int cost) {
  return cost == kNoPlacement ? JsonRecord() : JsonRecord(cost);
}

JsonRecord line_json(std::vector<LineStep> const& line) {
  JsonRecord steps = JsonRecord::array();
  for (LineStep const& step : line) {
    JsonRecord record;
    record["request"] = {step.stack, step.slot};
    record["cost"] = cost_json(step.cost);
    record["moved"] = step.moved;
    record["after"] = step.placed ? JsonRecord(format_compact_board(step.after)) : JsonRecord();
    steps.push_back(std::move(record));
  }
  return steps;
}

JsonRecord requests_json(std::vector<RequestCost> const& costs,
                         std::optional<RequestCost> const& hardest) {
  JsonRecord records = JsonRecord::array();
  for (RequestCost const& c : costs) {
    bool const is_hardest = hardest && hardest->stack == c.stack && hardest->slot == c.slot;
    records.push_back({{"stack", c.stack},
                       {"slot", c.slot},
                       {"cost", cost_json(c.cost)},
                       {"hardest", is_hardest}});
  }
  return records;
}

}  // namespace

JsonRecord solve_result_json(SolveResult const& result, std::optional<long> input_line) {
  JsonRecord record;
  if (input_line) record["input_line"] = *input_line;
  record["board"] = format_compact_board(result.board);
  record["stacks"] = result.board.n_stacks;
  record["height"] = result.board.max_height;
  record["targets"] = result.board.remaining;
  record["items"] = count_items(result.board);
  record["value"] = cost_json(result.value);
  record["line"] = line_json(result.line);
  if (result.requests) record["requests"] = requests_json(*result.requests, result.hardest);
  record["states"] = result.states;
  record["seconds"] = result.seconds;
  return record;
}

JsonRecord batch_error_json(long input_line, std::string const& error) {
  JsonRecord record;
  record["input_line"] = input_line;
  record["error"] = error;
  return record;
}
