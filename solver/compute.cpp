#include "solver/compute.h"

#include "model/working_board.h"

#include <array>
#include <cstdint>
#include <stdexcept>
#include <vector>

BoardTable<int> memo;
BoardTable<PackedBoard> memo_strat;
SolverStats stats;

namespace {

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

// The retrieving side: every placement of the lifted items, in the order of gen_all_seq
// (first item's stack slowest), the smallest value winning and the earliest winning a tie.
// Two shortcuts leave the tables exactly as trying every sequence would:
//  - a sequence that meets a full stack is dropped at the first such item, with all the
//    sequences that share its beginning;
//  - an item is not sent to a stack that holds the same cells as a lower-numbered candidate
//    stack at that moment: swapping the two stacks in the rest of the sequence gives an earlier
//    sequence with the same canonical child, which was solved already and keeps the tie;
//  - an item does not go to a stack d when an equal item lifted earlier went to a stack above
//    d and nothing lifted in between went to either stack: swapping the two gives an earlier
//    sequence with the same child.
// The earliest sequence of all that give one child survives both, so no child is lost.
class RelocationSearch {
 public:
  explicit RelocationSearch(PackedBoard const& board)
      : stacks_(board.without_request()), from_(board.request_stack()) {
    int const top = stacks_.level[from_] - 1;
    int const slot = board.request_slot();
    n_lifted_ = slot < top ? top - slot : 0;
    for (int i = 0; i < n_lifted_; ++i) {
      lifted_[i] = stacks_.top_item(from_);
      stacks_.pop(from_);
    }
    stacks_.pop(from_);  // the target leaves the board
  }

  int run(PackedBoard const& board, PackedBoard& successor) {
    place(0);
    // All children first, then their values: the lookups of a tight loop overlap their cache
    // misses, where lookups made in the middle of the placement search wait one by one.
    known_.resize(children_.size());
    for (std::size_t c = 0; c < children_.size(); ++c) {
      int const* v = memo.find(children_[c]);
      known_[c] = v ? *v : kUnknown;
    }
    int best = kNoPlacement;
    successor = board;
    for (std::size_t c = 0; c < children_.size(); ++c) {
      int v = known_[c] != kUnknown ? known_[c] : solve(children_[c]);
      // A child where nothing can be placed stays that way: adding the relocations to it
      // would overflow, and no count of moves makes it possible.
      if (v != kNoPlacement) v += n_lifted_;
      if (v < best) {
        best = v;
        successor = children_[c];
      }
    }
    return best;
  }

 private:
  bool same_as_lower_candidate(int d) const {
    for (int e = 0; e < d; ++e) {
      if (e != from_ && stacks_.code[e] == stacks_.code[d]) return true;
    }
    return false;
  }

  bool swaps_with_earlier_twin(int i, int d) const {
    std::uint32_t touched = 0;  // stacks that the items between item k and item i went to
    for (int k = i - 1; k >= 0; --k) {
      int const e = chosen_[k];
      if (lifted_[k] == lifted_[i] && d < e && !(touched & (1u << e))) return true;
      if (e == d) return false;
      touched |= 1u << e;
    }
    return false;
  }

  void place(int i) {
    if (i == n_lifted_) {
      evaluate_child();
      return;
    }
    for (int d = 0; d < stacks_.n; ++d) {
      if (d == from_ || stacks_.level[d] == stacks_.height || same_as_lower_candidate(d) ||
          swaps_with_earlier_twin(i, d)) {
        continue;
      }
      stacks_.push(d, lifted_[i]);
      chosen_[i] = d;
      place(i + 1);
      stacks_.pop(d);
    }
  }

  void evaluate_child() {
    ++stats.children;
    children_.push_back(stacks_.canonical());
  }

  static constexpr int kUnknown = -1;

  WorkingBoard stacks_;
  int from_;
  int n_lifted_ = 0;
  std::array<int, kMaxPackedHeight> lifted_{};
  std::array<int, kMaxPackedHeight> chosen_{};
  std::vector<PackedBoard> children_;
  std::vector<int> known_;
};

int solve(PackedBoard const& board) {
  if (int const* known = memo.find(board)) return *known;
  PackedBoard successor;
  int const value = board.has_request() ? RelocationSearch(board).run(board, successor)
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
