// The tables keep both bounds in the header bits of each slot's key: checked against a plain
// map of the same updates, so that a slot that confuses two boards, or loses or
// mixes up a bound, shows. Updates only tighten bounds, so two threads that make them in any
// interleaving must leave what one thread leaves.
#include "search/proof/packed_bound_table.h"

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <random>
#include <thread>
#include <utility>
#include <vector>

#include "rules/no_placement.h"
#include "search/games/random_game.h"

namespace {

struct Update {
  PackedBoard board;
  int value;  // kNoPlacement or a number up to the most a slot holds
  bool lower;
};

// Boards of 8 stacks of 12 slots, whose codes take all 104 bits; the top ones and the bottom
// ones vary, few enough for boards to meet again.
std::vector<Update> random_updates(int count, unsigned seed) {
  std::mt19937_64 rng(seed);
  std::vector<Update> updates;
  for (int i = 0; i < count; ++i) {
    PackedBoard const board = PackedBoard::from_bits((Bits128(8) << 104) | (Bits128(12) << 109) |
                                                     (Bits128{rng() % 3000} << 92) | rng() % 7);
    int const v = rng() % 5 == 0 ? kNoPlacement : static_cast<int>(rng() % 4095);
    updates.push_back({board, v, rng() % 2 == 0});
  }
  return updates;
}

void apply(BoundTable& table, Update const& u) {
  if (u.lower) {
    table.raise_lower(u.board, u.value);
  } else {
    table.cut_upper(u.board, u.value);
  }
}

TEST(BoundTable, TwoThreadsLeaveWhatOneLeaves) {
  std::vector<Update> const updates = random_updates(40000, 5);
  BoundTable alone(0);
  for (Update const& u : updates)
    apply(alone, u);
  BoundTable shared(0, true);
  // Each thread makes every other update, and reads back boards the other is writing.
  auto const half = [&](std::size_t first) {
    for (std::size_t i = first; i < updates.size(); i += 2) {
      apply(shared, updates[i]);
      std::optional<Bounds> const read = shared.find(updates[i ^ 1].board);
      std::optional<Bounds> const last = alone.find(updates[i ^ 1].board);
      if (read) {
        ASSERT_TRUE(read->lower <= last->lower && read->upper >= last->upper) << i;
      }
    }
  };
  std::thread other(half, 1);
  half(0);
  other.join();
  std::size_t const with_old_arrays = shared.bytes();
  shared.settle();
  EXPECT_LT(shared.bytes(), with_old_arrays);
  EXPECT_EQ(shared.size(), alone.size());
  for (Update const& u : updates) {
    std::optional<Bounds> const kept = shared.find(u.board);
    ASSERT_TRUE(kept.has_value());
    EXPECT_EQ(kept->lower, alone.find(u.board)->lower);
    EXPECT_EQ(kept->upper, alone.find(u.board)->upper);
  }
}

// At its budget the table refuses a new board before it takes the memory, never a board it
// keeps, and loses nothing; with threads, arrays outgrown but not yet let go count too.
TEST(BoundTable, AtItsBudgetRefusesOnlyNewBoards) {
  for (bool const shared : {false, true}) {
    SCOPED_TRACE(shared);
    std::size_t const budget = std::size_t{256} << 10;
    BoundTable table(budget, shared);
    BoundTable unlimited(0);  // the updates the table took
    int refused = 0;
    for (Update const& u : random_updates(40000, 7)) {
      try {
        apply(table, u);
      } catch (BudgetExceeded const&) {
        ASSERT_FALSE(table.find(u.board).has_value());
        ++refused;
        continue;
      }
      apply(unlimited, u);
      ASSERT_LE(table.bytes(), budget);
    }
    EXPECT_GT(refused, 1000);
    EXPECT_EQ(table.size(), unlimited.size());
    for (Update const& u : random_updates(40000, 7)) {
      std::optional<Bounds> const kept = unlimited.find(u.board);
      if (!kept) continue;
      std::optional<Bounds> const there = table.find(u.board);
      ASSERT_TRUE(there.has_value());
      EXPECT_EQ(there->lower, kept->lower);
      EXPECT_EQ(there->upper, kept->upper);
    }
  }
}

// The updates made on a plain map: every update read back at once, then every key.
template <class Table, class Key>
void expect_kept_as_a_plain_map_keeps(std::vector<std::pair<Key, Update>> const& updates) {
  for (bool const shared : {false, true}) {
    SCOPED_TRACE(shared);
    Table table(0, shared);
    std::map<decltype(Key::word), Bounds> plain;
    for (int i = 0; i < static_cast<int>(updates.size()); ++i) {
      auto const& [key, u] = updates[i];
      Bounds& b = plain[key.word];
      int const stored = u.value == kNoPlacement ? Bounds::kNoValue : u.value;
      if (u.lower) {
        table.raise_lower(key.board, u.value);
        if (stored > b.lower) b.lower = static_cast<std::uint16_t>(stored);
      } else {
        table.cut_upper(key.board, u.value);
        if (stored < b.upper) b.upper = static_cast<std::uint16_t>(stored);
      }
      std::optional<Bounds> const kept = table.find(key.board);
      ASSERT_TRUE(kept.has_value());
      ASSERT_EQ(kept->lower, b.lower) << i;
      ASSERT_EQ(kept->upper, b.upper) << i;
    }
    EXPECT_EQ(table.size(), plain.size());
    for (auto const& [key, u] : updates) {
      std::optional<Bounds> const kept = table.find(key.board);
      ASSERT_TRUE(kept.has_value());
      EXPECT_EQ(kept->lower, plain[key.word].lower);
      EXPECT_EQ(kept->upper, plain[key.word].upper);
    }
  }
}

template <class Board, class Words>
struct Keyed {
  Board board;
  Words word;
};

// Keys of four words that all share one hash: one shard, one control byte, one run of probes,
// so that telling keys apart rests on their words alone.
struct CollidingPacking : GroupKeyPacking<4> {
  static std::uint64_t hash(std::uint64_t const*) { return 0x5bd1e995u; }
};

// Two-class boards, and grouped keys of four words whose every word varies (the header, stacks
// capacity and the cell of items that stay, is the same for all): a slot that confuses two keys,
// or loses or mixes up a bound, shows.
TEST(BoundTable, KeepsWhatAPlainMapKeeps) {
  using PackedKey = Keyed<PackedBoard, std::pair<std::uint64_t, std::uint64_t>>;
  std::vector<std::pair<PackedKey, Update>> packed;
  for (Update const& u : random_updates(20000, 3))
    packed.push_back({{u.board, {u.board.lo, u.board.hi}}, u});
  expect_kept_as_a_plain_map_keeps<BoundTable>(packed);

  using GroupedKey = Keyed<GroupKey<4>, std::array<std::uint64_t, 4>>;
  std::vector<std::pair<GroupedKey, Update>> grouped;
  std::mt19937_64 rng(11);
  for (Update const& u : random_updates(3000, 4)) {
    GroupKey<4> key;
    key.word = {0x060706 | (rng() % 5) << 24, rng() % 3, rng() % 7, (rng() % 2) << 63 | 1};
    grouped.push_back({{key, key.word}, u});
  }
  expect_kept_as_a_plain_map_keeps<GroupBoundTable<4>>(grouped);
  expect_kept_as_a_plain_map_keeps<BoundSlots<CollidingPacking>>(grouped);
}

TEST(BoundTable, BoardsOfAnotherSizeWithTheSameCodesAreOtherBoards) {
  PackedBoard const two_by_three =
      PackedBoard::from_bits((Bits128(2) << 104) | (Bits128(3) << 109) | 9);
  PackedBoard const three_by_two =
      PackedBoard::from_bits((Bits128(3) << 104) | (Bits128(2) << 109) | 9);
  for (bool const shared : {false, true}) {
    SCOPED_TRACE(shared);
    BoundTable table(0, shared);
    table.raise_lower(two_by_three, 4);
    EXPECT_EQ(table.find(three_by_two), std::nullopt);
    table.cut_upper(three_by_two, 2);
    EXPECT_EQ(table.find(three_by_two)->lower, 0);
    EXPECT_EQ(table.find(three_by_two)->upper, 2);
    EXPECT_EQ(table.find(two_by_three), std::nullopt);
    EXPECT_EQ(table.size(), 1u);
    table.settle();                      // a shared table lets the other size's array go only now
    EXPECT_EQ(table.bytes(), 64u * 17);  // the first array, 64 slots, of the new size alone
  }
}

// The table of the random order keeps most fractions inline and the rest aside: every kind comes
// back as it went in, as a value or as a lower bound that only rises.
TEST(ExpectedTable, KeepsEveryFractionAsGiven) {
  using boost::multiprecision::cpp_int;
  std::vector<Moves> const values = {
      Moves(0),
      Moves(Fraction(555071, 40320)),
      Moves(Fraction((cpp_int(1) << 62) + 1, 3)),
      Moves(Fraction((cpp_int(1) << 63) + 1, 5)),  // a numerator past 63 bits
      Moves(Fraction(7, (cpp_int(1) << 64) + 1)),  // a denominator past 64 bits
      Moves(Fraction(cpp_int(1) << 130, 3)),       // several limbs
      Moves::no_placement(),
  };
  for (bool const shared : {false, true}) {
    SCOPED_TRACE(shared);
    ExpectedTable<1> table(0, shared);
    for (std::size_t i = 0; i < values.size(); ++i) {
      GroupKey<1> exact;
      GroupKey<1> lower;
      exact.word[0] = 2 * i;
      lower.word[0] = 2 * i + 1;
      table.set_exact(exact, values[i]);
      table.raise_lower(lower, values[i]);
      table.raise_lower(lower, Moves(Fraction(1, 3)));  // lower: no effect past the first
      Moves const expected = values[i] < Moves(Fraction(1, 3)) ? Moves(Fraction(1, 3)) : values[i];
      auto const found_exact = table.find(exact);
      auto const found_lower = table.find(lower);
      ASSERT_TRUE(found_exact && found_lower);
      EXPECT_EQ(found_exact->first, values[i]);
      EXPECT_EQ(found_exact->second, values[i]);
      EXPECT_EQ(found_lower->first, expected);
      EXPECT_EQ(found_lower->second, Moves::no_placement());
    }
    EXPECT_EQ(table.size(), 2 * values.size());
  }
}

// Cut into shards that grow one at a time, the table still gives up within its whole budget,
// and not long before it: each shard keeps its own part of the budget.
TEST(ExpectedTable, GivesUpWithinItsBudget) {
  constexpr std::size_t kBudget = std::size_t{1} << 20;
  constexpr std::size_t kSlot = 8 + 32 + 1;  // the key, the entry, a control byte
  for (bool const shared : {false, true}) {
    SCOPED_TRACE(shared);
    ExpectedTable<1> table(kBudget, shared);
    GroupKey<1> key;
    try {
      for (key.word[0] = 0;; ++key.word[0])
        table.set_exact(key, Moves(1));
    } catch (BudgetExceeded const&) {
    }
    EXPECT_LE(table.size() * kSlot, kBudget);
    EXPECT_GE(table.size() * kSlot * 16, kBudget);
  }
}

}  // namespace
