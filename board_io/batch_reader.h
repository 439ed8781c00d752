// A batch file: one board in compact form a line; blank lines and lines whose first non-blank
// character is '#' are skipped.
#pragma once

#include <istream>
#include <optional>

#include "board_io/board_error.h"

// One line of the batch that holds a board, or should.
struct BatchEntry {
  long line;  // counted from 1
  ParsedBoard board;
};

// Reads the batch one line at a time, so a batch of any length takes the memory of one line.
// A line with text past the length of the largest board is kept no further than that and
// reported as an error; blanks there, as around any board, count for nothing.
class BatchReader {
 public:
  explicit BatchReader(std::istream& in) : in_(in) {}

  // The next line that is neither blank nor a comment, or nothing at the end of the input.
  // Errors carry the line number, and columns count from 1 at the line's first byte.
  std::optional<BatchEntry> next();

  // Whether reading stopped because the stream failed rather than at its end.
  bool read_failed() const { return failed_; }

 private:
  std::istream& in_;
  long line_ = 0;
  bool failed_ = false;
};
