// A value search's proofs shared among threads. Once the query's own thread has expanded
// enough boards in a query (a short search keeps one thread), helper threads search the same
// proof beside it, over one table: where the first request of a board, or the first placement
// of a request, did not decide, a helper leaves the requests and placements another thread is
// in to that thread and takes the next, coming back to them last (see BusyBoards). The query's
// own thread keeps to its order and finds the helpers' proofs in the table. Every proof holds
// whichever thread made it, so values and lines are the same with any number of threads.
//
// A search may have its helpers prove a goal of its own choosing instead (helpers_goal): the
// goal of its next proof, where the helpers' share of this one is mostly work the query's
// thread would never ask for (see RandomProver::value).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "search/proof/busy_boards.h"
#include "search/proof/helper_threads.h"
#include "search/proof/proof_search.h"
#include "search/search_limits.h"

class ProofSharing {
 public:
  // The boards a value search expands alone before it shares its proofs out among threads.
  static constexpr std::uint64_t kSerialExpansions = std::uint64_t{1} << 16;

  // threads: how many threads search a proof, the query's own included; serial: the boards the
  // query's thread expands alone before helpers join (fewer only for tests).
  explicit ProofSharing(int threads, std::uint64_t serial = kSerialExpansions)
      : threads_(std::max(threads, 1)), serial_(serial) {}

  int threads() const { return threads_; }
  // The limits that stop helpers too.
  void set_limits(SearchLimits const& limits) { limits_ = limits; }
  // A value query begins: helpers join its proofs once the query's thread has expanded
  // kSerialExpansions boards in it.
  void begin_query() { counting_ = false; }

  // Whether the board is worth at least goal, searched by `search` on the query's thread and
  // by helpers beside it, which search whether it is worth at least helpers_goal (none: goal).
  template <class Game>
  BasicProof<typename Game::Value> at_least(
      ProofSearch<Game>& search, typename Game::Board const& board, typename Game::Key const& key,
      typename Game::Value const& goal, typename Game::Value const& bound,
      std::optional<typename Game::Value> const& helpers_goal = std::nullopt);

  // Called on every board the query's thread expands: starts the helpers when they are due.
  void tick() {
    if (proof_ && !helpers_ && proof_->expanded() >= helpers_after_) start();
  }
  // Boards helper threads expanded, over every proof so far.
  std::uint64_t helper_expanded() const { return helper_expanded_; }

 private:
  // The proof being shared: how far the query's thread has got, what a helper does, and how
  // the table lets go of what helpers no longer read.
  struct Shared {
    std::function<std::uint64_t()> expanded;
    HelperThreads::Work work;
    std::function<void()> settle;
  };
  void start() { helpers_ = std::make_unique<HelperThreads>(threads_ - 1, proof_->work, limits_); }
  void finish();

  int threads_;
  std::uint64_t serial_;
  SearchLimits limits_;
  bool counting_ = false;  // helpers_after_ is set for the query
  std::uint64_t helpers_after_ = 0;
  std::uint64_t helper_expanded_ = 0;
  std::unique_ptr<BusyBoards> busy_;  // made for the first proof shared
  std::optional<Shared> proof_;
  std::unique_ptr<HelperThreads> helpers_;
};

template <class Game>
BasicProof<typename Game::Value> ProofSharing::at_least(
    ProofSearch<Game>& search, typename Game::Board const& board, typename Game::Key const& key,
    typename Game::Value const& goal, typename Game::Value const& bound,
    std::optional<typename Game::Value> const& helpers_goal) {
  if (threads_ == 1) return search.at_least(board, key, goal, bound);
  if (!counting_) {
    counting_ = true;
    helpers_after_ = search.expanded() + serial_;
  }
  if (auto const decided = search.decided(board, key, goal, bound)) {
    return *decided;
  }
  if (!busy_) busy_ = std::make_unique<BusyBoards>();
  BusyBoards* const busy = busy_.get();
  auto& table = search.table();
  Game const game = search.game();
  proof_ = Shared{[&search] { return search.expanded(); },
                  [&table, game, busy, key, goal = helpers_goal.value_or(goal),
                   bound](std::function<void()> const& tick) {
                    ProofSearch<Game>(table, game, tick, busy).at_least(key, goal, bound);
                  },
                  [&table] { table.settle(); }};
  search.share(busy);
  struct Unshare {
    ProofSharing& sharing;
    ProofSearch<Game>& search;
    ~Unshare() {
      search.share(nullptr);
      sharing.finish();
    }
  } const unshare{*this, search};
  if (search.expanded() >= helpers_after_) start();
  return search.at_least(board, key, goal, bound);
}
