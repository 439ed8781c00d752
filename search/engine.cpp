#include "search/engine.h"

#include <chrono>
#include <new>
#include <stdexcept>

#include "model/packed_board.h"
#include "model/working_board.h"
#include "search/bound_table.h"
#include "search/prover.h"
#include "rules/no_placement.h"
#include "rules/retrieval.h"

namespace {

using Clock = std::chrono::steady_clock;

// How many expansions pass between two looks at the clock for progress reports.
constexpr std::uint64_t kTicksPerProgressCheck = 1 << 12;
constexpr auto kProgressInterval = std::chrono::milliseconds(250);

PackedBoard pack_request_phase(State const& board) {
  State plain = board;
  plain.request = kNoRequest;
  return pack(plain);
}

}  // namespace

struct Engine::Impl {
  BoundTable table;
  Prover prover;
  std::function<void(SearchStats const&)> progress;
  bool out_of_memory = false;
  double seconds = 0;
  Clock::time_point query_start{};
  Clock::time_point last_report{};
  std::uint64_t ticks = 0;

  Impl(std::size_t max_bytes, std::function<void(SearchStats const&)> report)
      : table(max_bytes), prover(table, [this] { tick(); }), progress(std::move(report)) {}

  SearchStats stats() const {
    double const running = query_start == Clock::time_point{}
                               ? 0
                               : std::chrono::duration<double>(Clock::now() - query_start).count();
    return {table.size(), prover.expanded(), seconds + running};
  }

  void tick() {
    if (!progress || ++ticks % kTicksPerProgressCheck != 0) return;
    auto const now = Clock::now();
    if (now - last_report < kProgressInterval) return;
    last_report = now;
    progress(stats());
  }

  // Runs one query, turning a blown budget or an allocation failure into an empty answer.
  template <class Query>
  auto guarded(Query&& query) -> std::optional<decltype(query())> {
    if (out_of_memory) return std::nullopt;
    query_start = last_report = Clock::now();
    std::optional<decltype(query())> answer;
    try {
      answer = query();
    } catch (BudgetExceeded const&) {
      out_of_memory = true;
    } catch (std::bad_alloc const&) {
      out_of_memory = true;
    }
    seconds += std::chrono::duration<double>(Clock::now() - query_start).count();
    query_start = Clock::time_point{};
    return answer;
  }

  // The first placement, in the order of gen_all_seq, that reaches the request's cost.
  LineStep answer(PackedBoard const& board, int stack, int slot) {
    int const cost = prover.request_cost(board, stack, slot);
    Retrieval retrieval(WorkingBoard(board), stack, slot);
    if (!retrieval.fits()) return {stack, slot, cost, 0, false, unpack(board)};
    int const lifted = retrieval.lifted_count();
    PackedBoard best;
    retrieval.walk(kSkipNothing, [&](WorkingBoard const& placed) {
      PackedBoard const child = placed.canonical();
      if (cost != kNoPlacement && prover.at_least(child, cost - lifted + 1).holds) return true;
      best = child;
      return false;
    });
    return {stack, slot, cost, lifted, true, unpack(best)};
  }

  RequestCost hardest(PackedBoard const& board) {
    int const value = prover.value(board);
    WorkingBoard const w(board);
    for (int s = 0; s < w.n; ++s) {
      for (std::uint32_t t = w.targets(s); t != 0; t &= t - 1) {
        int const slot = std::countr_zero(t);
        if (prover.request_at_least(board, s, slot, value).holds) return {s, slot, value};
      }
    }
    return {-1, -1, 0};
  }
};

Engine::Engine(std::size_t max_bytes, std::function<void(SearchStats const&)> progress)
    : impl_(new Impl(max_bytes, std::move(progress))) {}

Engine::~Engine() {
  delete impl_;
}

std::optional<int> Engine::value(State const& board) {
  PackedBoard const key = pack_request_phase(board);
  return impl_->guarded([&] { return impl_->prover.value(key); });
}

std::optional<std::vector<RequestCost>> Engine::request_costs(State const& board) {
  PackedBoard const key = pack_request_phase(board);
  return impl_->guarded([&] {
    std::vector<RequestCost> costs;
    WorkingBoard const w(key);
    for (int s = 0; s < w.n; ++s) {
      for (std::uint32_t t = w.targets(s); t != 0; t &= t - 1) {
        int const slot = std::countr_zero(t);
        costs.push_back({s, slot, impl_->prover.request_cost(key, s, slot)});
      }
    }
    return costs;
  });
}

std::optional<RequestCost> Engine::hardest_request(State const& board) {
  PackedBoard const key = pack_request_phase(board);
  return impl_->guarded([&] { return impl_->hardest(key); });
}

std::optional<LineStep> Engine::best_answer(State const& asked) {
  if (asked.in_request_phase()) throw std::invalid_argument("best_answer needs a request");
  pack(asked);  // rejects a request that names no target
  PackedBoard const key = pack_request_phase(asked);
  return impl_->guarded(
      [&] { return impl_->answer(key, asked.request.first, asked.request.second); });
}

std::optional<std::vector<LineStep>> Engine::best_line(State const& board) {
  PackedBoard const start = pack_request_phase(board);
  return impl_->guarded([&] {
    std::vector<LineStep> line;
    PackedBoard current = start;
    while (true) {
      RequestCost const request = impl_->hardest(current);
      if (request.stack < 0) break;
      line.push_back(impl_->answer(current, request.stack, request.slot));
      if (!line.back().placed) break;
      current = pack(line.back().after);
    }
    return line;
  });
}

bool Engine::out_of_memory() const {
  return impl_->out_of_memory;
}

SearchStats Engine::stats() const {
  return impl_->stats();
}

// Placeholder until the grouped search lands.
std::optional<Moves> Engine::value(Yard const&, Within) {
  throw std::logic_error("grouped yards: not built yet");
}
std::optional<std::vector<YardRequestCost>> Engine::request_costs(Yard const&, Within) {
  throw std::logic_error("grouped yards: not built yet");
}
std::optional<std::vector<YardStep>> Engine::best_line(Yard const&, Within) {
  throw std::logic_error("grouped yards: not built yet");
}
