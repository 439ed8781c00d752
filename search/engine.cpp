#include "search/engine.h"

#include <algorithm>
#include <new>
#include <stdexcept>

#include "model/packed_board.h"
#include "model/working_board.h"
#include "rules/no_placement.h"
#include "rules/retrieval.h"
#include "search/grouped_line.h"
#include "search/grouped_search.h"
#include "search/proof/shared_proof.h"
#include "search/prover.h"
#include "search/root_bounds.h"
#include "search/stop_poll.h"
#include "search/two_class_front.h"

namespace {

// The rule's cost is worked out only for a query that has run this long, so that short
// searches do not pay for it; then in slices, and after a stop in a short grace.
constexpr double kRuleAfterSeconds = 1.0;
constexpr auto kRuleSlice = std::chrono::milliseconds(50);
constexpr auto kRuleGrace = std::chrono::milliseconds(500);

// The rule's own table: a quarter of the search's budget, and at least this much, so that a
// small budget still gives small yards their bound.
constexpr std::size_t kLeastRuleBytes = std::size_t{4} << 20;

std::size_t rule_bytes(std::size_t max_bytes) {
  return max_bytes == 0 ? 0 : std::max(max_bytes / 4, kLeastRuleBytes);
}

PackedBoard pack_request_phase(State const& board) {
  State plain = board;
  plain.request = kNoRequest;
  return pack(plain);
}

}  // namespace

struct Engine::Impl {
  std::size_t max_bytes;
  BoundTable table;
  Prover prover;
  std::function<void(SearchStats const&)> progress;
  QueryGuard guard;
  ProofSharing sharing;
  RootBounds root;

  // The search for yards of groups, kept across queries on yards of the same shape and order.
  std::unique_ptr<GroupedSearch> grouped;
  Within grouped_within = Within::worst;
  GroupedBoard grouped_shape;

  Impl(std::size_t max_bytes, std::function<void(SearchStats const&)> report, int threads)
      : max_bytes(max_bytes),
        table(max_bytes, threads > 1),
        prover(table, [this] { tick(); }),
        progress(std::move(report)),
        sharing(threads) {}

  bool same_shape(GroupedBoard const& board, Within within) const {
    return grouped && grouped_within == within && grouped_shape.n == board.n &&
           grouped_shape.height == board.height && grouped_shape.stays == board.stays;
  }
  GroupedSearch& grouped_search(GroupedBoard const& board, Within within) {
    if (!same_shape(board, within)) {
      grouped.reset();
      grouped = make_grouped_search(
          within, board, max_bytes, [this] { tick(); }, &sharing);
      grouped_within = within;
      grouped_shape = board;
    }
    return *grouped;
  }
  // The search that holds the root's bounds, if there is one; never made or replaced here,
  // since a query may be running in it.
  GroupedSearch* root_search() const {
    if (!root.has_root() || root.two_class() || !same_shape(root.grouped(), root.within())) {
      return nullptr;
    }
    return grouped.get();
  }

  SearchStats stats() const {
    std::uint64_t const stored = table.size() + (grouped ? grouped->stored() : 0);
    std::uint64_t const expanded =
        prover.expanded() + (grouped ? grouped->expanded() : 0) + sharing.helper_expanded();
    return {stored, expanded, sharing.helper_expanded(), guard.seconds(),
            root.has_root() ? root.bounds(table, root_search()) : ValueBounds{}};
  }

  void tick() {
    bool const report = guard.tick();
    sharing.tick();
    if (!report) return;
    if (guard.query_seconds() >= kRuleAfterSeconds) {
      root.ensure_rule(table, root_search(), rule_bytes(max_bytes), rule_share());
    }
    if (progress) progress(stats());
  }

  // Until when the rule's cost may be worked out now: half of what a time limit leaves, or
  // else a slice of a twentieth of a second in each quarter-second between progress reports.
  RootBounds::Clock::time_point rule_share() const {
    auto const now = RootBounds::Clock::now();
    auto const deadline = guard.limits().deadline;
    if (deadline == SearchLimits::Clock::time_point::max()) return now + kRuleSlice;
    return now + (deadline - now) / 2;
  }

