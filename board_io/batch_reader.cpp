#include "board_io/batch_reader.h"

#include <string>

#include "board_io/compact_form.h"

namespace {

// Blanks around a board are ignored, and a line of nothing else is skipped.
constexpr char const* kBlanks = " \t\r";

bool is_blank(int c) {
  return c == ' ' || c == '\t' || c == '\r';
}

// One line of the input, without its "\n".
struct Line {
  std::string kept;      // its first bytes, as many as the reader keeps
  bool longer = false;   // text other than blanks follows the kept bytes
  char first_after = 0;  // the first byte of that text
};

// Reads one line, keeping at most `keep` bytes of it. Blanks after them are dropped without
// making the line too long: trailing blanks, a "\r" of "\r\n" among them, are ignored anyway.
// False at the end of the input when there was no line left.
bool read_line(std::streambuf& in, std::size_t keep, Line& line) {
  using Traits = std::streambuf::traits_type;
  line = Line{};
  int c = in.sbumpc();
  if (Traits::eq_int_type(c, Traits::eof())) return false;
  while (!Traits::eq_int_type(c, Traits::eof()) && c != '\n') {
    if (line.kept.size() < keep) {
      line.kept += Traits::to_char_type(c);
    } else if (!line.longer && !is_blank(c)) {
      line.longer = true;
      line.first_after = Traits::to_char_type(c);
    }
    c = in.sbumpc();
  }
  return true;
}

// A line of blanks only, however long, or one whose first other character is '#'.
bool is_skipped(Line const& line) {
  std::size_t const first = line.kept.find_first_not_of(kBlanks);
  if (first != std::string::npos) return line.kept[first] == '#';
  return !line.longer || line.first_after == '#';
}

}  // namespace

std::optional<BatchEntry> BatchReader::next() {
  std::streambuf* buffer = in_.rdbuf();
  if (buffer == nullptr || failed_) return std::nullopt;
  Line line;
  // A file buffer reports a failed read (of a directory, say) by throwing.
  auto const read_next = [&]() {
    try {
      return read_line(*buffer, kMaxCompactLength, line);
    } catch (std::ios_base::failure const&) {
      failed_ = true;
      return false;
    }
  };
  while (read_next()) {
    ++line_;
    if (is_skipped(line)) continue;
    if (line.longer) {
      return BatchEntry{line_,
                        BoardError{"the line is longer than " + std::to_string(kMaxCompactLength) +
                                       " characters, far beyond the largest board",
                                   line_}};
    }
    ParsedBoard board = parse_compact_board(line.kept);
    if (auto* error = std::get_if<BoardError>(&board)) error->line = line_;
    return BatchEntry{line_, std::move(board)};
  }
  return std::nullopt;
}
