// One board's result as a JSON object, the record of stacks_solve --json and of every line of
// a --batch run.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "report/solve_result.h"

// Keys keep the order they are written in, so that a record reads well as text.
using JsonRecord = nlohmann::ordered_json;

// {["input_line",] "board", "stacks", "height", "targets", "items", "value", "line", ["requests",]
// "states", "seconds"}. "value" and every cost are null where no placement exists; each step of
// "line" is
// {"request": [stack, slot], "cost", "moved", "after": compact board, or null for a request
// that could not be served}. "input_line" is there for a board read from a batch.
JsonRecord solve_result_json(SolveResult const& result, std::optional<long> input_line = {});

// The record of a batch line that has no result: {"input_line", "error"}.
JsonRecord batch_error_json(long input_line, std::string const& error);