  // The root's bounds once `set` has made the board the root, which may take memory, and a
  // short grace for the rule's cost after a query stopped.
  template <class Set>
  std::optional<ValueBounds> root_bounds_after(Set&& set) {
    if (!guard.run_unlimited([&] {
          set();
          // One grace for a root: the bounds and the line told of it stay the same.
          if (!root.graced()) {
            root.ensure_rule(table, root_search(), rule_bytes(max_bytes),
                             RootBounds::Clock::now() + kRuleGrace, false);
            root.grace();
          }
        })) {
      return std::nullopt;
    }
    return root.bounds(table, root_search());
  }

  // Work after a query stopped, which a short grace bounds in time: a search's own line.
  template <class Work>
  void within_grace(Work&& work) {
    auto const until = RootBounds::Clock::now() + kRuleGrace;
    std::function<void()> const check = [until] {
      if (RootBounds::Clock::now() >= until) throw SearchStopped{SearchStatus::time_limit};
    };
    StopPoll::Scope const polling(&check);
    guard.run_unlimited([&] {
      try {
        work();
      } catch (SearchStopped const&) {
      }
    });
  }

  // The rule's line from the root that `set` makes.
  template <class Set>
  std::optional<std::vector<RuleCosts::Step>> rule_steps(Set&& set) {
    if (!root_bounds_after(set)) return std::nullopt;
    std::optional<std::vector<RuleCosts::Step>> steps;
    if (!guard.run_unlimited([&] { steps = root.rule_line(); })) return std::nullopt;
    return steps;
  }

