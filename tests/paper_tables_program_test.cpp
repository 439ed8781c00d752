// stacks_solve over sets of yards, as a paper's tables need them: a folder of instance files,
// headers of two numbers with the capacity given apart, and the summary of a run by shape.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "tests/support/interactive_output.h"
#include "tests/support/run_program.h"

namespace {

namespace fs = std::filesystem;

ProgramRun solve(std::vector<std::string> args, std::string const& input = "") {
  args.insert(args.begin(), STACKS_SOLVE);
  return run_program(args, input);
}

// A fresh folder holding `files` (name, text).
std::string folder_of(std::string const& name,
                      std::vector<std::pair<std::string, std::string>> const& files) {
  std::string const folder = testing::TempDir() + name;
  fs::remove_all(folder);
  fs::create_directories(folder);
  for (auto const& [file, text] : files) {
    if (text == "/") {
      fs::create_directories(folder + "/" + file);
    } else {
      std::ofstream(folder + "/" + file, std::ios::binary) << text;
    }
  }
  return folder;
}

// The value of `key` in each JSON line.
std::vector<std::string> field_of(std::string const& lines, std::string const& key) {
  std::vector<std::string> fields;
  for (std::string const& line : lines_of(lines))
    fields.push_back(nlohmann::json::parse(line)[key].get<std::string>());
  return fields;
}

TEST(PaperTables, AFolderIsEveryFileInItInNameOrderAndAHeaderOfTwoNumbersTakesTheHeight) {
  std::string const set =
      folder_of("paper_set", {{"b10.txt", "2 3\n3 1 1 1\n0\n"},   // stacks, items: the height apart
                              {"b2.txt", "2 3 3\n2 1 2\n1 1\n"},  // agrees with the height
                              {"a.txt", "2 4 3\n2 1 2\n1 1\n"},   // does not
                              {".hidden", "junk"},
                              {"sub", "/"}});
  struct Case {
    std::vector<std::string> args;
    int status;
    std::vector<std::string> files;     // the file of each row
    std::vector<std::string> statuses;  // and its status
  };
  for (Case const& c : std::vector<Case>{
           {{"--height", "3"}, 2, {"a.txt", "b10.txt", "b2.txt"}, {"error", "optimal", "optimal"}},
           {{}, 2, {"a.txt", "b10.txt", "b2.txt"}, {"optimal", "error", "optimal"}},
       }) {
    std::vector<std::string> args = {"--instance", set};
    args.insert(args.end(), c.args.begin(), c.args.end());
    SCOPED_TRACE(testing::PrintToString(args));
    ProgramRun const run = solve(args);
    EXPECT_EQ(run.exit_status, c.status) << run.err;
    std::vector<std::string> files;
    for (std::string const& path : field_of(run.out, "file"))
      files.push_back(path.substr(set.size() + 1));
    EXPECT_EQ(files, c.files);
    EXPECT_EQ(field_of(run.out, "status"), c.statuses);
    EXPECT_EQ(lines_of(run.err).size(), 1u) << run.err;
  }
  ProgramRun const without = solve({"--instance", set + "/b10.txt"});
  EXPECT_EQ(without.exit_status, 2);
  EXPECT_NE(without.err.find("line 1: a header of 2 numbers (stacks, items) needs the capacity"),
            std::string::npos)
      << without.err;
  ProgramRun const disagrees = solve({"--instance", set + "/a.txt", "--height", "3"});
  EXPECT_NE(disagrees.err.find("line 1, column 3: the capacity 4 is not the height 3 given apart"),
            std::string::npos)
      << disagrees.err;
  // A folder is many yards, even when it holds one; an empty one is an error of its own.
  std::string const one = folder_of("paper_one", {{"only.txt", "2 3 3\n2 1 2\n1 1\n"}});
  EXPECT_EQ(nlohmann::json::parse(solve({"--instance", one}).out)["file"], one + "/only.txt");
  ProgramRun const empty = solve({"--instance", folder_of("paper_empty", {{".keep", ""}})});
  EXPECT_EQ(empty.exit_status, 2);
  EXPECT_NE(empty.err.find("the folder holds no file to solve"), std::string::npos);
  for (auto const& args : std::vector<std::vector<std::string>>{
           {"--board", "12/00", "--height", "3"},
           {"--instance", one, "--height", "0"},
           {"--instance", one, "--html", testing::TempDir() + "paper.html"},
           {"--instance", one, "--moves", testing::TempDir() + "paper.txt"},
       }) {
    EXPECT_EQ(solve(args).exit_status, 2) << testing::PrintToString(args);
  }
}

// The summary: a row a shape, the solved ones' mean value, the stopped ones' mean gap, on
// standard error or in a file, the records untouched.
TEST(PaperTables, ASummaryEndsTheRunWithARowForEachShape) {
  std::string const batch =
      "12/00\n"
      "22100/12210/00000/11200/21100\n"  // stopped at once: bounds 6 and 8
      "1x\n"                             // no shape, no row
      "11/00\n"
      "100/000\n";
  std::string const file = testing::TempDir() + "paper_summary.csv";
  std::vector<std::string> const expected = {
      "stacks,height,items,instances,solved,mean_value,mean_seconds,max_seconds,mean_gap_unsolved",
      "2,2,2,2,2,1.000000,", "2,3,1,1,1,0.000000,", "5,5,13,1,0,,"};
  for (bool to_file : {false, true}) {
    std::vector<std::string> args = {"--batch", "-",
                                     "--csv",   "--time-limit",
                                     "1e-9",    to_file ? "--summary=" + file : "--summary"};
    ProgramRun const run = solve(args, batch);
    EXPECT_EQ(run.exit_status, 2) << run.err;
    EXPECT_EQ(lines_of(run.out).size(), 6u) << run.out;
    std::vector<std::string> rows = lines_of(to_file ? read_file(file) : run.err);
    if (!to_file) rows.erase(rows.begin());  // the bad line's message
    ASSERT_EQ(rows.size(), expected.size()) << testing::PrintToString(rows);
    EXPECT_EQ(rows[0], expected[0]);
    for (std::size_t i = 1; i < rows.size(); ++i)
      EXPECT_EQ(rows[i].rfind(expected[i], 0), 0u) << rows[i];
    EXPECT_EQ(rows[3].substr(rows[3].rfind(',')), ",0.250000");
  }
  EXPECT_EQ(solve({"--board", "12/00", "--summary"}).exit_status, 2);
  EXPECT_EQ(solve({"--batch", "-", "--summary", "-"}, "12/00\n").exit_status, 2);
}

}  // namespace
