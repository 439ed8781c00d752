#include "search/engine.h"

#include <algorithm>
#include <chrono>
#include <new>
#include <stdexcept>

#include "model/packed_board.h"
#include "model/working_board.h"
#include "rules/no_placement.h"
#include "rules/retrieval.h"
#include "search/bound_table.h"
#include "search/group_bound.h"
#include "search/grouped_search.h"
#include "search/helper_threads.h"
#include "search/lower_bound.h"
#include "search/prover.h"
#include "search/rule_cost.h"

namespace {

using Clock = std::chrono::steady_clock;

// The boards a value search expands alone before it shares its proofs out among threads.
constexpr std::uint64_t kSerialExpansions = std::uint64_t{1} << 16;

// How many expansions pass between two looks at the clock for progress reports.
constexpr std::uint64_t kTicksPerProgressCheck = 1 << 12;
constexpr auto kProgressInterval = std::chrono::milliseconds(250);

// A yard of one group in the worst order is today's game, answered by the two-class engine with
// its tie-breaks: the board with the group as targets and everything else as other items.
std::optional<State> two_class_board(DenseYard const& dense, Within within) {
  GroupedBoard const& b = dense.board;
  if (within != Within::worst || b.stays > 2 || !fits_packing(b.n, b.height)) return std::nullopt;
  std::vector<std::vector<int>> stacks(b.n, std::vector<int>(b.height, kEmpty));
  for (int s = 0; s < b.n; ++s) {
    for (int j = 0; j < b.level[s]; ++j)
      stacks[s][j] = b.cell[s][j] == b.stays ? kOther : kTarget;
  }
  return State(stacks, kNoRequest);
}

// The yard of a two-class board, in the cells of the yard it came from.
Yard yard_of_two_class(State const& board, DenseYard const& dense, int groups) {
  GroupedBoard b(board.n_stacks, board.max_height, dense.board.stays);
  for (int s = 0; s < board.n_stacks; ++s) {
    for (int j = 0; j < board.levels[s]; ++j)
      b.push(s, board.stacks[s][j] == kTarget ? 1 : dense.board.stays);
  }
  return yard_of(b, dense, groups);
}

DenseYard checked_dense_yard(Yard const& yard) {
  if (std::string const problem = yard_problem(yard); !problem.empty()) {
    throw std::invalid_argument(problem);
  }
  return dense_yard(yard);
}

PackedBoard pack_request_phase(State const& board) {
  State plain = board;
  plain.request = kNoRequest;
  return pack(plain);
}

// The rule's cost is worked out with its own table of every board it meets; against every
// request sequence of the worst order, or every draw of the random one, that can take millions
// of boards on a big yard, so past this many (a few tenths of a second) the plain bound is used
// instead.
constexpr std::size_t kRuleBoards = std::size_t{1} << 15;

Moves stored_moves(std::uint16_t stored) {
  return stored == Bounds::kNoValue ? Moves::no_placement() : Moves(static_cast<int>(stored));
}

// The tighter of two bounds of the same side.
Moves larger(Moves const& a, Moves const& b) {
  return a < b ? b : a;
}
Moves smaller(Moves const& a, Moves const& b) {
  return b < a ? b : a;
}

}  // namespace

struct Engine::Impl {
  std::size_t max_bytes;
  int threads;
  BoundTable table;
  Prover prover;
  std::function<void(SearchStats const&)> progress;
  MemoryShortage shortage = MemoryShortage::none;
  double seconds = 0;
  Clock::time_point query_start{};
  Clock::time_point last_report{};
  std::uint64_t ticks = 0;
  StopCheck stop;
  SearchStatus stopped = SearchStatus::optimal;

  // The board whose value a query looks for, and the rule's cost on it, so that progress
  // reports and bounds() can say what is proven about it.
  struct Root {
    bool two_class = true;
    PackedBoard packed{};
    GroupedBoard grouped;
    Within within = Within::worst;
    Moves rule = Moves::no_placement();
    std::shared_ptr<RuleCosts> rule_costs;
  };
  std::optional<Root> root;