  // The first placement, in the order of gen_all_seq, that reaches the request's cost.
  LineStep answer(PackedBoard const& board, int stack, int slot) {
    int const cost = prover.request_cost(board, stack, slot);
    Retrieval retrieval(WorkingBoard(board), stack, slot);
    if (!retrieval.fits()) return {stack, slot, cost, 0, false, unpack(board)};
    int const lifted = retrieval.lifted_count();
    PackedBoard best;
    retrieval.walk(kSkipNothingButStop, [&](WorkingBoard const& placed) {
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

Engine::Engine(std::size_t max_bytes, std::function<void(SearchStats const&)> progress, int threads)
    : impl_(std::make_unique<Impl>(max_bytes, std::move(progress), threads)) {}

Engine::~Engine() = default;

std::optional<int> Engine::value(State const& board) {
  PackedBoard const key = pack_request_phase(board);
  return impl_->guard.run([&] {
    impl_->root.set(key);
    impl_->sharing.begin_query();
    return impl_->prover.value(
        key, [&](int goal) { return impl_->prover.shared_at_least(impl_->sharing, key, goal); });
  });
}

std::optional<std::vector<RequestCost>> Engine::request_costs(State const& board) {
  PackedBoard const key = pack_request_phase(board);
  return impl_->guard.run([&] {
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
  return impl_->guard.run([&] { return impl_->hardest(key); });
}

std::optional<LineStep> Engine::best_answer(State const& asked) {
  if (asked.in_request_phase()) throw std::invalid_argument("best_answer needs a request");
  pack(asked);  // rejects a request that names no target
  PackedBoard const key = pack_request_phase(asked);
  return impl_->guard.run(
      [&] { return impl_->answer(key, asked.request.first, asked.request.second); });
}

std::optional<std::vector<LineStep>> Engine::best_line(State const& board) {
  PackedBoard const start = pack_request_phase(board);
  return impl_->guard.run([&] {
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

void Engine::set_limits(SearchLimits const& limits) {
  impl_->guard.set_limits(limits);
  impl_->sharing.set_limits(limits);
}

SearchStatus Engine::status() const {
  return impl_->guard.status();
}

std::optional<std::vector<LineStep>> Engine::rule_line(State const& board) {
  PackedBoard const key = pack_request_phase(board);
  auto const steps = impl_->rule_steps([&] { impl_->root.set(key); });
  if (!steps) return std::nullopt;
  DenseYard const dense = dense_yard(yard_of(unpack(key)));
  std::vector<LineStep> line;
  for (YardStep const& step : yard_rule_line(*steps, dense, 1, Within::worst)) {
    State after = state_of(step.after);
    line.push_back({step.stack, step.slot, step.cost.whole_moves(), step.moved, step.placed,
                    std::move(after), step.lower->whole_moves()});
  }
  return line;
}

std::optional<std::vector<YardStep>> Engine::rule_line(Yard const& yard, Within within) {
  return on_yard(
      yard, within,
      [&](State const& board, DenseYard const& dense) -> std::optional<std::vector<YardStep>> {
        auto const line = rule_line(board);
        if (!line) return std::nullopt;
        return yard_steps(*line, dense, yard.groups, false);
      },
      [&](DenseYard const& dense) -> std::optional<std::vector<YardStep>> {
        auto steps = impl_->rule_steps([&] { impl_->root.set(dense.board, within); });
        if (impl_->guard.shortage() != MemoryShortage::none) return std::nullopt;
        // The search's own line where it found a better bound than the rule's.
        std::optional<std::vector<RuleCosts::Step>> found;
        if (GroupedSearch* search = impl_->root_search()) {
          impl_->within_grace([&] { found = search->witness(dense.board); });
        }
        if (found && !found->empty() && (!steps || found->front().cost < steps->front().cost)) {
          steps = std::move(found);
        }
        if (!steps) return std::nullopt;
        return yard_rule_line(*steps, dense, yard.groups, within);
      });
}

std::optional<ValueBounds> Engine::bounds(State const& board) {
  PackedBoard const key = pack_request_phase(board);
  return impl_->root_bounds_after([&] { impl_->root.set(key); });
}

std::optional<ValueBounds> Engine::bounds(Yard const& yard, Within within) {
  return on_yard(
      yard, within, [&](State const& board, DenseYard const&) { return bounds(board); },
      [&](DenseYard const& dense) {
        return impl_->root_bounds_after([&] { impl_->root.set(dense.board, within); });
      });
}

bool Engine::out_of_memory() const {
  return impl_->guard.shortage() != MemoryShortage::none;
}

MemoryShortage Engine::memory_shortage() const {
  return impl_->guard.shortage();
}

SearchStats Engine::stats() const {
  return impl_->stats();
}

std::string yard_search_problem(Yard const& yard) {
  if (std::string problem = yard_problem(yard); !problem.empty()) return problem;
  try {
    DenseYard const dense = dense_yard(yard);
    make_grouped_search(Within::worst, dense.board, 0, [] {});
  } catch (std::invalid_argument const& e) {
    return e.what();
  }
  return {};
}

std::optional<Moves> Engine::value(Yard const& yard, Within within) {
  return on_yard(
      yard, within,
      [&](State const& board, DenseYard const&) -> std::optional<Moves> {
        auto const v = value(board);
        return v ? std::optional<Moves>(*v) : std::nullopt;
      },
      [&](DenseYard const& dense) {
        return impl_->guard.run([&] {
          impl_->root.set(dense.board, within);
          impl_->sharing.begin_query();
          return impl_->grouped_search(dense.board, within).value(dense.board);
        });
      });
}

std::optional<std::vector<YardRequestCost>> Engine::request_costs(Yard const& yard, Within within) {
  return on_yard(
      yard, within,
      [&](State const& board, DenseYard const&) -> std::optional<std::vector<YardRequestCost>> {
        auto const costs = request_costs(board);
        if (!costs) return std::nullopt;
        std::vector<YardRequestCost> yard_costs;
        for (RequestCost const& c : *costs)
          yard_costs.push_back({c.stack, c.slot, c.cost});
        return yard_costs;
      },
      [&](DenseYard const& dense) {
        return impl_->guard.run([&] {
          return grouped_request_costs(impl_->grouped_search(dense.board, within), dense.board);
        });
      });
}

std::optional<std::vector<YardStep>> Engine::best_line(Yard const& yard, Within within) {
  return on_yard(
      yard, within,
      [&](State const& board, DenseYard const& dense) -> std::optional<std::vector<YardStep>> {
        auto const line = best_line(board);
        if (!line) return std::nullopt;
        return yard_steps(*line, dense, yard.groups, true);
      },
      [&](DenseYard const& dense) {
        return impl_->guard.run([&] {
          return grouped_line(impl_->grouped_search(dense.board, within), dense, yard.groups,
                              within);
        });
      });
}
