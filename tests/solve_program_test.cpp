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

TEST(SolveProgram, ColourOnlyForATerminalWithoutNoColorOrWhenAsked) {
  std::string const solve_command = std::string(STACKS_SOLVE) + " --board 12/00";
  struct Case {
    std::string command;
    bool terminal;  // standard output a terminal, through script(1)
    bool colour;
  };
  for (Case const& c : std::vector<Case>{
           {solve_command, false, false},
           {solve_command, true, true},
           {"NO_COLOR=1 " + solve_command, true, false},
           {"NO_COLOR= " + solve_command, true, true},
           {"NO_COLOR=1 " + solve_command + " --color always", false, true},
           {solve_command + " --color never", true, false},
       }) {
    std::vector<std::string> argv = {"/bin/sh", "-c", c.command};
    if (c.terminal) argv = {"/usr/bin/script", "-qec", c.command, "/dev/null"};
    ProgramRun const run = run_program(argv);
    EXPECT_EQ(run.exit_status, 0) << c.command;
    // The requested cell: in colour, or as '*' for a plain log.
    EXPECT_EQ(run.out.find("\033[6;30;42mo\033[0m |") != std::string::npos, c.colour) << c.command;
    EXPECT_EQ(run.out.find("|* |") != std::string::npos, !c.colour) << c.command;
  }
  EXPECT_EQ(solve({"--board", "12/00", "--color", "sometimes"}).exit_status, 2);
}

