// Tables kept in boost::unordered_flat_map (the rule's costs, the random order's means) are cut
// into shards by hash even on one thread. A flat map that fills up copies every entry into an
// array twice its size, in one call that cannot look at the query's limits: at the size these
// tables reach in a long query (a gigabyte and more), that call took seconds, and a time limit
// or a signal that fell in it took effect that much later. Cut in 64, a growth copies a 64th of
// the table, and the search polls between two.
#pragma once

#include <cstddef>

inline constexpr std::size_t kFlatMapShards = 64;
static_assert(kFlatMapShards == std::size_t{1} << 6, "the shard is the hash's top 6 bits");

// The shard of a key: its hash's high bits, as the map's own probing starts from the low ones.
template <class Hash, class Key>
std::size_t flat_map_shard(Key const& key) {
  return Hash()(key) >> 58 & (kFlatMapShards - 1);
}

// Each shard's part of a budget of max_bytes (0: no budget, which a small budget never becomes).
inline std::size_t flat_map_shard_budget(std::size_t max_bytes) {
  return max_bytes == 0 ? 0 : (max_bytes + kFlatMapShards - 1) / kFlatMapShards;
}

// Whether adding a key that `map` lacks keeps it within max_bytes (0: no budget). A full map
// grows into an array twice its size and holds both while it copies.
template <class Map>
bool flat_map_takes_one_more(Map const& map, std::size_t max_bytes) {
  if (max_bytes == 0 || map.size() < map.max_load()) return true;
  return (map.bucket_count() * 3 + 32) * (sizeof(typename Map::value_type) + 1) <= max_bytes;
}
