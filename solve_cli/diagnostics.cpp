#include "solve_cli/diagnostics.h"

#include <iostream>

#include "solve_cli/memory_size.h"

void print_error(ProgressLine& progress, std::string const& where, std::string const& what) {
  progress.clear();
  std::cerr << "stacks_solve: " << (where.empty() ? "" : where + ": ") << what << "\n";
}

std::string memory_budget_message(std::size_t max_bytes) {
  return "the search needs more than " + format_memory_size(max_bytes) +
         " of memory (raise --max-memory)";
}

std::string out_of_memory_message() {
  return "the machine ran out of memory during the search (lower --max-memory, or free memory)";
}
