// Yards of retrieval groups in the random order, as the proof search plays them: every item of
// the current group still in the yard is equally likely to be asked for next, so the requesting
// side's node is the mean of its requests, and values are exact expectations (Moves). A proof
// that the yard is worth at least g searches each request against g, then, while the mean
// falls short, against what it must reach for the mean to reach g; one that fails has found
// every request's exact cost, so a board shown to
// fall short of a goal is known exactly. At the retrieving side's node every child that may be
// worth less than the best found so far is searched, the goal lowered to each value found:
// the least is then exact too. The table keeps a lower bound for the boards shown to reach a
// goal and the value of the boards known exactly.
#pragma once

#include <algorithm>
#include <boost/unordered/unordered_flat_map.hpp>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#include "model/grouped_board.h"
#include "rules/moves.h"
#include "rules/retrieval.h"
#include "search/bounds/expected_bound.h"
#include "search/bounds/group_bound.h"
#include "search/bounds/grouped_settled.h"
#include "search/games/grouped_game.h"
#include "search/proof/bound_table.h"
#include "search/proof/flat_map_shards.h"
#include "search/proof/proof_search.h"

// The random order's keys have the narrow header: its table keeps values beside its keys.
template <int W>
GroupKey<W> random_key_of(GroupedBoard const& board) {
  return key_of<W, KeyHeader::narrow>(board);
}

// Lower bounds and exact values of boards in the random order, inside a memory budget. It is cut
// into shards by hash (search/proof/flat_map_shards.h), and shared among threads each shard is
// behind a lock: the Boost of this system has no concurrent flat map, and a slot holds a
// fraction, too big for a lock-free slot.
template <int W>
class ExpectedTable {
 public:
  using Key = GroupKey<W>;

  // max_bytes 0: no budget. shared: threads read and write it at once.
  explicit ExpectedTable(std::size_t max_bytes, bool shared = false)
      : max_bytes_(flat_map_shard_budget(max_bytes)), locking_(shared), shards_(kFlatMapShards) {}

  // (lower, upper); upper is no placement unless the value is known, and then both are it.
  std::optional<std::pair<Moves, Moves>> find(Key const& key) const {
    Shard const& shard = shard_of(key);
    Lock const lock(shard, locking());
    auto const it = shard.map.find(key);
    if (it == shard.map.end()) return std::nullopt;
    Moves value = it->second.value();
    if (it->second.exact) return std::pair(value, value);
    return std::pair(std::move(value), Moves::no_placement());
  }
  void raise_lower(Key const& key, Moves const& lower) {
    Shard& shard = shard_of(key);
    Lock const lock(shard, locking());
    Entry& e = entry(shard, key);
    if (!e.exact && e.value() < lower) e.set(lower);
  }
  void set_exact(Key const& key, Moves const& value) {
    Shard& shard = shard_of(key);
    Lock const lock(shard, locking());
    Entry& e = entry(shard, key);
    e.set(value);
    e.exact = true;
  }
  std::size_t size() const {
    std::size_t total = 0;
    for (Shard const& shard : shards_) {
      Lock const lock(shard, locking());
      total += shard.map.size();
    }
    return total;
  }
  void settle() {}

 private:
  // One slot: the key (8 W bytes) and this, the value or a lower bound. A fraction whose terms
  // fit 62 bits, nearly all of them, is kept inline in lowest terms; any other on the heap.
  // (A Moves inline would take 80 bytes: the slots are what the table's memory goes to.)
  struct Entry {
    std::int64_t numerator = 0;
    std::int64_t denominator = 1;   // 0: the value is *big, or no placement when that is empty
    std::unique_ptr<Fraction> big;  // a value whose terms do not fit
    bool exact = false;             // whether it is the value, not a lower bound

    Moves value() const {
      if (denominator == 0) return big ? Moves(*big) : Moves::no_placement();
      return Moves(lowest_terms(numerator, denominator));
    }
    void set(Moves const& m) {
      big.reset();
      denominator = 0;
      if (m.placed() && !small_terms(m.exact(), numerator, denominator)) {
        big = std::make_unique<Fraction>(m.exact());
      }
    }
  };
  static_assert(sizeof(Entry) == 32);
  using Map = boost::unordered_flat_map<Key, Entry, GroupKeyHash<W>>;
  struct Shard {
    mutable std::mutex lock;
    Map map;
  };
  // Locks a shard when threads share the table.
  class Lock {
   public:
    Lock(Shard const& shard, bool locking) : mutex_(locking ? &shard.lock : nullptr) {
      if (mutex_) mutex_->lock();
    }
    ~Lock() {
      if (mutex_) mutex_->unlock();
    }
    Lock(Lock const&) = delete;
    Lock& operator=(Lock const&) = delete;

   private:
    std::mutex* mutex_;
  };

  bool locking() const { return locking_; }
  Shard& shard_of(Key const& key) { return shards_[flat_map_shard<GroupKeyHash<W>>(key)]; }
  Shard const& shard_of(Key const& key) const {
    return shards_[flat_map_shard<GroupKeyHash<W>>(key)];
  }
  Entry& entry(Shard& shard, Key const& key) {
    Map& map = shard.map;
    if (!flat_map_takes_one_more(map, max_bytes_) && !map.contains(key)) throw BudgetExceeded{};
    return map[key];
  }

  std::size_t max_bytes_;  // for each shard
  bool locking_;
  std::vector<Shard> shards_;
};

template <int W>
class RandomGame : public GroupedRules {
 public:
  using Value = Moves;
  using Sum = Fraction;
  static constexpr bool kExpected = true;
  using Board = GroupedBoard;
  using Key = GroupKey<W>;
  using Table = ExpectedTable<W>;
  struct Child {
    Key key;
    Moves bound;
  };
  static constexpr bool kLookAhead = false;

