#include "report/json_report.h"

#include <charconv>
#include <string>

#include "board_io/compact_form.h"
#include "rules/within.h"
#include "board_io/instance_form.h"
#include "rules/no_placement.h"

namespace {

JsonRecord cost_json(int cost) {
  return cost == kNoPlacement ? JsonRecord() : JsonRecord(cost);
}

// The step in the user's columns: "target": [column, slot], "moves": [[from, to], ...].
void put_columns(JsonRecord& record, ColumnStep const& step) {
  record["target"] = {step.column, step.slot};
  JsonRecord moves = JsonRecord::array();
  for (ColumnMove const& m : step.moves)
    moves.push_back({m.from, m.to});
  record["moves"] = std::move(moves);
}

JsonRecord line_json(std::vector<LineStep> const& line, std::vector<ColumnStep> const& columns) {
  JsonRecord steps = JsonRecord::array();
  for (std::size_t i = 0; i < line.size(); ++i) {
    LineStep const& step = line[i];
    JsonRecord record;
    record["request"] = {step.stack, step.slot};
    if (step.lower) {
      record["cost"] = JsonRecord();
      record["lower"] = cost_json(*step.lower);
      record["upper"] = cost_json(step.cost);
    } else {
      record["cost"] = cost_json(step.cost);
    }
    record["moved"] = step.moved;
    record["after"] = step.placed ? JsonRecord(format_compact_board(step.after)) : JsonRecord();
    if (i < columns.size()) put_columns(record, columns[i]);
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

// The number that the text and CSV reports write, rounded to six decimals: from_chars, unlike
// stod, reads it the same in every locale.
double rounded_number(Moves const& moves) {
  std::string const text = moves.decimal_text();
  double number = 0;
  std::from_chars(text.data(), text.data() + text.size(), number);
  return number;
}

// Writes `moves` under `key`, and for random order its exact fraction under key_fraction.
void put_moves(JsonRecord& record, std::string const& key, Moves const& moves, Within within) {
  if (within != Within::random) {
    record[key] = cost_json(moves.whole_moves());
    return;
  }
  record[key] = moves.placed() ? JsonRecord(rounded_number(moves)) : JsonRecord();
  record[key + "_fraction"] = moves.placed() ? JsonRecord(moves.fraction_text()) : JsonRecord();
}

JsonRecord yard_line_json(Yard const& start, std::vector<YardStep> const& line,
                          std::vector<ColumnStep> const& columns, Within within) {
  JsonRecord steps = JsonRecord::array();
  Yard const* current = &start;
  for (std::size_t i = 0; i < line.size(); ++i) {
    YardStep const& step = line[i];
    JsonRecord record;
    record["request"] = {step.stack, step.slot};
    record["group"] = current->stacks[step.stack][step.slot];
    if (step.lower) {
      put_moves(record, "cost", Moves::no_placement(), within);
      put_moves(record, "lower", *step.lower, within);
      put_moves(record, "upper", step.cost, within);
    } else {
      put_moves(record, "cost", step.cost, within);
    }
    record["moved"] = step.moved;
    record["after"] = step.placed ? JsonRecord(format_yard(step.after)) : JsonRecord();
    if (i < columns.size()) put_columns(record, columns[i]);
    steps.push_back(std::move(record));
    current = &step.after;
  }
  return steps;
}

JsonRecord yard_requests_json(Yard const& yard, std::vector<YardRequestCost> const& costs,
                              Within within) {
  std::optional<YardRequestCost> const first = first_request(costs, within);
  JsonRecord records = JsonRecord::array();
  for (YardRequestCost const& c : costs) {
    JsonRecord record;
    record["stack"] = c.stack;
    record["slot"] = c.slot;
    record["group"] = yard.stacks[c.stack][c.slot];
    put_moves(record, "cost", c.cost, within);
    record["first_in_line"] = first->stack == c.stack && first->slot == c.slot;
    records.push_back(std::move(record));
  }
  return records;
}

// "status", "value" (null unless the search ended optimal), "lower", "upper" and "gap".
void put_outcome(JsonRecord& record, SearchStatus status, Moves const& value,
                 ValueBounds const& bounds, Within within) {
  record["status"] = status_name(status);
  put_moves(record, "value", status == SearchStatus::optimal ? value : Moves::no_placement(),
            within);
  put_moves(record, "lower", bounds.lower, within);
  put_moves(record, "upper", bounds.upper, within);
  std::optional<Fraction> const gap = value_gap(status, bounds);
  record["gap"] = gap ? JsonRecord(rounded_number(Moves(*gap))) : JsonRecord();
}

}  // namespace

JsonRecord solve_result_json(SolveResult const& result, std::optional<long> input_line) {
  JsonRecord record;
  if (input_line) record["input_line"] = *input_line;
  record["board"] = format_compact_board(result.board);
  // A two-class board is the yard of one group, its targets, asked for in the worst order:
  // the same fields as a grouped record, so that scripts read both alike.
  record["within"] = within_name(Within::worst);
  record["groups"] = 1;
  record["stacks"] = result.board.n_stacks;
  record["height"] = result.board.max_height;
  record["targets"] = result.board.remaining;
  record["items"] = count_items(result.board);
  put_outcome(record, result.status, result.value, result.bounds, Within::worst);
  record["line"] = line_json(result.line, result.columns);
  if (result.requests) {
    record["requests"] = requests_json(*result.requests, result.hardest);
  } else if (result.requests_wanted) {
    record["requests"] = JsonRecord();
  }
  record["states"] = result.states;
  record["seconds"] = result.seconds;
  if (!result.error.empty()) record["error"] = result.error;
  return record;
}

std::string json_line(JsonRecord const& record) {
  return record.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

JsonRecord batch_error_json(long input_line, std::string const& error) {
  JsonRecord record;
  record["input_line"] = input_line;
  record["status"] = "error";
  record["error"] = error;
  return record;
}

JsonRecord yard_result_json(YardResult const& result, JsonRecord record) {
  Yard const& yard = result.yard;
  record["board"] = format_yard(yard);
  record["within"] = within_name(result.within);
  record["groups"] = yard.groups;
  record["stacks"] = yard.n_stacks;
  record["height"] = yard.height;
  record["targets"] = yard.items_to_retrieve();
  record["items"] = yard.items();
  put_outcome(record, result.status, result.value, result.bounds, result.within);
  record["line"] = yard_line_json(yard, result.line, result.columns, result.within);
  if (result.requests) {
    record["requests"] = yard_requests_json(yard, *result.requests, result.within);
  } else if (result.requests_wanted) {
    record["requests"] = JsonRecord();
  }
  record["states"] = result.states;
  record["seconds"] = result.seconds;
  if (!result.error.empty()) record["error"] = result.error;
  return record;
}

JsonRecord file_error_json(std::string const& file, std::string const& error) {
  JsonRecord record;
  record["file"] = file;
  record["status"] = "error";
  record["error"] = error;
  return record;
}
