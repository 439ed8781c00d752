// stacks_solve stopped from outside, by its time limit or by a signal: every record it wrote
// stays whole and readable, the board being solved says how far it got, and the exit status
// says why it stopped.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <fstream>
#include <nlohmann/json.hpp>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/interactive_output.h"
#include "tests/support/live_program.h"
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
  // Five groups, then one item a group (the known order, where SIGTERM comes during the pilot
  // line): each in the same cells.
  auto write_yard = [](std::string const& path, auto group_of) {
    std::ofstream out(path);
    out << "20 12 150\n";
    std::mt19937 rng(7);
    std::vector<int> groups(150);
    for (int i = 0; i < 150; ++i)
      groups[i] = group_of(i);
    std::shuffle(groups.begin(), groups.end(), rng);
    for (int s = 0; s < 20; ++s) {
      int const height = s < 10 ? 8 : 7;
      out << height;
      for (int j = 0; j < height; ++j)
        out << ' ' << groups[s < 10 ? s * 8 + j : 80 + (s - 10) * 7 + j];
      out << '\n';
    }
  };
  std::string const grouped = testing::TempDir() + "wide_yard.txt";
  std::string const known = testing::TempDir() + "wide_known_yard.txt";
  write_yard(grouped, [](int i) { return 1 + i % 5; });
  write_yard(known, [](int i) { return 1 + i; });
  RunLimits const deadline{std::chrono::seconds(30)};
  for (auto const& [path, within] :
       {std::pair{grouped, "worst"}, std::pair{grouped, "random"}, std::pair{known, "best"}}) {
    SCOPED_TRACE(within);
    ProgramRun const limited = run_program(
        {STACKS_SOLVE, "--instance", path, "--within", within, "--json", "--time-limit", "0.1"}, "",
        deadline);
    EXPECT_EQ(limited.exit_status, 4) << limited.err;
    nlohmann::json const stopped = nlohmann::json::parse(limited.out);
    EXPECT_EQ(stopped["status"], "time_limit");
    // Only the random order has the rule's mean estimated, without an upper bound for certain
    // (or with a coarser yard's), on standard error, the record as it was.
    bool const estimated = limited.err.find("an estimate and no bound") != std::string::npos;
    if (std::string(within) != "random") {
      EXPECT_FALSE(estimated) << limited.err;
    } else if (stopped["upper"].is_null()) {
      EXPECT_TRUE(estimated) << limited.err;
    }
    EXPECT_FALSE(stopped.contains("estimate"));
    ProgramRun const terminated =
        run_program({"/usr/bin/env", "timeout", "--preserve-status", "-s", "TERM", "0.5",
                     STACKS_SOLVE, "--instance", path, "--within", within, "--json"},
                    "", deadline);
    EXPECT_EQ(terminated.exit_status, 143) << terminated.err;
    nlohmann::json const record = nlohmann::json::parse(terminated.out);
    EXPECT_EQ(record["status"], "interrupted");
    // The line achieves the upper bound (the random order's line is one draw, not the mean).
    if (std::string(within) != "random" && record["upper"].is_number()) {
      int moved = 0;
      for (auto const& step : record["line"])
        moved += step["moved"].get<int>();
      EXPECT_LE(moved, record["upper"].get<double>());
    }
  }
}