TEST(SolveProgram, ADrawingCopiedFromTheOutputSolvesToTheSameValue) {
  for (std::string const colour : {"never", "always"}) {
    ProgramRun const first = solve({"--board", "1222000/1121000/1122000/1221000", "--color", colour});
    ASSERT_EQ(first.exit_status, 0);
    std::vector<std::string> const lines = lines_of(first.out);
    EXPECT_EQ(lines[0], "Minimum moves: 19");
    // The drawing of the first request, with its column numbers, as copied from the output.
    ASSERT_EQ(lines[11].rfind("Request 1: ", 0), 0u) << lines[11];
    std::string drawing;
    for (int i = 12; i < 22; ++i)
      drawing += lines[i] + "\r\n";
    EXPECT_NE(drawing.find(colour == "always" ? "\033" : "*"), std::string::npos) << drawing;
    ProgramRun const again = solve({"-"}, drawing);
    EXPECT_EQ(again.exit_status, 0) << again.err;
    EXPECT_EQ(lines_of(again.out)[0], "Minimum moves: 19");

    std::string const path = testing::TempDir() + "solve_drawing.txt";
    std::ofstream(path) << drawing;
    EXPECT_EQ(lines_of(solve({path}).out)[0], "Minimum moves: 19");
    std::remove(path.c_str());
  }
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

TEST(SolveProgram, AFailedReadOfStandardInputIsNotItsEnd) {
  // A directory, and a descriptor open for writing only: both refuse to be read.
  for (char const* redirect : {" < /", " 0>/dev/null"}) {
    for (char const* input : {" --batch -", " -", " --instance -"}) {
      std::string const command = STACKS_SOLVE + std::string(input) + redirect;
      SCOPED_TRACE(command);
      ProgramRun const run = run_program({"/bin/sh", "-c", command});
      EXPECT_EQ(run.exit_status, 2);
      expect_one_error_line(run, "stacks_solve: standard input: reading");
      EXPECT_EQ(run.out, "");
    }
  }
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

TEST(SolveProgram, BatchCsvHasAHeaderAndARowPerLine) {
  ProgramRun const run = solve({"--batch", "-", "--csv"}, "12/00\r\n\r\n12/22\n1x\n");
  EXPECT_EQ(run.exit_status, 2);
  std::vector<std::string> const rows = lines_of(run.out);
  ASSERT_EQ(rows.size(), 4u) << run.out;
  EXPECT_EQ(rows[0],
            "line,board,status,value,lower,upper,states,seconds,error,stacks,height,items,gap");
  EXPECT_EQ(rows[1].rfind("1,00/12,optimal,1,1,1,", 0), 0u) << rows[1];
  EXPECT_EQ(rows[2].rfind("3,12/22,optimal,,,,", 0), 0u) << rows[2];
  EXPECT_EQ(rows[3].rfind("4,,error,,,,,,", 0), 0u) << rows[3];
}

TEST(SolveProgram, MaxMemoryTripsOnABoardThatNeedsMore) {
  std::vector<std::string> const args = {"--board", "1222000/1121000/1122000/1221000",
                                         "--max-memory"};
  auto with = [&](std::string size) {
    auto a = args;
    a.push_back(size);
    return solve(a);
  };
  ProgramRun const tight = with("16K");
  EXPECT_EQ(tight.exit_status, 3);
  EXPECT_EQ(tight.out.rfind("Order within groups: worst\nSearch stopped (memory_limit): the value "
                            "is at least ",
                            0),
            0u)
      << tight.out;
  expect_one_error_line(tight, "--board: the search needs more than 16K of memory");
  EXPECT_EQ(with("1G").exit_status, 0);
  ProgramRun const batch =
      solve({"--batch", "-", "--max-memory", "16K"}, "12/00\n1222000/1121000/1122000/1221000\n");
  EXPECT_EQ(batch.exit_status, 3);
  expect_one_error_line(batch, "standard input: line 2: the search needs more than 16K");
  EXPECT_EQ(nlohmann::json::parse(lines_of(batch.out)[0])["value"], 1);
  nlohmann::json const stopped = nlohmann::json::parse(lines_of(batch.out).at(1));
  EXPECT_EQ(stopped["status"], "memory_limit");
  EXPECT_TRUE(stopped["value"].is_null());
  EXPECT_LE(stopped["lower"].get<int>(), 19);
  EXPECT_GE(stopped["upper"].get<int>(), 19);
}

TEST(SolveProgram, MemoryTheSystemRefusesIsNotTheBudget) {
#ifdef __SANITIZE_ADDRESS__
  GTEST_SKIP() << "the address sanitizer reserves more address space than the limit allows";
#endif
  // 20 MB of address space is enough to start and solve a small board, and is gone long before
  // this board's millions of boards reach the default budget, half the physical memory.
  std::string const big = "1120000000/1121210000/1122000000/1210000000/1222120000/2121220000";
  auto const limited = [](std::string const& args, std::string const& input) {
    return run_program({"/bin/sh", "-c", "ulimit -v 20000 && " STACKS_SOLVE " " + args}, input);
  };
  ASSERT_EQ(limited("--board 12/00", "").exit_status, 0);
  for (auto const& [args, input] : std::vector<std::pair<std::string, std::string>>{
           {"--board " + big, ""}, {"--batch -", big + "\n"}, {"--play --board " + big, ""}}) {
    SCOPED_TRACE(args);
    ProgramRun const run = limited(args, input);
    EXPECT_EQ(run.exit_status, 3);
    expect_one_error_line(run, "ran out of memory during the search (lower --max-memory");
  }
}

// The whole answer, line of play included, is the same with one thread and with two, on yards
// long enough for the helpers to start: only the boards stored and the time may differ.
TEST(SolveProgram, OneThreadAndTwoGiveTheSameAnswers) {
  std::string const yards =
      "11211120/11212221/12210000/12221200/20000000/21000000\n"
      "00000000/11112000/12111200/12212100/21222121/22200000\n";
  std::vector<nlohmann::json> answers[2];
  for (int const threads : {1, 2}) {
    ProgramRun const run =
        run_program({STACKS_SOLVE, "--batch", "-", "--json", "--threads", std::to_string(threads)},
                    yards);
    ASSERT_EQ(run.exit_status, 0) << run.err;
    for (std::string const& line : lines_of(run.out)) {
      nlohmann::json answer = nlohmann::json::parse(line);
      ASSERT_FALSE(answer["line"].empty());
      answer.erase("states");
      answer.erase("seconds");
      answers[threads - 1].push_back(answer);
    }
  }
  ASSERT_EQ(answers[0].size(), 2u);
  EXPECT_EQ(answers[1], answers[0]);
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
           {"--board", "12/00", "--retrieve-up-to", "2"},
           {"--board", "12/00", "--within", "sideways"},
           {"--board", "12/00", "--within", "random", "--play"},
           {"--instance", "-", "--play"},
           {"--instance", "-", "--board", "12/00"},
           {"--instance", "-", "--retrieve-up-to", "two"},
       }) {
    ProgramRun const run = solve(args);
    EXPECT_EQ(run.exit_status, 2) << testing::PrintToString(args);
    EXPECT_EQ(run.out, "");
    expect_one_error_line(run, "usage: stacks_solve");
  }
}

