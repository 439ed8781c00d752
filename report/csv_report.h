// One board's result as a CSV row, for stacks_solve --batch --csv.
#pragma once

#include <string>

#include "report/solve_result.h"

// "line,board,value,states,seconds\n"
std::string csv_header();

// The row of the board read on `input_line`; the value is empty where no placement exists.
// The compact board holds no comma or quote, so nothing needs quoting.
std::string csv_row(long input_line, SolveResult const& result);
