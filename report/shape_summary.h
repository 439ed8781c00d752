// The summary that ends a run over many yards, a row for each shape of yard, as a paper's table
// wants it: stacks, height and items, then how many yards there were and how many were solved,
// the mean value of the solved ones, the mean and largest seconds, and the mean gap of the
// ones that a limit stopped. Yards that could not be read have no shape and no row.
#pragma once

#include <map>
#include <string>
#include <tuple>

#include "report/solve_result.h"

class ShapeSummary {
 public:
  void add(SolveResult const& result);
  void add(YardResult const& result);

  // "stacks,height,items,instances,solved,mean_value,mean_seconds,max_seconds,mean_gap_unsolved"
  // and a row for each shape, in order of stacks, height and items. mean_value is over the
  // yards solved with a value (not those worth no placement); mean_gap_unsolved over the yards
  // stopped with a finite upper bound; either is empty when there is none. Numbers are rounded
  // to six decimals.
  std::string csv() const;

 private:
  struct Row {
    long instances = 0;
    long solved = 0;
    long valued = 0;  // solved yards with a value
    Fraction value_sum = 0;
    long gapped = 0;  // stopped yards with a gap
    Fraction gap_sum = 0;
    double seconds_sum = 0;
    double max_seconds = 0;
  };
  using Shape = std::tuple<int, int, int>;  // stacks, height, items

  void add(Shape shape, SearchStatus status, Moves const& value, ValueBounds const& bounds,
           double seconds);

  std::map<Shape, Row> rows_;
};
