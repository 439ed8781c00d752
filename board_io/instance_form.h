// The plain-text form in which instances of the block relocation problem are published:
//
//   3 4 5        S H N: the number of stacks, the capacity of every stack, the number of items
//   2 3 1        then one line a stack, leftmost first: its height h, then h priorities,
//   3 2 0 4      bottom item first
//   0            (an empty stack)
//
// An item's priority is its retrieval group; priority 0 marks an item that stays. Some sets
// write a header of two numbers, "S N" (stacks, items), and give the capacity apart.
//
// Verdicts on what the files in circulation hold:
// - every field is a whole number written in digits: no sign, no decimal point, nothing glued
//   to it ("3x"); leading zeros are harmless and read as written;
// - fields are separated by spaces or tabs, which may also start and end a line;
// - lines end in "\n" or "\r\n", the last with or without a line end;
// - blank lines may follow the last stack; anywhere else a blank line is an error, since an
//   empty stack is written "0" and a missing line would shift every stack after it.
#pragma once

#include <cstddef>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "board_io/board_error.h"
#include "model/yard.h"

// Yards of more slots are refused from the header, before anything is allocated for them.
inline constexpr int kMaxInstanceSlots = 1000000;

// Published instances take a few kilobytes. 4 MiB still holds a full yard of
// kMaxInstanceSlots slots when its priorities have one digit; longer input is refused before
// any work on it.
inline constexpr std::size_t kMaxInstanceBytes = std::size_t{4} << 20;

using ParsedYard = std::variant<Yard, BoardError>;

// The yard written in `text`, stacks in the order written: groups is the largest priority in
// the file (0 when there is none), a cell holds its item's priority, and an item of priority 0
// holds groups + 1. `height`, the capacity given apart, is needed by a header of two numbers
// and must agree with one of three. Errors name the line and, where one byte is at fault, the
// column (both counted from 1, columns in bytes), and the stack (counted from 0) on a stack's
// line.
ParsedYard parse_instance(std::string_view text, std::optional<int> height = std::nullopt);

// The instance on `in`, of which no more than kMaxInstanceBytes and a chunk are read.
ParsedYard read_instance(std::istream& in, std::optional<int> height = std::nullopt);

// The yard in which only groups 1 .. k are asked for and the items of later groups stay, so
// that a large instance can be cut down to its first k groups. With k = 0 (or below) every item
// stays.
Yard retrieve_up_to(Yard yard, int k);

// The yard on one line for reports: stacks separated by '/', each stack's items bottom first
// separated by ',', an item written as its group and an item that stays as 0, as in the
// instance files. "2,0/1,3/" is three stacks, the last empty.
std::string format_yard(Yard const& yard);