  std::uint64_t helper_expanded = 0;
  std::unique_ptr<BusyBoards> busy;  // made for the first proof shared among threads
  // The proof helpers may join, while the query's thread searches it, and the helpers at work.
  struct SharedProof {
    PackedBoard board;
    int goal;
  };
  std::optional<SharedProof> shared_proof;
  std::unique_ptr<HelperThreads> helpers;
  std::uint64_t helpers_after = 0;  // the query thread's expansions before helpers start

  Impl(std::size_t max_bytes, std::function<void(SearchStats const&)> report, int threads)
      : max_bytes(max_bytes),
        threads(std::max(threads, 1)),
        table(max_bytes, this->threads > 1),
        prover(table, [this] { tick(); }),
        progress(std::move(report)) {}

  // The search for yards of groups, kept across queries on yards of the same shape and order.
  std::unique_ptr<GroupedSearch> grouped;
  Within grouped_within = Within::worst;
  GroupedBoard grouped_shape;

  GroupedSearch& grouped_search(GroupedBoard const& board, Within within) {
    if (!grouped || grouped_within != within || grouped_shape.n != board.n ||
        grouped_shape.height != board.height || grouped_shape.stays != board.stays) {
      grouped.reset();
      grouped = make_grouped_search(within, board, max_bytes, [this] { tick(); });
      grouped_within = within;
      grouped_shape = board;
    }
    return *grouped;
  }

  SearchStats stats() const {
    double const running = query_start == Clock::time_point{}
                               ? 0
                               : std::chrono::duration<double>(Clock::now() - query_start).count();
    std::uint64_t const stored = table.size() + (grouped ? grouped->stored() : 0);
    std::uint64_t const expanded =
        prover.expanded() + (grouped ? grouped->expanded() : 0) + helper_expanded;
    return {stored, expanded, helper_expanded, seconds + running,
            root ? root_bounds() : ValueBounds{}};
  }

  void tick() {
    stop();
    if (shared_proof && !helpers && prover.expanded() >= helpers_after) start_helpers();
    if (!progress || ++ticks % kTicksPerProgressCheck != 0) return;
    auto const now = Clock::now();
    if (now - last_report < kProgressInterval) return;
    ensure_rule();
    last_report = now;
    progress(stats());
  }

