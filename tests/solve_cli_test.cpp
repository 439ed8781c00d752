// The pieces of stacks_solve's command line: memory sizes, exit precedence, the progress line,
// names in messages.
#include <gtest/gtest.h>

#include <sstream>

#include "solve_cli/diagnostics.h"
#include "solve_cli/exit_status.h"
#include "solve_cli/memory_size.h"
#include "solve_cli/progress_line.h"

namespace {

TEST(MemorySize, ReadsBytesAndPowersOf1024) {
  EXPECT_EQ(parse_memory_size("65536"), 65536u);
  EXPECT_EQ(parse_memory_size("64K"), 65536u);
  EXPECT_EQ(parse_memory_size("64k"), 65536u);
  EXPECT_EQ(parse_memory_size("3M"), 3u << 20);
  EXPECT_EQ(parse_memory_size("2G"), std::size_t{2} << 30);
}

TEST(MemorySize, RefusesZeroGarbageAndOverflow) {
  for (char const* text : {"", "0", "0K", "K", "1.5G", "-1", "1T", "12 ", " 12", "1KB", "0x10",
                           "18446744073709551616", "17179869184G"}) {
    EXPECT_EQ(parse_memory_size(text), std::nullopt) << text;
  }
  EXPECT_EQ(parse_memory_size("18446744073709551615"), std::size_t(-1));
}

TEST(MemorySize, FormatsWithTheLargestExactSuffix) {
  EXPECT_EQ(format_memory_size(65536), "64K");
  EXPECT_EQ(format_memory_size(std::size_t{3} << 30), "3G");
  EXPECT_EQ(format_memory_size((std::size_t{1} << 30) + 1024), "1048577K");
  EXPECT_EQ(format_memory_size(1000), "1000");
  EXPECT_EQ(format_memory_size(std::size_t{1} << 50), "1048576G");
  EXPECT_GT(default_memory_budget(), 0u);
}

TEST(ExitStatus, InternalErrorOutranksBadInputWhichOutranksTheResourceLimit) {
  EXPECT_EQ(worse_exit_status(kExitSolved, kExitResourceLimit), kExitResourceLimit);
  EXPECT_EQ(worse_exit_status(kExitResourceLimit, kExitBadInput), kExitBadInput);
  EXPECT_EQ(worse_exit_status(kExitBadInput, kExitResourceLimit), kExitBadInput);
  EXPECT_EQ(worse_exit_status(kExitBadInput, kExitInternalError), kExitInternalError);
  EXPECT_EQ(worse_exit_status(kExitSolved, kExitSolved), kExitSolved);
}

// A progress line on a clock that the test moves by hand.
struct FakeTerminal {
  std::ostringstream out;
  ProgressLine::Clock::time_point now{};
  ProgressLine line(bool is_terminal) {
    return ProgressLine(out, is_terminal, [this] { return now; });
  }
};

TEST(ProgressLine, QuietForTheFirstSecondThenRewritesOneLine) {
  FakeTerminal terminal;
  ProgressLine progress = terminal.line(true);
  progress.show("early");
  EXPECT_EQ(terminal.out.str(), "");
  terminal.now += std::chrono::milliseconds(1100);
  progress.show("12 boards stored, 1 s");
  terminal.now += std::chrono::milliseconds(50);
  progress.show("too soon");
  terminal.now += std::chrono::milliseconds(300);
  progress.show("13 boards, 1 s");
  progress.clear();
  progress.clear();
  EXPECT_EQ(terminal.out.str(),
            "\r12 boards stored, 1 s"
            "\r13 boards, 1 s       "
            "\r                     \r");
}

TEST(ProgressLine, WritesNothingWhenNotATerminal) {
  FakeTerminal terminal;
  ProgressLine progress = terminal.line(false);
  terminal.now += std::chrono::seconds(5);
  progress.show("12 boards stored, 5 s");
  progress.clear();
  EXPECT_EQ(terminal.out.str(), "");
  EXPECT_DOUBLE_EQ(progress.elapsed_seconds(), 5.0);
}

TEST(ProgressLine, StatusNamesBoardsSolvedInABatch) {
  EXPECT_EQ(progress_status(0, 0, 1234, 3.7), "1234 boards stored, 3 s");
  EXPECT_EQ(progress_status(1, 9, 5, 12.0), "1 board solved, line 9: 5 boards stored, 12 s");
  EXPECT_EQ(file_progress_status(2, "a.txt", 5, 3.2),
            "2 files solved, a.txt: 5 boards stored, 3 s");
}

TEST(EscapeUnprintable, KeepsWhatPrintsAndEscapesTheRest) {
  for (auto const& [text, shown] : std::vector<std::pair<std::string, std::string>>{
           {"yards/a b~.txt", "yards/a b~.txt"},
           {"a\nb\r\tc", "a\\nb\\r\\tc"},
           {"\033[2J\x7f", "\\x1B[2J\\x7F"},
           {std::string("nul\0", 4), "nul\\x00"},
           {"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x93\xA6",
            "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x93\xA6"},
           {"\xC2\x9B[2J", "\\xC2\\x9B[2J"},  // U+009B, a terminal's one-byte escape
           {"\xC3", "\\xC3"},                 // cut short
           {"\xC0\xAF\xFF\xED\xA0\x80",
            "\\xC0\\xAF\\xFF\\xED\\xA0\\x80"},  // overlong, not UTF-8, surrogate
       }) {
    EXPECT_EQ(escape_unprintable(text), shown) << shown;
  }
}

}  // namespace
