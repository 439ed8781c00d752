#include "model/state.h"

#include <algorithm>
#include <cassert>
#include <cstdint>
#include <cstring>
#include <iostream>
#include <stdexcept>
#include <string>

namespace {

// Occupied slots from the bottom up to the first empty one: on a board with a gap the items
// above the gap are not counted, which is what keeps levels, remaining and the hash in step.
int count_level(std::vector<int> const& stack, int max_height) {
  int j = 0;
  while (j < max_height && stack[j] > 0)
    ++j;
  return j;
}

constexpr char const* kHighlightOn = "\033[6;30;42m";
constexpr char const* kHighlightOff = "\033[0m";

}  // namespace

State::State() : n_stacks(0), max_height(0), remaining(0), request(0, 0) {}

State::State(std::vector<std::vector<int>> const& stacks_in, std::pair<int, int> request_in)
    : stacks(stacks_in),
      n_stacks(static_cast<int>(stacks_in.size())),
      max_height(stacks_in.empty() ? 0 : static_cast<int>(stacks_in.front().size())),
      remaining(0),
      levels(stacks_in.size(), 0),
      request(request_in) {
  for (auto const& stack : stacks) {
    if (static_cast<int>(stack.size()) != max_height) {
      throw std::invalid_argument("stacks of unequal length: " + std::to_string(stack.size()) +
                                  " slots against " + std::to_string(max_height));
    }
  }
  for (int i = 0; i < n_stacks; ++i) {
    levels[i] = count_level(stacks[i], max_height);
    remaining += static_cast<int>(std::count(stacks[i].begin(), stacks[i].begin() + levels[i], 1));
  }
}

bool State::add(int s, int value) {
  assert(s >= 0 && s < n_stacks);
  if (levels[s] >= max_height) return false;
  stacks[s][levels[s]] = value;
  ++levels[s];
  ++remaining;
  return true;
}

void State::pop(int s) {
  assert(s >= 0 && s < n_stacks);
  if (levels[s] <= 0) return;
  --levels[s];
  stacks[s][levels[s]] = 0;
  --remaining;
}

void State::sort_stacks() {
  if (request.first != -1) return;
  std::sort(stacks.begin(), stacks.end());
  for (int i = 0; i < n_stacks; ++i)
    levels[i] = count_level(stacks[i], max_height);
}

State State::copy() const {
  return State(stacks, request);
}

bool State::operator==(State const& other) const {
  if (n_stacks != other.n_stacks || max_height != other.max_height) return false;
  if (request.first != other.request.first || request.second != other.request.second) {
    return false;
  }
  if (stacks.size() != other.stacks.size()) return false;
  for (std::size_t i = 0; i < stacks.size(); ++i) {
    auto const& a = stacks[i];
    auto const& b = other.stacks[i];
    if (a.size() != b.size()) return false;
    if (!a.empty() && std::memcmp(a.data(), b.data(), a.size() * sizeof(int)) != 0) return false;
  }
  return true;
}

std::size_t State::HashFunction::operator()(State const& board) const {
  std::uint64_t h = 0;
  for (int i = 0; i < board.n_stacks; ++i) {
    // Stack code: bit L marks the height L, and bit j below it is set for an other item at
    // slot j. It is formed in 32 bits and wraps there: the wrap belongs to the hash's
    // definition, and every board that compares equal must hash alike.
    std::uint32_t acc = 0;
    std::uint32_t w = 1;
    auto const& stack = board.stacks[i];
    for (int j = 0; j < board.max_height && stack[j] > 0; ++j) {
      acc += static_cast<std::uint32_t>(stack[j] - 1) * w;
      w *= 2;
    }
    std::uint32_t const v32 = acc + w + 0x9e3779b9u;
    h ^= static_cast<std::uint64_t>(v32) + (h << 6) + (h >> 2);
  }
  if (board.request.first == -1) return h - 1;
  std::uint32_t const t32 = static_cast<std::uint32_t>(board.request.first) * 157u +
                            static_cast<std::uint32_t>(board.request.second);
  auto const t = static_cast<std::int64_t>(static_cast<std::int32_t>(t32));
  return h + static_cast<std::uint64_t>(t);
}

void State::print() const {
  print(std::cout);
}

void State::print(std::ostream& out) const {
  std::string const ruler(static_cast<std::size_t>(std::max(n_stacks, 0) + 2), '-');
  std::string text = ruler + "\n";
  for (int r = max_height - 1; r >= 0; --r) {
    text += '|';
    for (int c = 0; c < n_stacks; ++c) {
      bool const highlighted = c == request.first && r == request.second;
      if (highlighted) text += kHighlightOn;
      int const cell = stacks[c][r];
      text += cell == kEmpty ? ' ' : cell == kTarget ? 'o' : 'x';
      if (highlighted) text += kHighlightOff;
    }
    text += "|\n";
  }
  text += ruler + "\n";
  out << text;
}
