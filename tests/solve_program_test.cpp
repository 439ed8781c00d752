// stacks_solve run as a user runs it: input forms, output formats, exit statuses and messages.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "tests/support/interactive_output.h"
#include "tests/support/run_program.h"

namespace {

ProgramRun solve(std::vector<std::string> args, std::string const& input = "") {
  args.insert(args.begin(), STACKS_SOLVE);
  return run_program(args, input);
}

// Takes one line on standard error, starting with the program's name.
void expect_one_error_line(ProgramRun const& run, std::string const& words) {
  EXPECT_EQ(run.err.rfind("stacks_solve: ", 0), 0u) << run.err;
  EXPECT_EQ(lines_of(run.err).size(), 1u) << run.err;
  EXPECT_NE(run.err.find(words), std::string::npos) << run.err;
}

TEST(SolveProgram, DefaultOutputIsTheValueTheBoardAndTheLine) {
  ProgramRun const run = solve({"--board", " 12/00 "});
  EXPECT_EQ(run.exit_status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out,
            "Minimum moves: 1\n"
            "----\n| x|\n| o|\n----\n"
            "----\n| x|\n| \033[6;30;42mo\033[0m|\n----\n"
            "----\n|  |\n| x|\n----\n");
}

TEST(SolveProgram, ADrawingCopiedFromTheOutputSolvesToTheSameValue) {
  ProgramRun const first = solve({"--board", "1222000/1121000/1122000/1221000"});
  ASSERT_EQ(first.exit_status, 0);
  std::vector<std::string> const lines = lines_of(first.out);
  EXPECT_EQ(lines[0], "Minimum moves: 19");
  // The second drawing has the first request highlighted, as copied from redirected output.
  std::string drawing;
  for (int i = 10; i < 19; ++i)
    drawing += lines[i] + "\r\n";
  ASSERT_NE(drawing.find('\033'), std::string::npos);
  ProgramRun const again = solve({"-"}, drawing);
  EXPECT_EQ(again.exit_status, 0) << again.err;
  EXPECT_EQ(lines_of(again.out)[0], "Minimum moves: 19");

  std::string const path = testing::TempDir() + "solve_drawing.txt";
  std::ofstream(path) << drawing;
  EXPECT_EQ(lines_of(solve({path}).out)[0], "Minimum moves: 19");
  std::remove(path.c_str());
}

TEST(SolveProgram, JsonOutputParsesBack) {
  ProgramRun const run = solve({"--board", "121/000", "--json", "--requests"});
  EXPECT_EQ(run.exit_status, 0);
  EXPECT_EQ(lines_of(run.out).size(), 1u);
  nlohmann::json const record = nlohmann::json::parse(run.out);
  EXPECT_EQ(record["value"], 3);
  EXPECT_EQ(record["board"], "000/121");
  EXPECT_EQ(record["line"].size(), 2u);
  EXPECT_EQ(record["requests"].size(), 2u);
}

TEST(SolveProgram, NoPlacementIsSolvedAndSaidInWords) {
  ProgramRun const text = solve({"--board", "12/22"});
  EXPECT_EQ(text.exit_status, 0);
  EXPECT_EQ(lines_of(text.out)[0],
            "Minimum moves: none - the items lifted for some request fit nowhere");
  ProgramRun const json = solve({"--board", "12/22", "--json"});
  EXPECT_TRUE(nlohmann::json::parse(json.out)["value"].is_null());
}

TEST(SolveProgram, BadInputGetsOneLineNamingWhereAndStatus2) {
  ProgramRun const compact = solve({"--board", "12/0a"});
  EXPECT_EQ(compact.exit_status, 2);
  expect_one_error_line(compact, "--board: column 5: unknown character 'a'");
  EXPECT_EQ(compact.out, "");
  ProgramRun const drawn = solve({"-"}, "|o |\n|ox|\n|o|\n");
  EXPECT_EQ(drawn.exit_status, 2);
  expect_one_error_line(drawn, "standard input: line 3: this row is 1 wide");
  ProgramRun const missing = solve({"/nonexistent/board.txt"});
  EXPECT_EQ(missing.exit_status, 2);
  expect_one_error_line(missing, "/nonexistent/board.txt: cannot open it");
}

TEST(SolveProgram, BatchSolvesTheGoodLinesAndNamesTheBadOne) {
  std::string const batch = "# three yards\n12/00\n\n12/0x\n121/000\n";
  ProgramRun const run = solve({"--batch", "-"}, batch);
  EXPECT_EQ(run.exit_status, 2);
  expect_one_error_line(run, "standard input: line 4, column 5: unknown character 'x'");
  std::vector<std::string> const records = lines_of(run.out);
  ASSERT_EQ(records.size(), 3u);
  std::vector<nlohmann::json> parsed;
  for (auto const& record : records)
    parsed.push_back(nlohmann::json::parse(record));
  EXPECT_EQ(parsed[0]["input_line"], 2);
  EXPECT_EQ(parsed[0]["value"], 1);
  EXPECT_EQ(parsed[1]["input_line"], 4);
  EXPECT_TRUE(parsed[1].contains("error"));
  EXPECT_EQ(parsed[2]["input_line"], 5);
  EXPECT_EQ(parsed[2]["value"], 3);
}

TEST(SolveProgram, BatchCsvHasAHeaderAndARowPerSolvedBoard) {
  ProgramRun const run = solve({"--batch", "-", "--csv"}, "12/00\n12/22\n");
  EXPECT_EQ(run.exit_status, 0);
  std::vector<std::string> const rows = lines_of(run.out);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0], "line,board,value,states,seconds");
  EXPECT_EQ(rows[1].rfind("1,00/12,1,", 0), 0u) << rows[1];
  EXPECT_EQ(rows[2].rfind("2,12/22,,", 0), 0u) << rows[2];
}

