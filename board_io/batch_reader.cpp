#include "board_io/batch_reader.h"

#include <string>

#include "board_io/compact_form.h"

namespace {

// Reads one line, without its "\n", keeping at most `keep` bytes of it; sets `longer` when it
// had more. False at the end of the input when there was no line left.
bool read_line(std::streambuf& in, std::size_t keep, std::string& line, bool& longer) {
  using Traits = std::streambuf::traits_type;
  line.clear();
  longer = false;
  int c = in.sbumpc();
  if (Traits::eq_int_type(c, Traits::eof())) return false;
  while (!Traits::eq_int_type(c, Traits::eof()) && c != '\n') {
    if (line.size() < keep) {
      line += Traits::to_char_type(c);
    } else {
      longer = true;
    }
    c = in.sbumpc();
  }
  return true;
}

bool is_skipped(std::string const& line) {
  std::size_t const first = line.find_first_not_of(" \t\r");
  return first == std::string::npos || line[first] == '#';
}

}  // namespace

std::optional<BatchEntry> BatchReader::next() {
  std::streambuf* buffer = in_.rdbuf();
  if (buffer == nullptr || failed_) return std::nullopt;
  std::string line;
  bool longer = false;
  // A file buffer reports a failed read (of a directory, say) by throwing.
  auto const read_next = [&]() {
    try {
      return read_line(*buffer, kMaxCompactLength, line, longer);
    } catch (std::ios_base::failure const&) {
      failed_ = true;
      return false;
    }
  };
  while (read_next()) {
    ++line_;
    if (is_skipped(line)) continue;
    if (longer) {
      return BatchEntry{line_,
                        BoardError{"the line is longer than " + std::to_string(kMaxCompactLength) +
                                       " characters, far beyond the largest board",
                                   line_}};
    }
    ParsedBoard board = parse_compact_board(line);
    if (auto* error = std::get_if<BoardError>(&board)) error->line = line_;
    return BatchEntry{line_, std::move(board)};
  }
  return std::nullopt;
}
