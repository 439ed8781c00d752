// stacks_solve's messages on standard error: one line each, after the progress line is wiped.
#pragma once

#include <string>

#include "solve_cli/progress_line.h"

// "stacks_solve: <where>: <what>"; just "stacks_solve: <what>" when where is empty.
void print_error(ProgressLine& progress, std::string const& where, std::string const& what);

// The words for a solve that outgrew the memory budget of --max-memory.
std::string memory_budget_message(std::size_t max_bytes);
// The words for a solve that found no memory at all.
std::string out_of_memory_message();
