// Interim engine: answers every query from the exact solver's tables, so that the programs can
// be built on the engine's interface. To be replaced by the bounded search.
#include "search/engine.h"

#include "solver/compute.h"

struct Engine::Impl {
  std::size_t max_bytes;
  std::function<void(SearchStats const&)> progress;
  bool out_of_memory = false;
  SearchStats stats;

  bool over_budget() {
    if (max_bytes != 0 && memo.bytes() + memo_strat.bytes() > max_bytes) out_of_memory = true;
    return out_of_memory;
  }
};

Engine::Engine(std::size_t max_bytes, std::function<void(SearchStats const&)> progress)
    : impl_(new Impl{max_bytes, std::move(progress), false, {}}) {}

Engine::~Engine() { delete impl_; }

std::optional<int> Engine::value(State const& board) {
  int const v = compute(board, 0);
  impl_->stats.stored = memo.size();
  if (impl_->over_budget()) return std::nullopt;
  return v;
}

std::optional<std::vector<RequestCost>> Engine::request_costs(State const& board) {
  std::vector<RequestCost> costs;
  for (int j = 0; j < board.n_stacks; ++j) {
    for (int k = 0; k < board.levels[j]; ++k) {
      if (board.stacks[j][k] != kTarget) continue;
      State asked = board;
      asked.request = {j, k};
      costs.push_back({j, k, compute(asked, 0)});
    }
  }
  impl_->stats.stored = memo.size();
  if (impl_->over_budget()) return std::nullopt;
  return costs;
}

std::optional<RequestCost> Engine::hardest_request(State const& board) {
  auto costs = request_costs(board);
  if (!costs) return std::nullopt;
  RequestCost best{-1, -1, -1};
  for (auto const& c : *costs) {
    if (c.cost > best.cost) best = c;
  }
  return best;
}

std::optional<LineStep> Engine::best_answer(State const& asked) {
  int const cost = compute(asked, 0);
  if (impl_->over_budget()) return std::nullopt;
  State after = best_successor(asked);
  if (cost == kNoPlacement && !after.in_request_phase()) {
    after.request = kNoRequest;
    return LineStep{asked.request.first, asked.request.second, cost, 0, after};
  }
  int const moved = asked.levels[asked.request.first] - 1 - asked.request.second;
  return LineStep{asked.request.first, asked.request.second, cost, moved, after};
}

std::optional<std::vector<LineStep>> Engine::best_line(State const& board) {
  std::vector<LineStep> line;
  State current = board;
  while (current.remaining > 0) {
    auto hardest = hardest_request(current);
    if (!hardest) return std::nullopt;
    State asked = current;
    asked.request = {hardest->stack, hardest->slot};
    auto step = best_answer(asked);
    if (!step) return std::nullopt;
    line.push_back(*step);
    if (step->cost == kNoPlacement) break;
    current = step->after;
  }
  return line;
}

bool Engine::out_of_memory() const { return impl_->out_of_memory; }

SearchStats Engine::stats() const { return impl_->stats; }
