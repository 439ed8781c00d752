// stacks: the fewest relocations that are always enough to retrieve the items of a yard of
// stacks, and best play for both sides.
//
// A yard is a row of stacks of equal capacity. In the two-class game an adversary asks for the
// target items one at a time, in the worst order it can find; before a target leaves, every
// item above it is moved onto another stack, one move each. In a yard of retrieval groups the
// items leave group by group, and `Within` says who orders the requests inside a group.
//
//   stacks::Result r = stacks::solve("12221000/12120000/11100000/12100000/12200000");
//   std::cout << r.value->text();  // 20
//
// Every query starts from scratch: nothing is shared between calls, so calls on different
// threads do not interfere. Errors in the input throw std::invalid_argument with the message
// stacks_solve gives. A search stopped by a limit is still an answer: its Result says which
// limit, what it proved, and gives a line of play that needs no search.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "stacks/export.h"

namespace stacks {

// Who orders the requests inside a retrieval group.
enum class Within {
  worst,   // the requesting side asks for the costliest item
  best,    // the retrieving side picks: with one item a group, the classic known-order problem
  random,  // every item of the group is equally likely: the value is the exact expectation
};

// Why a search ended.
enum class Status {
  optimal,       // the value is proven
  time_limit,    // Options::time_limit ran out
  memory_limit,  // the table reached Options::max_memory, or the system refused memory
  interrupted,   // stopped from outside
};

STACKS_EXPORT char const* to_string(Within within);
STACKS_EXPORT char const* to_string(Status status);
// "worst", "best" or "random"; std::invalid_argument otherwise.
STACKS_EXPORT Within parse_within(std::string_view name);
// A size as stacks_solve --max-memory takes it: bytes, or a whole number with K, M or G (powers
// of 1024), "512M"; nothing for any other text or for zero.
STACKS_EXPORT std::optional<std::size_t> parse_memory_size(std::string_view text);

// A number of relocations: whole in the worst and best orders, an exact fraction (an
// expectation) in the random order; or "no placement", when the requesting side can force a
// request whose lifted items fit on no other stack.
struct Moves {
  bool placed = true;
  std::string fraction;  // exact, "p/q" in lowest terms ("20/1" for 20); empty if not placed
  double number = 0;     // the same rounded to a double (exact when whole)

