// One board's result as a CSV row, for stacks_solve --batch --csv and --instance --csv.
#pragma once

#include <string>
#include <string_view>

#include "report/solve_result.h"

// "line,board,value,states,seconds\n"
std::string csv_header();

// The row of the board read on `input_line`; the value is empty where no placement exists.
// The compact board holds no comma or quote, so nothing needs quoting.
std::string csv_row(long input_line, SolveResult const& result);

// A field as RFC 4180 writes it: as it is, unless it holds a comma, a double quote, a CR or an
// LF; then between double quotes, each double quote inside doubled.
std::string csv_field(std::string_view text);

// "<first>,board,within,groups,value,value_fraction,states,seconds\n", where first names the
// column that says where each yard came from ("file" or "line").
std::string yard_csv_header(std::string_view first);

// The row of a grouped solve. value is a whole number for worst and best order and, for random
// order, the expectation rounded to six decimals with the exact "p/q" in value_fraction (empty
// for the other orders); both are empty where no placement exists.
std::string yard_csv_row(std::string_view first, YardResult const& result);