  static Moves no_value() { return Moves::no_placement(); }
  static Moves plus(int moves, Moves const& value) { return moves + value; }
  static Moves minus(Moves const& value, int moves) {
    return value.placed() ? Moves(Fraction(value.exact() - moves)) : value;
  }
  static Fraction sum_of(Moves const& value) { return value.exact(); }
  static Moves value_of(Fraction const& sum) { return Moves(sum); }
  static std::optional<std::pair<Moves, Moves>> find(Table const& table, Key const& key) {
    return table.find(key);
  }

  static std::uint64_t hash(Key const& key) { return GroupKeyHash<W>()(key); }
  static GroupedBoard board_of(Key const& key) { return ::board_of<W, KeyHeader::narrow>(key); }
  // A proof that the board is worth no placement needs one request worth it.
  static Side side(Moves const& goal) { return goal.placed() ? Side::mean : Side::most; }

  static std::optional<BasicProof<Moves>> decided_by_table(Key const& key, Moves const& goal,
                                                           Moves const&, Table const& table) {
    if (!(Moves(0) < goal)) return BasicProof<Moves>{true, 0};
    if (auto const known = table.find(key)) {
      if (!(known->first < goal)) return BasicProof<Moves>{true, known->first};
      if (known->second < goal) return BasicProof<Moves>{false, known->second};
    }
    return std::nullopt;
  }
  static std::optional<BasicProof<Moves>> decided_by_bounds(GroupedBoard const& board,
                                                            Moves const& goal, Moves bound) {
    if (!goal.placed() && !can_run_out_of_room(board, items_on(board))) {
      return BasicProof<Moves>{false, largest_finite_value(board)};
    }
    if (current_group(board) == 0) return BasicProof<Moves>{!(Moves(0) < goal), 0};
    if (bound < Moves(0)) bound = expected_lower_bound(board);
    if (!(bound < goal)) return BasicProof<Moves>{true, bound};
    return std::nullopt;
  }

  // The items of the current group, the dearest-looking first (the sooner the mean is shown to
  // reach a goal, the fewer requests are searched); an equal neighbouring stack (the board is
  // canonical) is one request standing for both.
  static void requests(GroupedBoard const& board, std::vector<BasicRequest<Moves>>& requests) {
    int const group = current_group(board);
    if (group == 0) return;
    Fraction const blocked = expected_blocked(board);
    for (int s = 0; s < board.n; ++s) {
      int const twins = board.twins(s);
      for (int j = 0; j < board.level[s]; ++j) {
        if (board.cell[s][j] != group) continue;
        requests.push_back({s, j, Moves(expected_request_bound(board, s, j, blocked)),
                            board.level[s] - 1 - j, twins});
      }
      s += twins - 1;
    }
    std::sort(requests.begin(), requests.end(), [](auto const& a, auto const& b) {
      if (a.bound != b.bound) return b.bound < a.bound;
      return a.lifted > b.lifted;
    });
  }

  static bool before(Child const& a, Child const& b) {
    return a.bound != b.bound ? a.bound < b.bound : a.key.word < b.key.word;
  }

  // One retrieval's placements, cut off item by item by the chances their items must move.
  class Placements {
   public:
    Placements(RandomGame const&, GroupedBoard const& board,
               Retrieval<GroupedBoard> const& retrieval, int stack, int slot, Moves const& need)
        : lifted_(retrieval.lifted_count()), bound_(board, stack, slot) {
      tighten(need);
    }

    bool cut(GroupedBoard const& placed, int i, int last, BasicOutcome<Moves>& out) {
      if (!need_.placed() || i == lifted_) return false;
      std::int64_t const units = bound_.after(placed, i, last);
      if (units < need_units_) return false;
      out.least = std::min(out.least, Moves(lowest_terms(units, bound_.denominator())));
      return true;
    }
    // Most children of a retrieval are in the table already: the bound is taken only on those
    // it misses.
    std::optional<Child> child(GroupedBoard const& placed, BasicOutcome<Moves>&) {
      placed_ = &placed;
      return Child{random_key_of<W>(placed), Moves(0)};
    }
    // A child whose every item that may move moves once at most is worth its chances to move,
    // exactly: below the goal it refutes, and the goal falls to it.
    bool keep(Child& child, BasicOutcome<Moves>& out) const {
      if (!need_.placed()) return true;
      child.bound = expected_lower_bound(*placed_, need_);
      if (child.bound < need_) {
        if (!parks_every_blocked_item(*placed_, true)) return true;
        child.bound = Moves(expected_blocked(*placed_));
        if (child.bound < need_) {
          out.refuted = child.bound;
          return false;
        }
      }
      out.least = std::min(out.least, child.bound);
      return false;
    }
    void tighten(Moves const& need) {
      need_ = need;
      if (!need.placed()) return;
      // The least bound, in the placement bound's units, that reaches need: a cut is then one
      // comparison of integers.
      Fraction const& v = need.exact();
      boost::multiprecision::cpp_int const scaled = numerator(v) * bound_.denominator();
      boost::multiprecision::cpp_int const least = (scaled + denominator(v) - 1) / denominator(v);
      need_units_ = least > INT64_MAX ? INT64_MAX
                    : least < 0       ? 0
                                      : static_cast<std::int64_t>(least);
    }

   private:
    int lifted_;
    Moves need_;
    std::int64_t need_units_ = 0;           // need in units of the placement bound
    GroupedBoard const* placed_ = nullptr;  // the placement whose child is being looked at
    ExpectedPlacementBound bound_;
  };
};
