#include "solver/compute.h"

#include "model/working_board.h"
#include "rules/retrieval.h"

#include <array>
#include <cstdint>
#include <stdexcept>
#include <vector>

BoardTable<int> memo;
BoardTable<PackedBoard> memo_strat;
SolverStats stats;

namespace {

constexpr int kUnknown = -1;

int solve(PackedBoard const& board);

// The requesting side: the largest value over every target on the board. A tie goes to the
// target scanned last (highest stack, then highest slot).
int solve_request_phase(PackedBoard const& board, PackedBoard& successor) {
  int best = 0;
  successor = board;
  int const h = board.max_height();
  int cells[kMaxPackedHeight];
  for (int j = 0; j < board.n_stacks(); ++j) {
    int const level = decode_stack(board.code(j), h, cells);
    for (int k = 0; k < level; ++k) {
      if (cells[k] != kTarget) continue;
      PackedBoard const child = board.with_request(j, k);
      int const v = solve(child);
      if (v >= best) {
        best = v;
        successor = child;
      }
    }
  }
  return best;
}

// The retrieving side: every placement of the lifted items in the order of gen_all_seq, the
// smallest value winning and the earliest winning a tie. Retrieval::walk leaves out only
// placements whose child an earlier placement gives, which changes neither tables nor ties.
int solve_relocation_phase(PackedBoard const& board, PackedBoard& successor) {
  Retrieval retrieval(WorkingBoard(board.without_request()), board.request_stack(),
                      board.request_slot());
  std::vector<PackedBoard> children;
  retrieval.walk(kSkipNothing, [&](WorkingBoard const& placed) {
    children.push_back(placed.canonical());
    return true;
  });
  stats.children += children.size();

  // All children first, then their values: the lookups of a tight loop overlap their cache
  // misses, where lookups made in the middle of the placement walk wait one by one.
  std::vector<int> known(children.size());
  for (std::size_t c = 0; c < children.size(); ++c) {
    int const* v = memo.find(children[c]);
    known[c] = v ? *v : kUnknown;
  }
  int best = kNoPlacement;
  successor = board;
  for (std::size_t c = 0; c < children.size(); ++c) {
    int v = known[c] != kUnknown ? known[c] : solve(children[c]);
    // A child where nothing can be placed stays that way: adding the relocations to it would
    // overflow, and no count of moves makes it possible.
    if (v != kNoPlacement) v += retrieval.lifted_count();
    if (v < best) {
      best = v;
      successor = children[c];
    }
  }
  return best;
}

int solve(PackedBoard const& board) {
  if (int const* known = memo.find(board)) return *known;
  PackedBoard successor;
  int const value = board.has_request() ? solve_relocation_phase(board, successor)
                                        : solve_request_phase(board, successor);
  memo.insert(board, value);
  memo_strat.insert(board, successor);
  return value;
}

}  // namespace

int compute(State const& board, [[maybe_unused]] int depth) {
  return solve(pack(board));
}

State best_successor(State const& board) {
  PackedBoard const* next = memo_strat.find(board);
  if (next == nullptr) throw std::out_of_range("the board has not been solved");
  return unpack(*next);
}

void clear_tables() {
  memo.clear();
  memo_strat.clear();
  stats = SolverStats{};
}
