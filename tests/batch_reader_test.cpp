// The batch reader: which lines it hands out, their numbers, and its bound on a line.
#include "board_io/batch_reader.h"

#include <gtest/gtest.h>

#include <sstream>

#include "board_io/compact_form.h"

namespace {

// "line: board" or "line: error" for every entry of the batch.
std::vector<std::string> entries_of(std::string const& batch) {
  std::istringstream in(batch);
  BatchReader reader(in);
  std::vector<std::string> entries;
  while (auto entry = reader.next()) {
    auto* error = std::get_if<BoardError>(&entry->board);
    entries.push_back(std::to_string(entry->line) + ": " +
                      (error ? "error " + error->to_string()
                             : format_compact_board(std::get<State>(entry->board))));
  }
  return entries;
}

TEST(BatchReader, SkipsBlankAndCommentLinesAndKeepsLineNumbers) {
  std::string const batch = "# yards\n01/00\n12/00\r\n   \n  # spare\n 10/10 \n21/0";
  EXPECT_EQ(entries_of(batch),
            (std::vector<std::string>{"2: error line 2, column 1, stack 0: empty slot 0 below an "
                                      "item (slot 0 is the bottom)",
                                      "3: 12/00", "6: 10/10",
                                      "7: error line 7, column 4, stack 1: "
                                      "1 slots, but stack 0 has 2 (every stack needs the same "
                                      "capacity)"}));
}

TEST(BatchReader, ABadLineDoesNotStopTheOthers) {
  EXPECT_EQ(entries_of("12/00\n1x/00\n10/10\n"),
            (std::vector<std::string>{"1: 12/00",
                                      "2: error line 2, column 2: unknown character 'x' (use 0 "
                                      "empty, 1 target, 2 other, '/' between stacks)",
                                      "3: 10/10"}));
}

TEST(BatchReader, AnOverlongLineIsAnErrorAndReadingGoesOn) {
  std::string const longer(kMaxCompactLength + 10, '1');
  auto const entries = entries_of("10/10\n" + longer + "\n# " + longer + "\n12/00\n");
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_NE(entries[1].find("2: error line 2: the line is longer than"), std::string::npos);
  EXPECT_EQ(entries[2], "4: 12/00") << "a long comment is still a comment";
}

TEST(BatchReader, AnEmptyInputHasNoEntries) {
  EXPECT_TRUE(entries_of("").empty());
  EXPECT_TRUE(entries_of("\n\n# nothing\n").empty());
}

}  // namespace