// A time limit that has passed before the search starts, on yards whose cheap bounds already
// meet: the record is optimal, and so it must be whole, with the line of best play and the
// requests, exactly as a run without a limit gives them.
TEST(AnytimeProgram, BoundsThatMeetGiveTheWholeAnswerOfAnUnlimitedRun) {
  std::string const groups = "4 3 7\n1 3\n3 0 0 3\n1 3\n2 0 1\n";
  struct Case {
    std::vector<std::string> args;
    std::string input;
  };
  for (Case const& c : std::vector<Case>{{{"--board", "1221/1120/2200/0000"}, ""},
                                         {{"--instance", "-"}, groups},
                                         {{"--instance", "-", "--within", "best"}, groups},
                                         {{"--instance", "-", "--within", "random"}, groups}}) {
    std::vector<std::string> args = {STACKS_SOLVE, "--json", "--requests"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    SCOPED_TRACE(testing::PrintToString(args));
    nlohmann::json unlimited = nlohmann::json::parse(run_program(args, c.input).out);
    args.insert(args.end(), {"--time-limit", "1e-9"});
    ProgramRun const run = run_program(args, c.input);
    ASSERT_EQ(run.exit_status, 0) << run.err;
    nlohmann::json limited = nlohmann::json::parse(run.out);
    for (nlohmann::json* record : {&unlimited, &limited}) {
      record->erase("states");
      record->erase("seconds");
    }
    EXPECT_EQ(limited, unlimited);
  }
}

// A stopped search's line is in the columns as given, as a solved one's: the text names the
// columns that JSON's "target" gives, and JSON's "moves" say where each lifted item went.
// Requests asked for and not known are said to be so.
TEST(AnytimeProgram, AStoppedRecordIsInTheColumnsAsGivenAndSaysWhatItDoesNotKnow) {
  struct Case {
    std::vector<std::string> args;
    std::string input;
  };
  for (Case const& c : std::vector<Case>{
           {{"--board", "22100/12210/00000/11200/21100"}, ""},
           {{"--instance", "-", "--within", "random"}, "3 4 6\n3 2 1 2\n0\n3 1 2 1\n"}}) {
    std::vector<std::string> args = {STACKS_SOLVE, "--time-limit", "1e-9", "--requests"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    SCOPED_TRACE(testing::PrintToString(args));
    ProgramRun const text = run_program(args, c.input);
    args.push_back("--json");
    nlohmann::json const record = nlohmann::json::parse(run_program(args, c.input).out);
    ASSERT_EQ(record["status"], "time_limit");
    EXPECT_TRUE(record.contains("requests") && record["requests"].is_null());
    EXPECT_NE(text.out.find("\nCost of each request: not known, the search stopped first.\n"),
              std::string::npos);
    std::vector<std::string> requests;
    for (std::string const& line : lines_of(text.out)) {
      if (line.rfind("Request ", 0) == 0) requests.push_back(line.substr(0, line.find(", group")));
    }
    ASSERT_EQ(requests.size(), record["line"].size()) << text.out;
    for (std::size_t i = 0; i < requests.size(); ++i) {
      nlohmann::json const& step = record["line"][i];
      EXPECT_EQ(requests[i], "Request " + std::to_string(i + 1) + ": stack " +
                                 std::to_string(step["target"][0].get<int>()) + ", slot " +
                                 std::to_string(step["target"][1].get<int>()));
      EXPECT_EQ(step["moves"].size(), step["moved"].get<std::size_t>());
    }
  }
}

// A signal that comes while the input is read, or while the program waits for more of it,
// stops the run at once with the signal's status; what was half read makes no record, whatever
// it would parse as.
TEST(AnytimeProgram, ASignalWhileReadingStopsTheRunWithoutAFalseRecord) {
  using namespace std::chrono_literals;
  struct Case {
    std::vector<std::string> args;
    std::string input;  // sent, and the input left open
    std::string shown;  // in the output by then; empty: wait a moment instead
    int signal;
  };
  for (Case const& c : std::vector<Case>{
           {{"--batch", "-", "--csv"}, "12/00\n12/", "\n1,00/12,optimal,", SIGINT},
           {{"--batch", "-"}, "12/00\n", "{\"input_line\":1,", SIGTERM},
           {{"--instance", "-", "--csv"}, "2 3 3\n3 1", "file,board,", SIGINT},
           {{"-"}, "|o |\n", "", SIGINT},
       }) {
    std::vector<std::string> argv = {STACKS_SOLVE};
    argv.insert(argv.end(), c.args.begin(), c.args.end());
    SCOPED_TRACE(testing::PrintToString(argv));
    LiveProgram program(argv, LiveProgram::Wiring::kPipes);
    program.send(c.input);
    if (c.shown.empty()) {
      usleep(500000);
    } else {
      ASSERT_TRUE(program.wait_for_text(c.shown, 1, 10s)) << program.output();
    }
    usleep(100000);  // into the read that waits for the rest
    program.signal(c.signal);
    EXPECT_EQ(program.wait_exit(10s), 128 + c.signal);
    std::vector<std::string> records = lines_of(program.output());
    if (c.args.back() == "--csv") records.erase(records.begin());  // the header
    for (std::string const& record : records)
      EXPECT_EQ(record.find("error"), std::string::npos) << record;
  }
}

// Every record reaches the output as it is written: a run killed outright keeps them all.
TEST(AnytimeProgram, ARunKilledOutrightKeepsTheRecordsItWrote) {
  using namespace std::chrono_literals;
  LiveProgram program({STACKS_SOLVE, "--batch", write_batch(), "--json"},
                      LiveProgram::Wiring::kPipes);
  // The first two lines, then the long search of the third.
  ASSERT_TRUE(program.wait_for_text("\n", 2, 20s)) << program.output();
  program.signal(SIGKILL);
  EXPECT_EQ(program.wait_exit(20s), -1);
  std::vector<std::string> const records = lines_of(program.output());
  ASSERT_EQ(records.size(), 2u) << program.output();
  EXPECT_EQ(nlohmann::json::parse(records[0])["status"], "optimal");
  EXPECT_EQ(nlohmann::json::parse(records[1])["status"], "error");
}

}  // namespace
