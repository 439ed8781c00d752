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

TEST(BatchReader, TextPastTheLongestBoardIsAnErrorButBlanksThereAreNot) {
  std::string const too_long = "2: error line 2: the line is longer than " +
                               std::to_string(kMaxCompactLength) + " characters";
  std::string const limit(kMaxCompactLength, ' ');
  std::string const padded_board = "12/00" + limit.substr(5);
  struct Case {
    std::string line;
    std::string entry;  // how the entry of line 2 starts, or empty when it is skipped
  };
  for (Case const& c : std::vector<Case>{
           {std::string(kMaxCompactLength + 10, '1'), too_long},
           {limit + "     12/00", too_long},
           {limit + " #", ""},
           {"# " + limit + "12/00", ""},
           {limit + "    \r", ""},
           {limit + "\r", ""},
           {"\r", ""},
           {padded_board + "  \r", "2: 12/00"},
       }) {
    SCOPED_TRACE(c.line.substr(c.line.find_first_not_of(' ')));
    auto const entries = entries_of("10/10\n" + c.line + "\n12/00\n");
    EXPECT_EQ(entries.back(), "3: 12/00") << "the next line is read";
    if (c.entry.empty()) {
      EXPECT_EQ(entries.size(), 2u) << entries[1];
    } else {
      EXPECT_EQ(entries[1].rfind(c.entry, 0), 0u) << entries[1];
    }
  }
}

TEST(BatchReader, AnEmptyInputHasNoEntries) {
  EXPECT_TRUE(entries_of("").empty());
  EXPECT_TRUE(entries_of("\n\n# nothing\n").empty());
}

}  // namespace