// The file with its name, in a fresh folder of the test's own.
std::string write_file(std::string const& name, std::string const& text) {
  std::string const path = testing::TempDir() + name;
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

// Three items of group 1 on one stack, beside an empty one (height 3), worked out by hand.
// Worst order asks for the bottom item: two lifted, then the lower of the two: 3. Best order
// asks for the top one each time: 0. In random order the top one costs nothing now and 1/2
// later (the lower of two is asked first half the time), the middle one 1, the bottom one
// 2 + 1/2: (1/2 + 1 + 5/2) / 3 = 4/3.
constexpr char const* kThreeOfAGroup = "2 3 3\n3 1 1 1\n0\n";

TEST(SolveProgram, GroupedJsonGivesTheOrderAndRandomValuesWithTheirFractions) {
  struct Case {
    std::vector<std::string> args;
    std::string input;
    char const* within;
    nlohmann::json value;
    char const* fraction;  // nullptr: no such field
    std::size_t requests;
  };
  for (Case const& c : std::vector<Case>{
           {{"--instance", "-", "--within", "random"},
            kThreeOfAGroup,
            "random",
            1.333333,
            "4/3",
            3},
           {{"--instance", "-"}, kThreeOfAGroup, "worst", 3, nullptr, 3},
           {{"--instance", "-", "--within", "best"}, kThreeOfAGroup, "best", 0, nullptr, 3},
           {{"--board", "111/000", "--within", "random"}, "", "random", 1.333333, "4/3", 3},
           // Group 2 stays: the item between the two of group 1 is lifted for the lower one,
           // asked first half the time, and again when the upper one lands on it: (3 + 1) / 2.
           {{"--instance", "-", "--within", "random", "--retrieve-up-to", "1"},
            "2 3 3\n3 1 2 1\n0\n",
            "random",
            2.0,
            "2/1",
            2},
       }) {
    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"--json", "--requests"});
    SCOPED_TRACE(testing::PrintToString(args));
    ProgramRun const run = solve(args, c.input);
    ASSERT_EQ(run.exit_status, 0) << run.err;
    nlohmann::json const record = nlohmann::json::parse(run.out);
    EXPECT_EQ(record["within"], c.within);
    EXPECT_EQ(record["groups"], 1);
    EXPECT_EQ(record["value"], c.value);
    EXPECT_EQ(record.contains("value_fraction"), c.fraction != nullptr);
    if (c.fraction) {
      EXPECT_EQ(record["value_fraction"], c.fraction);
    }
    EXPECT_EQ(record["requests"].size(), c.requests);
  }
  ProgramRun const random =
      solve({"--instance", "-", "--within", "random", "--json"}, kThreeOfAGroup);
  nlohmann::json const line = nlohmann::json::parse(random.out)["line"];
  ASSERT_EQ(line.size(), 3u);
  EXPECT_EQ(line[0]["cost_fraction"], "5/2");  // the bottom item, the unluckiest draw
  EXPECT_EQ(line[1]["cost_fraction"], "1/1");
  EXPECT_EQ(line[2]["cost_fraction"], "0/1");
  ProgramRun const text = solve({"--instance", "-", "--within", "random"}, kThreeOfAGroup);
  EXPECT_EQ(text.out.rfind("Order within groups: random\nExpected moves: 1.333333 (4/3)\n", 0), 0u)
      << text.out;
}

TEST(SolveProgram, SeveralInstanceFilesGiveARowEachAndNameTheBadFileAndLine) {
  std::string const good = write_file("three, \"one group\".txt", kThreeOfAGroup);
  std::string const bad = write_file("bad_instance.txt", "2 3 3\n3 1 1 1\n0 4\n");
  ProgramRun const csv = solve({"--instance", bad, good, "--within", "best", "--csv"});
  EXPECT_EQ(csv.exit_status, 2);
  expect_one_error_line(csv, bad + ": line 3");
  std::vector<std::string> const rows = lines_of(csv.out);
  ASSERT_EQ(rows.size(), 3u) << csv.out;
  EXPECT_EQ(rows[0],
            "file,board,within,groups,status,value,value_fraction,lower,upper,states,seconds,error,"
            "stacks,height,items,gap");
  EXPECT_EQ(rows[1].rfind(bad + ",,,,error,,,,,,,\"line 3", 0), 0u) << rows[1];
  std::string const quoted =
      std::string(1, '"').append(testing::TempDir()).append("three, \"\"one group\"\".txt\",");
  EXPECT_EQ(rows[2].rfind(quoted, 0), 0u) << rows[2];
  EXPECT_NE(rows[2].find(",best,1,optimal,0,,0,0,"), std::string::npos) << rows[2];

  ProgramRun const json = solve({"--instance", good, bad});
  EXPECT_EQ(json.exit_status, 2);
  std::vector<std::string> const records = lines_of(json.out);
  ASSERT_EQ(records.size(), 2u) << json.out;
  EXPECT_EQ(nlohmann::json::parse(records[0])["file"], good);
  EXPECT_EQ(nlohmann::json::parse(records[0])["value"], 3);
  EXPECT_EQ(nlohmann::json::parse(records[1])["file"], bad);
  EXPECT_TRUE(nlohmann::json::parse(records[1]).contains("error"));

  ProgramRun const batch = solve({"--batch", "-", "--within", "random", "--csv"}, "111/000\n");
  EXPECT_EQ(lines_of(batch.out)[0],
            "line,board,within,groups,status,value,value_fraction,lower,upper,states,seconds,error,"
            "stacks,height,items,gap");
  EXPECT_NE(lines_of(batch.out)[1].find(",random,1,optimal,1.333333,4/3,"), std::string::npos);
  std::remove(good.c_str());
  std::remove(bad.c_str());
}

