// The solver's two tables: what every solved board is worth (memo) and what best play does
// next from it (memo_strat). Both are keyed by the packed board and grow only.
#pragma once

#include <boost/unordered/unordered_flat_map.hpp>
#include <cstddef>

#include "model/packed_board.h"

// An open-addressing map from packed boards to Value. boost::unordered_flat_map keeps key and
// value inline in one array, so a probe touches one cache line and a table of a million boards
// stays a few tens of megabytes (a map of whole State values took over a gigabyte).
template <class Value>
class BoardTable {
 public:
  using Map = boost::unordered_flat_map<PackedBoard, Value, PackedBoardHash>;
  // One slot of the table:
  //   bytes  0..15  the packed board (key)
  //   bytes 16..    the value: an int for memo, a packed board for memo_strat
  using Entry = typename Map::value_type;

  Value const* find(PackedBoard const& key) const {
    auto it = map_.find(key);
    return it == map_.end() ? nullptr : &it->second;
  }
  // Null too when the board could not be a key at all (see packing_problem).
  Value const* find(State const& board) const {
    return packing_problem(board).empty() ? find(pack(board)) : nullptr;
  }
  void insert(PackedBoard const& key, Value const& value) { map_.emplace(key, value); }

  std::size_t size() const { return map_.size(); }
  std::size_t bytes() const { return map_.bucket_count() * sizeof(Entry); }
  typename Map::const_iterator begin() const { return map_.begin(); }
  typename Map::const_iterator end() const { return map_.end(); }
  void clear() { map_ = Map(); }

 private:
  Map map_;
};

static_assert(sizeof(BoardTable<int>::Entry) == 24, "memo slot: 16-byte key, int, padding");
static_assert(sizeof(BoardTable<PackedBoard>::Entry) == 32, "memo_strat slot: two boards");

// Value of every board solved so far, in relocations; kNoPlacement where the lifted items of a
// request fit nowhere.
extern BoardTable<int> memo;
// Successor under best play: the same board with the chosen request, or the board after the
// chosen retrieval (canonical, no request); a board with no target, or whose request cannot be
// served, is its own successor.
extern BoardTable<PackedBoard> memo_strat;
