// One board's result as a CSV row, for stacks_solve --batch --csv and --instance --csv.
#pragma once

#include <string>
#include <string_view>

#include "report/solve_result.h"

// "line,board,status,value,lower,upper,states,seconds,error,stacks,height,items,gap\n": the
// columns of a paper's table come last, so that the others keep their places.
std::string csv_header();

// The row of the board read on `input_line`. status is how the search ended; the value is set
// only when it is optimal, and is empty where no placement exists; lower and upper bound the
// value (upper empty when nothing finite is known); error says why a memory limit stopped it.
// stacks, height and items are the board's shape; gap is (upper - lower) / upper rounded to six
// decimals, 0 when optimal, empty without a finite upper bound.
std::string csv_row(long input_line, SolveResult const& result);

// The row of a line or file with no result: `first` (the line or file), status "error" and
// the message, every other field empty; `grouped` for the columns of yard_csv_header.
std::string csv_error_row(std::string_view first, bool grouped, std::string_view error);

// A field as RFC 4180 writes it: as it is, unless it holds a comma, a double quote, a CR or an
// LF; then between double quotes, each double quote inside doubled.
std::string csv_field(std::string_view text);

// "<first>,board,within,groups,status,value,value_fraction,lower,upper,states,seconds,error,
// stacks,height,items,gap\n", where first names the column that says where each yard came from
// ("file" or "line").
std::string yard_csv_header(std::string_view first);

// The row of a grouped solve. value (set as in csv_row), lower and upper are whole numbers for
// worst and best order and, for random order, rounded to six decimals, with the exact "p/q" of
// the value in value_fraction (empty for the other orders); the last columns as in csv_row.
std::string yard_csv_row(std::string_view first, YardResult const& result);
