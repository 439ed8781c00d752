// stacks_solve stopped from outside, by its time limit or by a signal: every record it wrote
// stays whole and readable, the board being solved says how far it got, and the exit status
// says why it stopped.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <random>

#include <fstream>
#include <nlohmann/json.hpp>

#include "tests/support/interactive_output.h"
#include "tests/support/run_program.h"

namespace {

// A board the search takes many seconds over, between two that it solves at once.
constexpr char const* kBatch =
    "12/00\n"
    "1x\n"
    "12000000/12121211/12210000/12212210/21120000/22100000\n"
    "12/00\n";

std::string write_batch() {
  std::string const path = testing::TempDir() + "anytime_batch.txt";
  std::ofstream(path) << kBatch;
  return path;
}

// The batch, sent SIGINT after a second and a half: by then the first two lines are done and
// the third is being searched.
ProgramRun interrupted_batch(std::string const& format) {
  return run_program({"/usr/bin/env", "timeout", "--preserve-status", "-s", "INT", "1.5",
                      STACKS_SOLVE, "--batch", write_batch(), format});
}

TEST(AnytimeProgram, SigintLeavesWholeJsonRecordsAndTheStoppedBoardsBounds) {
  ProgramRun const run = interrupted_batch("--json");
  EXPECT_EQ(run.exit_status, 130) << run.err;
  std::vector<std::string> const records = lines_of(run.out);
  ASSERT_EQ(records.size(), 3u) << run.out;
  std::vector<nlohmann::json> parsed;
  for (std::string const& record : records)
    parsed.push_back(nlohmann::json::parse(record));
  EXPECT_EQ(parsed[0]["status"], "optimal");
  EXPECT_EQ(parsed[1]["status"], "error");
  EXPECT_EQ(parsed[2]["status"], "interrupted");
  EXPECT_EQ(parsed[2]["input_line"], 3);
  EXPECT_TRUE(parsed[2]["value"].is_null());
  // The value is 34.
  EXPECT_LE(parsed[2]["lower"].get<int>(), 34);
  // The upper bound is the placement rule's cost, when it was worked out in time; its line
  // is then the line of the record.
  if (parsed[2]["upper"].is_null()) {
    EXPECT_TRUE(parsed[2]["line"].empty());
  } else {
    EXPECT_GE(parsed[2]["upper"].get<int>(), 34);
    EXPECT_FALSE(parsed[2]["line"].empty());
  }
}

TEST(AnytimeProgram, CsvOfGoodBadAndInterruptedLinesReadsBackARowALine) {
  ProgramRun const run = interrupted_batch("--csv");
  EXPECT_EQ(run.exit_status, 130) << run.err;
  std::string const csv = testing::TempDir() + "anytime_batch.csv";
  std::ofstream(csv) << run.out;
  ProgramRun const read = run_program(
      {"/usr/bin/env", "python3", "-c",
       "import csv, sys\n"
       "rows = list(csv.DictReader(open(sys.argv[1], newline='')))\n"
       "print(' '.join(r['line'] + ':' + r['status'] + ':' + str(bool(r['error'])) for r in rows))",
       csv});
  EXPECT_EQ(read.exit_status, 0) << read.err;
  EXPECT_EQ(read.out, "1:optimal:False 2:error:True 3:interrupted:False\n") << run.out;
}

TEST(AnytimeProgram, ATimeLimitGivesBoundsAndItsOwnStatus) {
  ProgramRun const run =
      run_program({STACKS_SOLVE, "--board", "12000000/12121211/12210000/12212210/21120000/22100000",
                   "--json", "--time-limit", "0.2"});
  EXPECT_EQ(run.exit_status, 4) << run.err;
  nlohmann::json const record = nlohmann::json::parse(run.out);
  EXPECT_EQ(record["status"], "time_limit");
  EXPECT_LE(record["lower"].get<int>(), 34);
  EXPECT_LT(record["seconds"].get<double>(), 5.0);
  for (char const* bad : {"0", "-1", "x", "1s", "nan"}) {
    EXPECT_EQ(run_program({STACKS_SOLVE, "--board", "12/00", "--time-limit", bad}).exit_status, 2)
        << bad;
  }
}

// Yards of 20 stacks of 12 with 150 items, where a placement walk, a dive or the placement
// rule's cost each take far longer than the limit: a time limit and SIGTERM stop them, each
// with a whole record. (That they stop is what is asserted, not how fast: run_program kills a
// run that outlives its deadline, and the test then fails.)
TEST(AnytimeProgram, AWideYardStopsAtATimeLimitAndAtSigterm) {
  std::string const path = testing::TempDir() + "wide_yard.txt";
  {
    std::ofstream out(path);
    out << "20 12 150\n";
    std::mt19937 rng(7);
    std::vector<int> groups(150);
    for (int i = 0; i < 150; ++i)
      groups[i] = 1 + i % 5;
    std::shuffle(groups.begin(), groups.end(), rng);
    for (int s = 0; s < 20; ++s) {
      int const height = s < 10 ? 8 : 7;
      out << height;
      for (int j = 0; j < height; ++j)
        out << ' ' << groups[s < 10 ? s * 8 + j : 80 + (s - 10) * 7 + j];
      out << '\n';
    }
  }
  RunLimits const deadline{std::chrono::seconds(30)};
  for (char const* within : {"worst", "random"}) {
    SCOPED_TRACE(within);
    ProgramRun const limited = run_program(
        {STACKS_SOLVE, "--instance", path, "--within", within, "--json", "--time-limit", "0.1"}, "",
        deadline);
    EXPECT_EQ(limited.exit_status, 4) << limited.err;
    EXPECT_EQ(nlohmann::json::parse(limited.out)["status"], "time_limit");
    ProgramRun const terminated =
        run_program({"/usr/bin/env", "timeout", "--preserve-status", "-s", "TERM", "0.5",
                     STACKS_SOLVE, "--instance", path, "--within", within, "--json"},
                    "", deadline);
    EXPECT_EQ(terminated.exit_status, 143) << terminated.err;
    EXPECT_EQ(nlohmann::json::parse(terminated.out)["status"], "interrupted");
  }
}

}  // namespace