TEST(SolveProgram, AFileNameInAMessageStaysOnItsLineAndDrivesNoTerminal) {
  std::string const name = testing::TempDir() + "no\033[2J\nsuch.txt";
  std::string const shown = "no\\x1B[2J\\nsuch.txt: cannot open it";
  expect_one_error_line(solve({name}), shown);
  expect_one_error_line(solve({"--batch", name}), shown);
  ProgramRun const several = solve({"--instance", name, name});
  EXPECT_EQ(lines_of(several.err).size(), 2u) << several.err;
  EXPECT_EQ(several.err.find('\033'), std::string::npos) << several.err;
  EXPECT_EQ(nlohmann::json::parse(lines_of(several.out).at(0))["file"], name)
      << "a record keeps the name as given";
  expect_one_error_line(solve({"yard.txt", "no\033[2J.txt"}), "not expected: no\\x1B[2J.txt");
}

TEST(SolveProgram, AnOutputThatCannotBeWrittenIsAFailure) {
  ProgramRun const run = run_program({"/bin/sh", "-c", STACKS_SOLVE " --board 12/00 >/dev/full"});
  EXPECT_EQ(run.exit_status, 1);
  expect_one_error_line(run, "writing the output failed");
}

// A picture that cannot be written is a failure too, but the report is still written whole.
TEST(SolveProgram, APictureThatCannotBeWrittenLosesNoReport) {
  std::string const missing = testing::TempDir() + "no/such/folder/page.html";
  for (auto const& [args, words] : std::vector<std::pair<std::vector<std::string>, std::string>>{
           {{"--svg", "/dev/full"}, "/dev/full: writing the picture failed"},
           {{"--html", missing}, missing + ": writing the page failed"},
           {{"--html", missing, "--instance", "-"}, missing + ": writing the page failed"}}) {
    std::vector<std::string> all = {"--json"};
    all.insert(all.end(), args.begin(), args.end());
    if (all.back() != "-") all.insert(all.end(), {"--board", "121/000"});
    SCOPED_TRACE(testing::PrintToString(all));
    ProgramRun const run = solve(all, "2 3 3\n3 1 1 1\n0\n");
    EXPECT_EQ(run.exit_status, 1);
    expect_one_error_line(run, words);
    EXPECT_EQ(nlohmann::json::parse(run.out)["status"], "optimal");
  }
}

// Numbers out of every range, words in the singular, and help that cannot be written.
TEST(SolveProgram, TheEdgesOfTheCommandLineGetPlainWords) {
  std::string const svg = testing::TempDir() + "edges.svg";
  std::string const one_stack = "1 40 1\n1 1\n";
  struct Case {
    std::vector<std::string> args;
    std::string input;
    int status;
    std::string words;  // in the one line on standard error; empty: nothing there
  };
  for (Case const& c : std::vector<Case>{
           {{"--board", "12/00", "--svg", svg, "--step", "-1"},
            "",
            2,
            "--step: '-1' is not a step (0 the start, 1 the first request)"},
           {{"--board", "12/00", "--svg", svg, "--step", "99999999999999999999"},
            "",
            2,
            "--step: '99999999999999999999' is past the end of any line"},
           {{"--board", "12/00", "--svg", svg, "--step", "9"},
            "",
            2,
            "--step 9: the line has 1 request, so its steps are 0 (the start) to 2 (the end)"},
           {{"--board", std::string(40, '1')}, "", 2, "a board of 1 stack of 40 slots is too big"},
           {{"--instance", "-", "--within", "best"},
            one_stack,
            2,
            "a yard of 1 stack of 40 slots is too big"},
           {{"--instance", "-", "--retrieve-up-to", "99999999999999999999"}, kThreeOfAGroup, 0, ""},
           {{"--board", "12/00", "--threads", "99999999999999999999"},
            "",
            2,
            "--threads: '99999999999999999999' is not a number of threads from 1 to 1024"},
       }) {
    SCOPED_TRACE(testing::PrintToString(c.args));
    ProgramRun const run = solve(c.args, c.input);
    EXPECT_EQ(run.exit_status, c.status) << run.err;
    if (c.words.empty()) {
      EXPECT_EQ(run.err, "");
    } else {
      expect_one_error_line(run, c.words);
    }
  }
  for (char const* option : {"--help", "--version"}) {
    ProgramRun const full =
        run_program({"/bin/sh", "-c", STACKS_SOLVE + std::string(" ") + option + " >/dev/full"});
    EXPECT_EQ(full.exit_status, 1) << option;
    expect_one_error_line(full, "writing the output failed");
  }
}

