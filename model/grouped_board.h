// A yard of retrieval groups opened up for play, and its key in the search's tables.
//
// Working board. Cells are bytes: 0 empty, 1 .. stays - 1 the groups (numbered densely, in
// the order they leave), `stays` an item that stays. Beside the cells, low[s][j] keeps the
// least cell among the j lowest slots of stack s (kNoItem for none), so that whether an item
// is blocked, and the least group on a stack, cost one look-up after every push and pop.
//
// Stack code. When a stack's cells fit in 64 bits (height x b <= 64, b the bits that hold
// `stays`), code[s] holds them with slot 0 in the highest b bits and the empty slots 0, so
// that comparing codes compares stacks in canonical order (lexicographic, slot 0 first, empty
// first): sorting a board is sorting a few integers, as with two-class boards.
//
// Key. Bit 0 up: a header (the stack count, the capacity and `stays`; KeyHeader), then every
// stack in canonical order, each as `height` cells of b bits, slot 0 in the highest bits: the
// code of the stack, where it is kept. A yard of n stacks of capacity h takes 24 (or 19) +
// n * h * b bits, rounded up to W words: small yards get narrow keys. Two keys are equal
// exactly when the yards are equal up to the order of their stacks.
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

inline constexpr int kMaxGroupedStacks = 32;
inline constexpr int kMaxGroupedHeight = 31;
// A cell is a byte, and `stays` must stay below kNoItem.
inline constexpr int kMaxDenseGroups = 253;
inline constexpr std::uint8_t kNoItem = 0xff;

struct GroupedBoard {
  static constexpr int kMaxHeight = kMaxGroupedHeight;
  using Row = std::array<std::uint8_t, kMaxGroupedHeight + 1>;

  int n = 0;
  int height = 0;
  int stays = 0;
  int bits = 0;        // b
  bool coded = false;  // whether code[] is kept (height x b <= 64)
  // Only the first n entries of these are ever set or read (no initialiser: a board is copied
  // for every retrieval searched, and most yards have far fewer stacks than the arrays hold).
  std::array<int, kMaxGroupedStacks> level;
  std::array<std::uint64_t, kMaxGroupedStacks> code;
  std::array<Row, kMaxGroupedStacks> cell;  // cell[s][j]; 0 at and above level[s]
  std::array<Row, kMaxGroupedStacks> low;   // low[s][j]: least of cell[s][0 .. j), kNoItem at 0

  GroupedBoard() = default;
  GroupedBoard(int stacks, int capacity, int stays_cell)
      : n(stacks),
        height(capacity),
        stays(stays_cell),
        bits(std::bit_width(static_cast<unsigned>(stays_cell))),
        coded(capacity * bits <= 64) {
    for (int s = 0; s < n; ++s) {
      level[s] = 0;
      code[s] = 0;
      cell[s].fill(0);
      low[s][0] = kNoItem;
    }
  }

  GroupedBoard(GroupedBoard const& other) { *this = other; }
  GroupedBoard& operator=(GroupedBoard const& other) {
    n = other.n;
    height = other.height;
    stays = other.stays;
    bits = other.bits;
    coded = other.coded;
    std::copy_n(other.level.begin(), n, level.begin());
    std::copy_n(other.code.begin(), n, code.begin());
    std::copy_n(other.cell.begin(), n, cell.begin());
    std::copy_n(other.low.begin(), n, low.begin());
    return *this;
  }

  // How many stacks from s on hold the same items as s (at least 1): on a canonical board,
  // equal stacks are neighbours, and their requests cost the same.
  int twins(int s) const {
    int count = 1;
    while (s + count < n && same_stack(s, s + count))
      ++count;
    return count;
  }
  bool same_stack(int a, int b) const {
    if (coded) return code[a] == code[b];
    return level[a] == level[b] && std::memcmp(cell[a].data(), cell[b].data(), level[a]) == 0;
  }
  int top_item(int s) const { return cell[s][level[s] - 1]; }
  // Takes the item at (s, slot) away with every item above it, those into `lifted` top first
  // (room for kMaxGroupedHeight); returns how many were lifted.
  int take(int s, int slot, int* lifted) {
    int const count = level[s] - 1 - slot;
    for (int i = 0; i < count; ++i) {
      lifted[i] = top_item(s);
      pop(s);
    }
    pop(s);
    return count;
  }
  int item_at(int s, int slot) const { return cell[s][slot]; }
  bool full(int s) const { return level[s] == height; }
  int free_slots(int s) const { return height - level[s]; }
  // The least cell on stack s, kNoItem when it is empty.
  int lowest(int s) const { return low[s][level[s]]; }
  // The least cell below slot j of stack s, kNoItem for none.
  int lowest_below(int s, int slot) const { return low[s][slot]; }

  void pop(int s) {
    int const j = --level[s];
    if (coded) code[s] -= std::uint64_t{cell[s][j]} << shift(j);
    cell[s][j] = 0;
  }
  void push(int s, int item) {
    int const j = level[s]++;
    if (coded) code[s] += std::uint64_t(item) << shift(j);
    cell[s][j] = static_cast<std::uint8_t>(item);
    low[s][j + 1] = std::min<std::uint8_t>(low[s][j], static_cast<std::uint8_t>(item));
  }

  // Stack indices in canonical order.
  std::array<std::uint8_t, kMaxGroupedStacks> canonical_order() const {
    std::array<std::uint8_t, kMaxGroupedStacks> order;
    if (coded) {
      // Insertion sort: a handful of codes, nearly in order already.
      for (int i = 0; i < n; ++i) {
        int k = i;
        for (; k > 0 && code[order[k - 1]] > code[i]; --k)
          order[k] = order[k - 1];
        order[k] = static_cast<std::uint8_t>(i);
      }
      return order;
    }
    for (int s = 0; s < n; ++s)
      order[s] = static_cast<std::uint8_t>(s);
    std::sort(order.begin(), order.begin() + n, [this](std::uint8_t a, std::uint8_t b) {
      return std::memcmp(cell[a].data(), cell[b].data(), height) < 0;
    });
    return order;
  }

