// The board: a row of stacks of equal capacity, each slot empty (0), a target item (1) or
// another item (2), slot 0 at the bottom, plus the request that is pending, if any.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <utility>
#include <vector>

// Cell values.
inline constexpr int kEmpty = 0;
inline constexpr int kTarget = 1;
inline constexpr int kOther = 2;

// The request of a board in the request phase: nobody has named a target yet.
inline constexpr std::pair<int, int> kNoRequest{-1, -1};

class State {
 public:
  // One inner array per stack, leftmost first; each holds max_height cells, bottom first.
  std::vector<std::vector<int>> stacks;
  int n_stacks;
  int max_height;
  // Targets on the board: counted by the constructor, then kept by add and pop.
  int remaining;
  // Occupied slots of each stack, counted from the bottom: the slot the next item takes.
  std::vector<int> levels;
  // (stack, slot) of the target asked for; a first element of -1 means none is pending.
  std::pair<int, int> request;

  struct HashFunction {
    std::size_t operator()(State const& board) const;
  };

  // A placeholder with no stacks and request (0, 0), for default-constructed table slots.
  State();
  // Copies the stacks and derives n_stacks, max_height, levels and remaining from the cells.
  // An empty list gives a board of no stacks; stacks of unequal length are rejected with
  // std::invalid_argument, since every operation reads max_height cells of each stack.
  State(std::vector<std::vector<int>> const& stacks_in, std::pair<int, int> request_in);

  // Puts value on top of stack s; false, and no change, when the stack is full.
  bool add(int s, int value);
  // Takes the top item off stack s; does nothing on an empty stack.
  void pop(int s);
  // With no request pending, sorts the stacks into canonical (lexicographic) order.
  void sort_stacks();
  // The board rebuilt from its cells and request: levels and remaining recounted.
  State copy() const;
  // Draws the board, the requested cell highlighted, on standard output (or on out).
  void print() const;
  void print(std::ostream& out) const;

  bool in_request_phase() const { return request.first == -1; }

  // Dimensions, request and cells; levels and remaining do not take part.
  bool operator==(State const& other) const;
};
