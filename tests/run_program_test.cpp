// The harness that runs the programs under test stops a run that never ends.
#include <gtest/gtest.h>

#include <chrono>

#include "tests/support/run_program.h"

namespace {

using namespace std::chrono_literals;

TEST(RunProgram, ARunPastItsDeadlineOrItsOutputCapIsStoppedAndFails) {
  struct Case {
    std::vector<std::string> argv;
    RunLimits limits;
    std::string why;
  };
  // The shell's child holds the output pipe open after the shell is gone: stopping the run
  // must reach every process it started.
  std::vector<Case> const cases = {
      {{"/bin/sh", "-c", "sleep 30 & exec sleep 30"}, {300ms, 1 << 20}, "still running"},
      {{"/usr/bin/yes"}, {30s, 1 << 16}, "wrote more than 65536 bytes"},
  };
  for (Case const& c : cases) {
    auto const start = std::chrono::steady_clock::now();
    ProgramRun const run = run_program(c.argv, "", c.limits);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 10s) << c.argv[0];
    EXPECT_EQ(run.exit_status, -1) << c.argv[0];
    EXPECT_NE(run.stopped.find(c.why), std::string::npos) << run.stopped;
    EXPECT_LE(run.out.size(), c.limits.max_output + 65536) << c.argv[0];
  }
  ProgramRun const quick = run_program({"/bin/sh", "-c", "echo done"}, "", {1min, 1 << 16});
  EXPECT_EQ(quick.exit_status, 0);
  EXPECT_EQ(quick.out, "done\n");
  EXPECT_EQ(quick.stopped, "");
}

}  // namespace
