#include "report/shape_summary.h"

#include <algorithm>
#include <cstdio>

namespace {

std::string decimal(double number) {
  char text[64];
  std::snprintf(text, sizeof text, "%.6f", number);
  return text;
}

// The mean of `count` numbers that add up to `sum`, empty for none.
std::string mean(Fraction const& sum, long count) {
  return count == 0 ? "" : Moves(sum / count).decimal_text();
}

}  // namespace

void ShapeSummary::add(SolveResult const& result) {
  State const& board = result.board;
  add({board.n_stacks, board.max_height, count_items(board)}, result.status, Moves(result.value),
      result.bounds, result.seconds);
}

void ShapeSummary::add(YardResult const& result) {
  Yard const& yard = result.yard;
  add({yard.n_stacks, yard.height, yard.items()}, result.status, result.value, result.bounds,
      result.seconds);
}

void ShapeSummary::add(Shape shape, SearchStatus status, Moves const& value,
                       ValueBounds const& bounds, double seconds) {
  Row& row = rows_[shape];
  ++row.instances;
  row.seconds_sum += seconds;
  row.max_seconds = std::max(row.max_seconds, seconds);
  if (status == SearchStatus::optimal) {
    ++row.solved;
    if (value.placed()) {
      ++row.valued;
      row.value_sum += value.exact();
    }
  } else if (std::optional<Fraction> const gap = bounds_gap(bounds)) {
    ++row.gapped;
    row.gap_sum += *gap;
  }
}

std::string ShapeSummary::csv() const {
  std::string text =
      "stacks,height,items,instances,solved,mean_value,mean_seconds,max_seconds,mean_gap_"
      "unsolved\n";
  for (auto const& [shape, row] : rows_) {
    auto const [stacks, height, items] = shape;
    text += std::to_string(stacks) + "," + std::to_string(height) + "," + std::to_string(items) +
            "," + std::to_string(row.instances) + "," + std::to_string(row.solved) + "," +
            mean(row.value_sum, row.valued) + "," + decimal(row.seconds_sum / row.instances) + "," +
            decimal(row.max_seconds) + "," + mean(row.gap_sum, row.gapped) + "\n";
  }
  return text;
}