 private:
  int shift(int slot) const { return bits * (height - 1 - slot); }
};

// Bits a cell takes in a key.
constexpr int cell_bits(int stays) {
  return std::bit_width(static_cast<unsigned>(stays));
}
// A key's header. Wide: the stack count, capacity and `stays` in 8 bits each, which the worst
// and best orders' packed table (search/proof/packed_bound_table.h) replaces by a board's two
// bounds. Narrow: the same in the 6, 5 and 8 bits they need at most, for a table that keeps its
// values beside the key (the random order's): more yards fit a narrower key, such as 6 stacks
// of capacity 6 in 4 groups, 127 bits against 132 (2 words against 4).
enum class KeyHeader { wide, narrow };
constexpr int header_bits(KeyHeader header) {
  return header == KeyHeader::wide ? 24 : 19;
}
static_assert(kMaxGroupedStacks < 64 && kMaxGroupedHeight < 32 && kMaxDenseGroups + 1 < 256,
              "a narrow header holds 6 bits of stacks, 5 of capacity and 8 of stays");
// Bits of the narrowest key that holds a yard of these dimensions.
constexpr int key_bits(int n, int height, int stays, KeyHeader header = KeyHeader::wide) {
  return header_bits(header) + n * height * cell_bits(stays);
}

template <int W>
struct GroupKey {
  std::array<std::uint64_t, W> word{};
  // Word by word, which the compiler unrolls: the defaulted comparison called memcmp, a quarter
  // of the time of a table look-up.
  friend bool operator==(GroupKey const& a, GroupKey const& b) {
    bool same = true;
    for (int w = 0; w < W; ++w)
      same &= a.word[w] == b.word[w];
    return same;
  }
};

template <int W>
struct GroupKeyHash {
  std::size_t operator()(GroupKey<W> const& key) const {
    std::uint64_t h = 0x243f6a8885a308d3ull;
    for (std::uint64_t w : key.word)
      h = (h ^ w) * 0x9e3779b97f4a7c15ull;
    return static_cast<std::size_t>(h ^ (h >> 29));
  }
};

// Where the header's fields start: stacks at bit 0, then capacity, then stays.
constexpr int capacity_shift(KeyHeader header) {
  return header == KeyHeader::wide ? 8 : 6;
}
constexpr int stays_shift(KeyHeader header) {
  return header == KeyHeader::wide ? 16 : 11;
}

template <int W, KeyHeader H = KeyHeader::wide>
GroupKey<W> key_of(GroupedBoard const& board) {
  GroupKey<W> key;
  int const b = cell_bits(board.stays);
  int at = header_bits(H);
  key.word[0] = static_cast<std::uint64_t>(board.n) |
                static_cast<std::uint64_t>(board.height) << capacity_shift(H) |
                static_cast<std::uint64_t>(board.stays) << stays_shift(H);
  auto const order = board.canonical_order();
  if (board.coded) {
    int const width = b * board.height;
    for (int i = 0; i < board.n; ++i, at += width) {
      std::uint64_t const v = board.code[order[i]];
      key.word[at >> 6] |= v << (at & 63);
      if ((at & 63) + width > 64) key.word[(at >> 6) + 1] |= v >> (64 - (at & 63));
    }
    return key;
  }
  for (int i = 0; i < board.n; ++i, at += b * board.height) {
    auto const& row = board.cell[order[i]];
    for (int j = 0; j < board.height; ++j) {
      int const p = at + b * (board.height - 1 - j);
      std::uint64_t const v = row[j];
      key.word[p >> 6] |= v << (p & 63);
      if ((p & 63) + b > 64) key.word[(p >> 6) + 1] |= v >> (64 - (p & 63));
    }
  }
  return key;
}

template <int W, KeyHeader H = KeyHeader::wide>
GroupedBoard board_of(GroupKey<W> const& key) {
  std::uint64_t const header = key.word[0];
  int const n = static_cast<int>(header & ((1u << capacity_shift(H)) - 1));
  int const height = static_cast<int>(header >> capacity_shift(H) &
                                      ((1u << (stays_shift(H) - capacity_shift(H))) - 1));
  int const stays = static_cast<int>(header >> stays_shift(H) & 0xff);
  GroupedBoard board(n, height, stays);
  int const b = cell_bits(stays);
  std::uint64_t const mask = (std::uint64_t{1} << b) - 1;
  int at = header_bits(H);
  for (int s = 0; s < n; ++s, at += b * height) {
    for (int j = 0; j < height; ++j) {
      int const p = at + b * (height - 1 - j);
      std::uint64_t v = key.word[p >> 6] >> (p & 63);
      if ((p & 63) + b > 64) v |= key.word[(p >> 6) + 1] << (64 - (p & 63));
      if ((v & mask) == 0) break;
      board.push(s, static_cast<int>(v & mask));
    }
  }
  return board;
}

// The board with its stacks in canonical order.
inline GroupedBoard canonical(GroupedBoard const& board) {
  GroupedBoard sorted(board.n, board.height, board.stays);
  auto const order = board.canonical_order();
  for (int s = 0; s < board.n; ++s) {
    for (int j = 0; j < board.level[order[s]]; ++j)
      sorted.push(s, board.cell[order[s]][j]);
  }
  return sorted;
}