TEST(SolveProgram, HelpAndVersion) {
  ProgramRun const help = solve({"--help"});
  EXPECT_EQ(help.exit_status, 0);
  for (char const* words : {"--board", "--batch", "--max-memory", "--requests", "--json", "--csv",
                            "Exit status", "3              a resource limit"}) {
    EXPECT_NE(help.out.find(words), std::string::npos) << words;
  }
  // The columns of every CSV header, as the reports write them.
  std::string words;
  for (char c : help.out) {
    if (c != ' ' && c != '\n') words += c;
  }
  for (char const* header :
       {"line,board,status,value,lower,upper,states,seconds,error,stacks,height,items,gap",
        "file,board,within,groups,status,value,value_fraction,lower,upper,states,seconds,error,"
        "stacks,height,items,gap"}) {
    EXPECT_NE(words.find(header), std::string::npos) << header;
  }
  ProgramRun const version = solve({"--version"});
  EXPECT_EQ(version.exit_status, 0);
  EXPECT_EQ(version.out.rfind("stacks_solve ", 0), 0u);
}

}  // namespace

TEST(SolveProgram, AYardTooBigForTheSearchIsBadInput) {
  std::string yard = "40 4 1\n1 1\n";
  for (int s = 1; s < 40; ++s)
    yard += "0\n";
  ProgramRun const run = solve({"--instance", "-", "--within", "best"}, yard);
  EXPECT_EQ(run.exit_status, 2);
  expect_one_error_line(run, "a yard of 40 stacks of 4 slots is too big: at most 32 stacks");
}

namespace {

int count_of(std::string const& text, std::string const& what) {
  int n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
    ++n;
  return n;
}

TEST(SolveProgram, SvgDrawsTheStepAskedForAndRefusesAStepBeyondTheLine) {
  std::string const path = testing::TempDir() + "solve_step.svg";
  nlohmann::json const record =
      nlohmann::json::parse(solve({"--board", "11100/11220/21200", "--json"}).out);
  std::size_t const requests = record["line"].size();
  for (std::size_t step = 0; step <= requests + 1; ++step) {
    ProgramRun const run =
        solve({"--board", "11100/11220/21200", "--svg", path, "--step", std::to_string(step)});
    ASSERT_EQ(run.exit_status, 0) << run.err;
    std::string const svg = read_file(path);
    EXPECT_EQ(svg.rfind("<svg xmlns=\"http://www.w3.org/2000/svg\"", 0), 0u);
    bool const request = step >= 1 && step <= requests;
    EXPECT_EQ(count_of(svg, "class=\"target\""), request ? 1 : 0) << step;
    // A landing slot and an arrow for each lifted item, two arrows for two items moved
    // between the same two stacks.
    int const moves = request ? static_cast<int>(record["line"][step - 1]["moves"].size()) : 0;
    EXPECT_EQ(count_of(svg, "class=\"landing\""), moves) << step;
    EXPECT_EQ(count_of(svg, "marker-end="), moves) << step;
  }
  std::remove(path.c_str());
  ProgramRun const beyond = solve(
      {"--board", "11100/11220/21200", "--svg", path, "--step", std::to_string(requests + 2)});
  EXPECT_EQ(beyond.exit_status, 2);
  expect_one_error_line(beyond, "--step " + std::to_string(requests + 2) + ": the line has");
  EXPECT_EQ(beyond.out, "");
  EXPECT_FALSE(std::ifstream(path).good());
  EXPECT_EQ(solve({"--board", "12/00", "--step", "1"}).exit_status, 2) << "--step without --svg";
  // A line that ends at a request whose items fit nowhere ends there, and says so.
  ASSERT_EQ(solve({"--board", "12/22", "--svg", path, "--step", "2"}).exit_status, 0);
  EXPECT_NE(read_file(path).find("<title>End: the lifted items of request 1 fit nowhere (moves "
                                 "so far: 0)</title>"),
            std::string::npos)
      << read_file(path);
  EXPECT_EQ(solve({"--batch", "-", "--html", path}, "12/00\n").exit_status, 2);
}

}  // namespace