TEST(SolveProgram, MaxMemoryTripsOnABoardThatNeedsMore) {
  std::vector<std::string> const args = {"--board", "1222000/1121000/1122000/1221000",
                                         "--max-memory"};
  auto with = [&](std::string size) {
    auto a = args;
    a.push_back(size);
    return solve(a);
  };
  ProgramRun const tight = with("64K");
  EXPECT_EQ(tight.exit_status, 3);
  EXPECT_EQ(tight.out, "");
  expect_one_error_line(tight, "--board: the search needs more than 64K of memory");
  EXPECT_EQ(with("1G").exit_status, 0);
  ProgramRun const batch =
      solve({"--batch", "-", "--max-memory", "64K"}, "12/00\n1222000/1121000/1122000/1221000\n");
  EXPECT_EQ(batch.exit_status, 3);
  expect_one_error_line(batch, "standard input: line 2: the search needs more than 64K");
  EXPECT_EQ(nlohmann::json::parse(lines_of(batch.out)[0])["value"], 1);
}

TEST(SolveProgram, UsageErrorsGetStatus2) {
  for (auto const& args : std::vector<std::vector<std::string>>{
           {},
           {"--bogus"},
           {"--board", "12/00", "--csv"},
           {"--batch", "-", "--csv", "--json"},
           {"--batch", "-", "--csv", "--requests"},
           {"--board", "12/00", "board.txt"},
           {"--board", "12/00", "--max-memory", "0"},
           {"--board", "12/00", "--max-memory", "lots"},
       }) {
    ProgramRun const run = solve(args);
    EXPECT_EQ(run.exit_status, 2) << testing::PrintToString(args);
    EXPECT_EQ(run.out, "");
    expect_one_error_line(run, "usage: stacks_solve");
  }
}

TEST(SolveProgram, AnOutputThatCannotBeWrittenIsAFailure) {
  ProgramRun const run = run_program({"/bin/sh", "-c", STACKS_SOLVE " --board 12/00 >/dev/full"});
  EXPECT_EQ(run.exit_status, 1);
  expect_one_error_line(run, "writing the output failed");
}

TEST(SolveProgram, HelpAndVersion) {
  ProgramRun const help = solve({"--help"});
  EXPECT_EQ(help.exit_status, 0);
  for (char const* words : {"--board", "--batch", "--max-memory", "--requests", "--json", "--csv",
                            "Exit status", "3  a resource limit"}) {
    EXPECT_NE(help.out.find(words), std::string::npos) << words;
  }
  ProgramRun const version = solve({"--version"});
  EXPECT_EQ(version.exit_status, 0);
  EXPECT_EQ(version.out.rfind("stacks_solve ", 0), 0u);
}

}  // namespace
