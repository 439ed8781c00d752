// stacks_solve's messages on standard error: one line each, after the progress line is wiped.
#pragma once

#include <string>
#include <string_view>

#include "solve_cli/progress_line.h"

// "stacks_solve: <where>: <what>"; just "stacks_solve: <what>" when where is empty. Both go
// through escape_unprintable, since they may hold a file name or other text as the user gave it.
void print_error(ProgressLine& progress, std::string const& where, std::string const& what);

// The text with every byte that would not print as itself written as an escape: "\n", "\r",
// "\t", else "\x1B" (hex as describe_byte writes it). A file name may hold a line end or the
// codes that drive a terminal, and a message must stay one line and show what was given.
// Characters of UTF-8 print as themselves, save the C1 controls (U+0080 to U+009F).
std::string escape_unprintable(std::string_view text);

// The words for a solve that outgrew its memory budget, which `option` sets (--max-memory on
// the command line, max_memory in the library and in Python).
std::string memory_budget_message(std::size_t max_bytes, std::string_view option = "--max-memory");
// The words for a solve that found no memory at all.
std::string out_of_memory_message(std::string_view option = "--max-memory");