  // "20", "2044093/151200", or "none" when not placed.
  STACKS_EXPORT std::string text() const;
  bool operator==(Moves const& other) const { return fraction == other.fraction; }
};

// A yard of retrieval groups, as the literature's instance files write it: each stack its items
// bottom first, an item written as its group (1 leaves first), 0 for an item that stays.
struct Yard {
  int height = 0;  // the capacity of every stack
  std::vector<std::vector<int>> stacks;
};

// One request that may be asked now, and its cost from there to the end under best play.
struct Request {
  int stack;  // counted from 0 on Result::board, slot 0 at the bottom
  int slot;
  int group;  // 1 for a target of the two-class game
  Moves cost;
};

// A place in the yard as given: the stack, counted from 0 at the left in the columns the board
// was given in (which keep their place for the whole line), and the slot, from 0 at the bottom.
struct Place {
  int stack = 0;
  int slot = 0;
  bool operator==(Place const&) const = default;
};

// One lifted item's move, in the columns as given: off the stack of the request, onto `to`.
struct Move {
  int from = 0;
  int to = 0;
  bool operator==(Move const&) const = default;
};

// One turn of the line of play: a request, then the retrieving side's answer.
struct Step {
  int stack;  // the request, on the board before it (as in Result::board for the first step)
  int slot;
  int group;
  // The request's cost, the board's value at that point, on the line of best play. On the line
  // of a stopped search, which follows a fixed placement rule, it is not known: lower and upper
  // bound it (upper is what the rule's answer costs). Otherwise both equal cost.
  std::optional<Moves> cost;
  std::optional<Moves> lower;
  std::optional<Moves> upper;
  int moved;    // items relocated by the answer
  bool placed;  // false when the lifted items fit nowhere: the line ends there
  // The board after the answer, in canonical order, written as Result::board; empty if !placed.
  std::string after;
  // The same turn in the columns as given, as a person plays it: the item asked for, and each
  // lifted item's move in the order lifted, top first (none when !placed).
  Place target;
  std::vector<Move> moves;
};

struct Options {
  Within within = Within::worst;
  bool line = true;       // work out the line of best play
  bool requests = false;  // and the cost of every request on the start board
  // Bytes the search's table may take, 0 for no limit; by default half the physical memory,
  // as stacks_solve takes.
  std::optional<std::size_t> max_memory;
  // Seconds the solve may take, above 0; none by default.
  std::optional<double> time_limit;
  // When set (to true) from another thread or a signal handler, the search stops at once with
  // status interrupted. May be null.
  std::atomic<bool> const* interrupt = nullptr;
  // Threads that search for the value, sharing one table (1 to 1024); the answers are the same
  // with any number. One by default, so that solves run side by side do not compete; the
  // random order's exact means take one whatever this says.
  int threads = 1;
};

// An estimate, never a bound: what the placement rule that gives upper bounds costs on average
// in the random order, over orders drawn at random (the same draws every time), with the 95 %
// confidence interval [low, high] around the mean.
struct Estimate {
  double mean = 0;
  double low = 0;
  double high = 0;
  int orders = 0;
};

struct Result {
  // The board solved, in canonical order (stacks sorted bottom slot first), to which every stack
  // and slot refers: the compact form for a two-class board, otherwise the yard as
  // "2,0/1,3/" (stacks separated by '/', items bottom first separated by ',', 0 an item that
  // stays).
  std::string board;
  Within within = Within::worst;
  Status status = Status::optimal;
  std::optional<Moves> value;  // when optimal
  // Proven bounds on the value: both equal to it when optimal. A stopped search gives what it
  // proved; upper is empty when no finite bound is known.
  std::optional<Moves> lower;
  std::optional<Moves> upper;
  // How far the bounds are apart: (upper - lower) / upper, 0 when optimal; empty when upper is.
  std::optional<double> gap;
  // With Options::line: best play when optimal, otherwise the placement rule's line.
  std::vector<Step> line;
  std::optional<std::vector<Request>> requests;  // with Options::requests, when optimal
  std::uint64_t states = 0;                      // boards in the search's table
  double seconds = 0;                            // wall-clock time of the solve
  std::string error;  // for the memory limits, the message of stacks_solve; otherwise empty
  // In the random order, when a stopped search knows no upper bound (the rule's exact mean is
  // out of reach): the rule's mean estimated from orders drawn, when every order drawn fits.
  std::optional<Estimate> estimate;
};

// A two-class board in the compact form of stacks_solve --board: stacks separated by '/', each
// written bottom slot first as digits 0 (empty), 1 (target), 2 (other item), all of one length.
STACKS_EXPORT Result solve(std::string_view compact, Options const& options = {});
// The same board as cells: one vector a stack, leftmost first, each bottom slot first.
STACKS_EXPORT Result solve(std::vector<std::vector<int>> const& cells, Options const& options = {});
// A yard of retrieval groups. A two-class board is the yard whose targets are group 1 and whose
// other items stay; both give the same answers.
STACKS_EXPORT Result solve(Yard const& yard, Options const& options = {});

// The yard of an instance file of the literature ("S H N", then a line a stack: its height and
// its items bottom first). With `retrieve_up_to` K only groups 1 .. K are asked for and every
// later item stays (K = 0: every item stays; a K below 0 is std::invalid_argument).
// std::invalid_argument for a file that is not an instance (the message names the file, then
// the line and column), std::runtime_error for one that cannot be read.
STACKS_EXPORT Yard read_instance(std::filesystem::path const& path,
                                 std::optional<int> retrieve_up_to = std::nullopt);
// The same from the text of such a file; messages name it `where`.
STACKS_EXPORT Yard parse_instance(std::string_view text, std::string const& where,
                                  std::optional<int> retrieve_up_to = std::nullopt);
// The same for the sets whose header gives two numbers, "S N" (stacks, items): `height` is the
// capacity of every stack. A header of three numbers must agree with it.
STACKS_EXPORT Yard read_instance(std::filesystem::path const& path,
                                 std::optional<int> retrieve_up_to, std::optional<int> height);
STACKS_EXPORT Yard parse_instance(std::string_view text, std::string const& where,
                                  std::optional<int> retrieve_up_to, std::optional<int> height);

}  // namespace stacks
