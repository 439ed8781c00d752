// Every way of sending lifted items to other stacks, as explicit sequences.
#pragma once

#include <vector>

// Every sequence of n stack indices from 0 .. a-1 in which x does not occur, in lexicographic
// order (last position fastest). n = 0 gives one empty sequence; a negative n throws
// std::length_error. The solver itself walks the same order without building the list.
std::vector<std::vector<int>> gen_all_seq(int a, int n, int x);
