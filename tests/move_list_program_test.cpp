// stacks_solve --moves and --check-moves: every line of play written as a move list checks
// back as legal, with the relocations its value says, and an illegal list is refused at its
// first illegal move, naming the line and why.
#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>

#include "tests/support/interactive_output.h"
#include "tests/support/run_program.h"

namespace {

ProgramRun solve(std::vector<std::string> args, std::string const& input = "") {
  args.insert(args.begin(), STACKS_SOLVE);
  return run_program(args, input);
}

std::string write_file(std::string const& name, std::string const& text) {
  std::string const path = testing::TempDir() + name;
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

// Items that stay, a group without items, two items of one group, an empty stack.
constexpr char const* kGroups = "4 3 7\n1 3\n3 0 0 3\n1 3\n2 0 1\n";
constexpr char const* kYard = "1222000/1121000/1122000/1221000";

TEST(MoveLists, EveryLineWrittenChecksBackWithTheRelocationsOfItsValue) {
  std::string const groups = write_file("move_list_groups.txt", kGroups);
  std::string const list = testing::TempDir() + "move_list.txt";
  std::vector<std::vector<std::string>> const yards = {
      {"--board", kYard},
      {"--board", "2211/1210/0000", "--within", "best"},
      {"--board", "2211/1210/0000", "--within", "random"},
      {"--instance", groups},
      {"--instance", groups, "--within", "best"},
      {"--instance", groups, "--within", "random"},
      // A search that stops: its line is the play behind its upper bound.
      {"--board", "22100/12210/00000/11200/21100", "--time-limit", "1e-9"},
  };
  for (auto const& yard : yards) {
    SCOPED_TRACE(testing::PrintToString(yard));
    std::vector<std::string> args = yard;
    args.insert(args.end(), {"--json", "--moves", list});
    ProgramRun const solved = solve(args);
    ASSERT_TRUE(solved.exit_status == 0 || solved.exit_status == 4) << solved.err;
    nlohmann::json const record = nlohmann::json::parse(solved.out);
    long relocations = 0;
    for (auto const& step : record["line"])
      relocations += static_cast<long>(step["moves"].size());
    std::vector<std::string> const lines = lines_of(read_file(list));
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0].rfind("# yard ", 0), 0u) << lines[0];
    EXPECT_NE(lines[0].find("; order " + record["within"].get<std::string>() + "; "),
              std::string::npos)
        << lines[0];
    std::string const counts = std::to_string(relocations) +
                               (relocations == 1 ? " relocation, " : " relocations, ") +
                               std::to_string(record["line"].size()) + " retrievals";
    EXPECT_EQ(lines[1].rfind("# " + counts + ";", 0), 0u) << lines[1];
    if (record["status"] == "optimal" && record["within"] != "random") {
      EXPECT_EQ(record["value"], relocations) << "the line of best play costs the value";
    }

    std::vector<std::string> check(yard.begin(), yard.begin() + 2);
    check.insert(check.end(), {"--check-moves", list});
    ProgramRun const checked = solve(check);
    EXPECT_EQ(checked.exit_status, 0) << checked.err;
    EXPECT_EQ(checked.out, counts + "\n");
  }
}

TEST(MoveLists, AnIllegalListIsRefusedAtItsFirstIllegalMove) {
  std::string const groups = write_file("move_list_check_groups.txt", kGroups);
  // Groups 1 and 2 of one item each, the classic problem: group 2 lies on top.
  std::string const classic = write_file("move_list_classic.txt", "2 3 2\n2 1 2\n0\n");
  struct Case {
    std::vector<std::string> yard;
    std::string list;
    std::string error;
  };
  for (Case const& c : std::vector<Case>{
           {{"--instance", classic},
            "0 -\n",
            "line 1: item of group 2 retrieved while group 1 remains"},
           {{"--instance", groups}, "3 -\n2 1\n", "line 2: stack 1 is full"},
           {{"--instance", groups},
            "0 -\n",
            "line 1: item of group 3 retrieved while group 1 remains"},
           {{"--instance", groups},
            "# stays\n3 -\n3 -\n",
            "line 3: the top item of stack 3 stays in the yard"},
           {{"--board", kYard}, "0 -\n", "line 1: the top item of stack 0 is not a target"},
           {{"--board", kYard}, "0 1\n0 1\n0 1\n0 1\n", "line 4: stack 1 is full"},
           {{"--board", "12/00/00"}, "1 0\n", "line 1: stack 1 is empty"},
           {{"--board", kYard},
            "\n\n7 1\n",
            "line 3: there is no stack 7: the yard has stacks 0 to 3"},
           {{"--board", kYard}, "1 4\n", "line 1: there is no stack 4"},
           {{"--board", kYard}, "2 2\n", "line 1: moves the top item of stack 2 onto itself"},
           {{"--board", kYard},
            "0 1\n2 1\n",
            "line 2: moves an item off stack 2, but line 1 moved one off stack 0"},
           {{"--board", kYard},
            "0 1\n3 -\n",
            "line 2: retrieves from stack 3, but line 1 moved an item off stack 0"},
           {{"--board", "12/00"},
            "0 1\n",
            "the list ends after line 1 moved items off stack 0 that no retrieval follows"},
           {{"--board", "12/10"}, "1 -\n", "the list ends with 1 target still to retrieve"},
           {{"--board", kYard}, "0 x\n", "line 1, column 3: 'x' in a stack number"},
           {{"--board", kYard}, " 0  1  2\n", "line 1, column 8: a move has 2 fields, not 3"},
           {{"--board", kYard}, "0\n", "line 1: a move has 2 fields, not 1"},
       }) {
    SCOPED_TRACE(c.list);
    std::string const list = write_file("move_list_illegal.txt", c.list);
    std::vector<std::string> args = c.yard;
    args.insert(args.end(), {"--check-moves", list});
    ProgramRun const run = solve(args);
    EXPECT_EQ(run.exit_status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err.rfind("stacks_solve: " + list + ": " + c.error, 0), 0u) << run.err;
    EXPECT_EQ(lines_of(run.err).size(), 1u) << run.err;
    args.push_back("--json");
    nlohmann::json const record = nlohmann::json::parse(solve(args).out);
    EXPECT_EQ(record["legal"], false);
  }
  // The list may come from standard input, the yard then from elsewhere.
  EXPECT_EQ(solve({"--board", "12/10", "--check-moves", "-"}, "1 -\n0 1\n0 -\n").out,
            "1 relocation, 2 retrievals\n");
  EXPECT_EQ(solve({"--instance", "-", "--check-moves", "-"}, kGroups).exit_status, 2);
}

}  // namespace
