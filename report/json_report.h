// One board's result as a JSON object, the record of stacks_solve --json and of every line of
// a --batch run.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "report/solve_result.h"

// Keys keep the order they are written in, so that a record reads well as text.
using JsonRecord = nlohmann::ordered_json;

// {["input_line",] "board", "within", "groups", "stacks", "height", "targets", "items", "status",
// "value", "lower", "upper", "gap", "line", ["requests",] "states", "seconds", ["error"]}.
// "status" is how the search ended (optimal, time_limit, memory_limit, interrupted); "value" is
// set only when it is optimal, "lower" and "upper" always (upper null when nothing finite is
// known); "gap" is (upper - lower) / upper rounded to six decimals, 0 when optimal, null
// without a finite upper bound;
// "error" says why a memory limit stopped it. "value" and every cost are null where no
// placement exists; each step of "line" is {"request": [stack, slot], "cost", "moved",
// "after": compact board, or null for a request that could not be served, "target": [column,
// slot], "moves": [[from, to], ...]}: request and after on the canonical board, target and
// moves in the columns the user gave (the moves in the order the items were lifted, top
// first). "requests", when asked for, is null if a stop left the costs unknown. On a search
// that stopped, the line is the one the search gives, and each step has
// "cost" null and the request's bounds in "lower" and "upper". "input_line" is there for a
// board read from a batch.
JsonRecord solve_result_json(SolveResult const& result, std::optional<long> input_line = {});

// The record on one line, as JSON Lines and --json write it; bytes that are not UTF-8 are
// replaced rather than thrown over.
std::string json_line(JsonRecord const& record);

// The record of a batch line that has no result: {"input_line", "status": "error", "error"}.
JsonRecord batch_error_json(long input_line, std::string const& error);

// The record of a grouped solve, after the fields already in `record` (where the yard came
// from): {"board": format_yard, "within", "groups", "stacks", "height", "targets" (items to
// retrieve), "items", "status", "value", ["value_fraction",] "lower", ["lower_fraction",]
// "upper", ["upper_fraction",] "gap", "line", ["requests",] "states", "seconds", ["error"]},
// the status, bounds and gap as above.
// Each step of "line" is {"request": [stack, slot], "group", "cost", ["cost_fraction",]
// "moved", "after": format_yard, or null for a request that could not be served, "target",
// "moves" as for a board}; each entry
// of "requests" is {"stack", "slot", "group", "cost", ["cost_fraction",] "first_in_line"}.
// Costs are whole numbers for worst and best order; for random order a number rounded to six
// decimals, with the exact "p/q" in the "_fraction" field beside it. No placement is null in
// both.
JsonRecord yard_result_json(YardResult const& result, JsonRecord record = JsonRecord::object());

// The record of an instance file that has no result: {"file", "status": "error", "error"}.
JsonRecord file_error_json(std::string const& file, std::string const& error);
