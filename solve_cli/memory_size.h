// Sizes of memory as stacks_solve's --max-memory takes and shows them: bytes, or a whole
// number with K, M or G (powers of 1024).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// "65536", "64K", "512M", "2G" (the suffix in either case); nothing for zero, a fraction, any
// other text, or a size that does not fit in std::size_t.
std::optional<std::size_t> parse_memory_size(std::string_view text);

// The size with the largest suffix that divides it evenly: 65536 -> "64K", 1000 -> "1000".
std::string format_memory_size(std::size_t bytes);

// Half the machine's physical memory, or 0 (no limit) when the system does not tell.
std::size_t default_memory_budget();
