// stacks_batch run as a user runs it: its whole output against the golden file; and both
// programs of a built-in yard on an output that cannot be written.
#include <gtest/gtest.h>

#include "tests/support/interactive_output.h"
#include "tests/support/run_program.h"

namespace {

TEST(BatchProgram, WholeOutputMatchesTheGoldenFile) {
  ProgramRun const run = run_program({STACKS_BATCH});
  EXPECT_EQ(run.exit_status, 0);
  EXPECT_EQ(run.err, "");
  std::string const masked = mask_time(run.out);
  ASSERT_NE(masked, run.out) << "no time line at the top:\n" << run.out.substr(0, 80);
  EXPECT_EQ(masked, read_file(GOLDEN_DIR "/stacks_batch.txt"));
}

TEST(BatchProgram, ShapeOfTheReplay) {
  ProgramRun const run = run_program({STACKS_BATCH});
  std::istringstream lines(run.out);
  std::vector<std::string> all;
  for (std::string line; std::getline(lines, line);)
    all.push_back(line);
  ASSERT_EQ(all.size(), 212u);
  EXPECT_EQ(all[1], "Minimum moves: 20");
  // 21 drawings of 10 lines; the even ones (requests) have exactly one highlighted cell.
  for (int d = 0; d < 21; ++d) {
    int highlights = 0;
    for (int r = 0; r < 10; ++r) {
      std::string const& line = all[2 + 10 * d + r];
      highlights += line.find("\033[6;30;42mo\033[0m") != std::string::npos;
    }
    EXPECT_EQ(highlights, d % 2 == 1 ? 1 : 0) << "drawing " << d + 1;
  }
}

TEST(BuiltInPrograms, AnOutputThatCannotBeWrittenIsAFailure) {
  struct Case {
    char const* path;
    std::string name;
    std::string input;
  };
  for (Case const& c : {Case{STACKS_BATCH, "stacks_batch", ""},
                        Case{STACKS_INTERACTIVE, "stacks_interactive", kAdvisedGame}}) {
    ProgramRun const run =
        run_program({"/bin/sh", "-c", std::string(c.path) + " >/dev/full"}, c.input);
    EXPECT_EQ(run.exit_status, 1) << c.name;
    EXPECT_EQ(run.err, c.name + ": writing the output failed\n");
  }
}

TEST(TimeMask, AcceptsOnlyTheProgramsNumberFormats) {
  for (char const* figure : {"0", "0.5", "12.3457", "1e-06", "3"}) {
    std::string const line = std::string("Time taken: ") + figure + " seconds\nrest\n";
    EXPECT_EQ(mask_time(line), "Time taken: <TIME> seconds\nrest\n") << figure;
  }
  EXPECT_EQ(mask_time("Time taken: 0.5  seconds\n"), "Time taken: 0.5  seconds\n");
}

}  // namespace