  // Runs one query, turning a blown budget or an allocation failure into an empty answer.
  template <class Query>
  auto guarded(Query&& query) -> std::optional<decltype(query())> {
    if (shortage != MemoryShortage::none || stopped != SearchStatus::optimal) return std::nullopt;
    if (stop.reached()) {
      stopped = stop.limits().interrupt && stop.limits().interrupt->load()
                    ? SearchStatus::interrupted
                    : SearchStatus::time_limit;
      return std::nullopt;
    }
    query_start = last_report = Clock::now();
    std::optional<decltype(query())> answer;
    try {
      answer = query();
    } catch (BudgetExceeded const&) {
      shortage = MemoryShortage::budget;
    } catch (std::bad_alloc const&) {
      shortage = MemoryShortage::system;
    } catch (SearchStopped const& e) {
      stopped = e.status;
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

  std::vector<YardRequestCost> grouped_costs(GroupedBoard const& board, Within within) {
    std::vector<YardRequestCost> costs;
    int const group = current_group(board);
    GroupedSearch& search = grouped_search(board, within);
    for (int s = 0; s < board.n && group != 0; ++s) {
      for (int j = 0; j < board.level[s]; ++j) {
        if (board.cell[s][j] == group) costs.push_back({s, j, search.request_cost(board, s, j)});
      }
    }
    return costs;
  }

  // The request a line makes: the first among equals in (stack, slot) order of the costliest
  // (worst and random orders) or the cheapest (best order). In the worst and best orders that
  // request costs the board's value, so the value is found once, with every bound the table
  // holds, and only the requests before the chosen one are costed.
  std::optional<YardRequestCost> line_request(GroupedBoard const& board, Within within) {
    GroupedSearch& search = grouped_search(board, within);
    if (within == Within::random) {
      std::vector<YardRequestCost> const costs = grouped_costs(board, within);
      if (costs.empty()) return std::nullopt;
      auto chosen = costs.begin();
      for (auto c = costs.begin(); c != costs.end(); ++c) {
        if (chosen->cost < c->cost) chosen = c;
      }
      return *chosen;
    }
    int const group = current_group(board);
    if (group == 0) return std::nullopt;
    Moves const value = search.value(board);
    std::vector<std::pair<int, int>> asks;
    for (int s = 0; s < board.n; ++s) {
      for (int j = 0; j < board.level[s]; ++j) {
        if (board.cell[s][j] == group) asks.emplace_back(s, j);
      }
    }
    if (asks.size() == 1) return YardRequestCost{asks[0].first, asks[0].second, value};
    for (auto [s, j] : asks) {
      Moves cost = search.request_cost(board, s, j);
      if (cost == value) return YardRequestCost{s, j, std::move(cost)};
    }
    throw std::logic_error("no request costs the board's value");
  }

  std::vector<YardStep> grouped_line(DenseYard const& dense, int groups, Within within) {
    std::vector<YardStep> line;
    GroupedBoard current = dense.board;
    while (true) {
      std::optional<YardRequestCost> const chosen = line_request(current, within);
      if (!chosen) break;
      Retrieval<GroupedBoard> retrieval(current, chosen->stack, chosen->slot);
      if (!retrieval.fits()) {
        line.push_back({chosen->stack, chosen->slot, chosen->cost, 0, false,
                        yard_of(canonical(current), dense, groups)});
        break;
      }
      GroupedBoard const after =
          canonical(grouped_search(current, within)
                        .best_answer(current, chosen->stack, chosen->slot, chosen->cost));
      line.push_back({chosen->stack, chosen->slot, chosen->cost, retrieval.lifted_count(), true,
                      yard_of(after, dense, groups)});
      current = after;
    }
    return line;
  }

  // Makes `board` the root of the queries that follow.
  void set_root(PackedBoard const& board) {
    if (root && root->two_class && root->packed == board) return;
    DenseYard const dense = dense_yard(yard_of(unpack(board)));
    root = Root{true, board, dense.board, Within::worst, Moves::no_placement(), nullptr};
  }
  void set_root(GroupedBoard const& board, Within within) {
    if (root && !root->two_class && root->within == within &&
        key_of<32>(root->grouped) == key_of<32>(board)) {
      return;
    }
    root = Root{false, {}, board, within, Moves::no_placement(), nullptr};
  }

  // The rule's cost on the root, or the plain bound when its search outgrows its table, worked
  // out once, and only when a bound is wanted: when progress is shown (a search that has run
  // for a while), or when a query stopped. An exact answer does not wait for it. The search
  // is told, so that proofs that the root is worth more end at once.
  void ensure_rule() {
    if (!root || root->rule_costs) return;
    root->rule_costs = std::make_shared<RuleCosts>(root->grouped, root->within, kRuleBoards);
    auto cost = root->rule_costs->cost(root->grouped, [] {});
    root->rule = cost ? *cost : plain_upper_bound(root->grouped);
    if (!root->rule.placed()) return;
    // Telling the search only saves it work: a full table may refuse.
    try {
      if (root->two_class) {
        table.cut_upper(root->packed, root->rule.whole_moves());
      } else if (GroupedSearch* search = root_search()) {
        search->limit_above(root->grouped, root->rule);
      }
    } catch (BudgetExceeded const&) {
    }
  }

  // The search that holds the root's bounds, if there is one; never made or replaced here,
  // since a query may be running in it.
  GroupedSearch* root_search() const {
    if (!grouped || grouped_within != root->within || grouped_shape.n != root->grouped.n ||
        grouped_shape.height != root->grouped.height ||
        grouped_shape.stays != root->grouped.stays) {
      return nullptr;
    }
    return grouped.get();
  }

  // The root's bounds once `set` has made the board the root, which may take memory (but no
  // time limit: a stopped rule search leaves the plain bound).
  template <class Set>
  std::optional<ValueBounds> root_bounds_after(Set&& set) {
    // After a shortage the root is most often the board asked about already, and setting it
    // then takes nothing.
    try {
      set();
      ensure_rule();
    } catch (BudgetExceeded const&) {
      shortage = MemoryShortage::budget;
      return std::nullopt;
    } catch (std::bad_alloc const&) {
      shortage = MemoryShortage::system;
      return std::nullopt;
    }
    return root_bounds();
  }

  // The rule's line from the root that `set` makes.
  template <class Set>
  std::optional<std::vector<RuleCosts::Step>> rule_steps(Set&& set) {
    if (!root_bounds_after(set) || !root->rule_costs) return std::nullopt;
    try {
      return root->rule_costs->line(root->grouped, [] {});
    } catch (std::bad_alloc const&) {
      shortage = MemoryShortage::system;
      return std::nullopt;
    }
  }

  ValueBounds root_bounds() const {
    if (root->two_class) {
      ValueBounds b{moves_lower_bound(WorkingBoard(root->packed)), root->rule};
      if (std::optional<Bounds> const known = table.find(root->packed)) {
        b.lower = larger(b.lower, stored_moves(known->lower));
        b.upper = smaller(b.upper, stored_moves(known->upper));
      }
      return b;
    }
    ValueBounds b{group_lower_bound(root->grouped, root->within), root->rule};
    if (GroupedSearch const* search = root_search()) {
      auto const [lower, upper] = search->proven(root->grouped);
      b.lower = larger(b.lower, lower);
      b.upper = smaller(b.upper, upper);
    }
    return b;
  }

  // Whether the two-class board is worth at least goal, helpers searching the same proof over
  // the one table, each putting off what another thread is in (see BusyBoards). The query's own
  // thread keeps to its order and answers; helpers still at work then are stopped. Helpers
  // start once the query's thread has expanded helpers_after boards (see tick()).
  Proof shared_at_least(PackedBoard const& board, int goal) {
    if (std::optional<Proof> const decided = prover.decided(board, goal)) return *decided;
    if (!busy) busy = std::make_unique<BusyBoards>();
    shared_proof = SharedProof{board, goal};
    prover.share(busy.get());
    struct Unshare {
      Impl& impl;
      ~Unshare() {
        impl.shared_proof.reset();
        impl.prover.share(nullptr);
        if (!impl.helpers) return;
        impl.helpers->stop();
        impl.helper_expanded += impl.helpers->expanded();
        impl.helpers.reset();
        impl.table.settle();
      }
    } const unshare{*this};
    if (prover.expanded() >= helpers_after) start_helpers();
    return prover.at_least(board, goal);
  }

  void start_helpers() {
    SharedProof const proof = *shared_proof;
    helpers = std::make_unique<HelperThreads>(
        threads - 1,
        [this, proof](std::function<void()> const& tick) {
          Prover(table, tick, busy.get()).at_least(proof.board, proof.goal);
        },
        stop.limits());
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
    : impl_(new Impl(max_bytes, std::move(progress), threads)) {}

Engine::~Engine() {
  delete impl_;
}

std::optional<int> Engine::value(State const& board) {
  PackedBoard const key = pack_request_phase(board);
  return impl_->guarded([&] {
    impl_->set_root(key);
    if (impl_->threads == 1) return impl_->prover.value(key);
    // A search that ends soon is not worth the threads' start.
    impl_->helpers_after = impl_->prover.expanded() + kSerialExpansions;
    return impl_->prover.value(key, [&](int goal) { return impl_->shared_at_least(key, goal); });
  });
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

void Engine::set_limits(SearchLimits const& limits) {
  impl_->stop.set(limits);
  impl_->stopped = SearchStatus::optimal;
}

SearchStatus Engine::status() const {
  if (impl_->shortage != MemoryShortage::none) return SearchStatus::memory_limit;
  return impl_->stopped;
}

namespace {

// The rule's line in the cells of the yard, with a cheap lower bound on each request.
std::vector<YardStep> yard_rule_line(std::vector<RuleCosts::Step> const& steps,
                                     DenseYard const& dense, int groups, Within within) {
  std::vector<YardStep> line;
  GroupedBoard before = canonical(dense.board);
  for (RuleCosts::Step const& step : steps) {
    bool const strict = strict_blocking(within);
    Moves const lower =
        request_bound(before, step.stack, step.slot, blocked_items(before, strict), strict);
    line.push_back({step.stack, step.slot, step.cost, step.lifted, step.placed,
                    yard_of(step.after, dense, groups), step.placed ? lower : step.cost});
    before = step.after;
  }
  return line;
}

}  // namespace

std::optional<std::vector<YardStep>> Engine::rule_line(Yard const& yard, Within within) {
  DenseYard const dense = checked_dense_yard(yard);
  if (auto const board = two_class_board(dense, within)) {
    auto const line = rule_line(*board);
    if (!line) return std::nullopt;
    std::vector<YardStep> steps;
    for (LineStep const& step : *line) {
      steps.push_back({step.stack, step.slot, step.cost, step.moved, step.placed,
                       yard_of_two_class(step.after, dense, yard.groups), Moves(*step.lower)});
    }
    return steps;
  }
  auto const steps = impl_->rule_steps([&] { impl_->set_root(dense.board, within); });
  if (!steps) return std::nullopt;
  return yard_rule_line(*steps, dense, yard.groups, within);
}

std::optional<std::vector<LineStep>> Engine::rule_line(State const& board) {
  PackedBoard const key = pack_request_phase(board);
  auto const steps = impl_->rule_steps([&] { impl_->set_root(key); });
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

std::optional<ValueBounds> Engine::bounds(State const& board) {
  PackedBoard const key = pack_request_phase(board);
  return impl_->root_bounds_after([&] { impl_->set_root(key); });
}

std::optional<ValueBounds> Engine::bounds(Yard const& yard, Within within) {
  DenseYard const dense = checked_dense_yard(yard);
  if (auto const board = two_class_board(dense, within)) return bounds(*board);
  return impl_->root_bounds_after([&] { impl_->set_root(dense.board, within); });
}

bool Engine::out_of_memory() const {
  return impl_->shortage != MemoryShortage::none;
}

MemoryShortage Engine::memory_shortage() const {
  return impl_->shortage;
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
  DenseYard const dense = checked_dense_yard(yard);
  if (auto const board = two_class_board(dense, within)) {
    auto const v = value(*board);
    return v ? std::optional<Moves>(*v) : std::nullopt;
  }
  return impl_->guarded([&] {
    impl_->set_root(dense.board, within);
    return impl_->grouped_search(dense.board, within).value(dense.board);
  });
}

std::optional<std::vector<YardRequestCost>> Engine::request_costs(Yard const& yard, Within within) {
  DenseYard const dense = checked_dense_yard(yard);
  if (auto const board = two_class_board(dense, within)) {
    auto const costs = request_costs(*board);
    if (!costs) return std::nullopt;
    std::vector<YardRequestCost> yard_costs;
    for (RequestCost const& c : *costs)
      yard_costs.push_back({c.stack, c.slot, c.cost});
    return yard_costs;
  }
  return impl_->guarded([&] { return impl_->grouped_costs(dense.board, within); });
}

std::optional<std::vector<YardStep>> Engine::best_line(Yard const& yard, Within within) {
  DenseYard const dense = checked_dense_yard(yard);
  if (auto const board = two_class_board(dense, within)) {
    auto const line = best_line(*board);
    if (!line) return std::nullopt;
    std::vector<YardStep> steps;
    for (LineStep const& step : *line) {
      Yard after = yard_of_two_class(step.after, dense, yard.groups);
      after.sort_stacks();  // a step that is not placed keeps the board as it was given
      steps.push_back({step.stack, step.slot, step.cost, step.moved, step.placed, after});
    }
    return steps;
  }
  return impl_->guarded([&] { return impl_->grouped_line(dense, yard.groups, within); });
}
