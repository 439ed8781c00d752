// The instance form: the yards it reads, the exact verdict on each kind of malformed file, and
// the yard tools that go with it.
#include "board_io/instance_form.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

std::string verdict(ParsedYard const& parsed) {
  if (auto* error = std::get_if<BoardError>(&parsed)) return "error: " + error->to_string();
  Yard const& yard = std::get<Yard>(parsed);
  std::string const problem = yard_problem(yard);
  if (!problem.empty()) return "bad yard: " + problem;
  return std::to_string(yard.n_stacks) + "x" + std::to_string(yard.height) + " groups " +
         std::to_string(yard.groups) + ": " + format_yard(yard);
}

std::string verdict(std::string_view text) {
  return verdict(parse_instance(text));
}

TEST(InstanceForm, ReadsTheSampleCellByCell) {
  Yard const expected{3, 4, 4, {{3, 1, 0, 0}, {2, 5, 4, 0}, {0, 0, 0, 0}}};
  ParsedYard const parsed = parse_instance("3 4 5\n2 3 1\n3 2 0 4\n0\n");
  ASSERT_TRUE(std::holds_alternative<Yard>(parsed)) << verdict(parsed);
  EXPECT_EQ(std::get<Yard>(parsed), expected);
}

TEST(InstanceForm, ReadsWhatPublishedFilesHold) {
  std::pair<char const*, char const*> const cases[] = {
      {"2\t3 2\r\n 1\t2 \r\n1 0\r\n\r\n  \t\n", "2x3 groups 2: 2/0"},
      {"1 2 2\n2 0 0", "1x2 groups 0: 0,0"},
      {"01 2 1\n1 007\n\n", "1x2 groups 7: 7"},
      {"2 1 1\n0\n1 1000000\n", "2x1 groups 1000000: /1000000"},
  };
  for (auto const& [text, expected] : cases)
    EXPECT_EQ(verdict(text), expected) << text;
}

// A header of two numbers, stacks and items, takes the capacity given apart; one of three must
// agree with it.
TEST(InstanceForm, AHeaderOfTwoNumbersTakesTheHeightGivenApart) {
  struct Case {
    char const* text;
    std::optional<int> height;
    char const* verdict;
  };
  for (Case const& c : std::vector<Case>{
           {"2 3\n2 1 2\n1 1\n", 4, "2x4 groups 2: 1,2/1"},
           {"2 3 3\n2 1 2\n1 1\n", 3, "2x3 groups 2: 1,2/1"},
           {"2 3 3\n2 1 2\n1 1\n", 4,
            "error: line 1, column 3: the capacity 3 is not the height 4 given apart"},
           {"2 3\n3 1 2 1\n0\n", 2,
            "error: line 2, column 1, stack 0: the height of the stack is above the capacity, 2"},
           {"2 5\n2 1 2\n1 1\n", 4,
            "error: line 1, column 3: the header announces 5 items, but the stacks hold 3"},
       }) {
    EXPECT_EQ(verdict(parse_instance(c.text, c.height)), c.verdict) << c.text;
  }
}

TEST(InstanceForm, NamesWhereAMalformedFileGoesWrong) {
  std::string const whole = ", which must be a whole number written in digits";
  std::string const header =
      "the header should hold 3 numbers (stacks, capacity, items), or 2 (stacks, items), but ";
  std::string const most = "1000000, the most slots a yard may have";
  std::pair<std::string, std::string> const cases[] = {
      {"", "the input is empty: it should start with the header 'S H N' (stacks, capacity, items)"},
      {"3 4\n",
       "line 1: a header of 2 numbers (stacks, items) needs the capacity of the stacks "
       "given apart, as the height"},
      {"\n1 1 0\n0\n", "line 1: " + header + "it holds 0"},
      {"1 1 0 0\n0\n", "line 1, column 7: " + header + "it holds 4"},
      {"3x 4 5\n", "line 1, column 2: 'x' in the number of stacks" + whole},
      {"1 2.5 0\n", "line 1, column 4: '.' in the capacity" + whole},
      {"1 +3 0\n", "line 1, column 3: '+' in the capacity" + whole},
      {"1 1 -1\n", "line 1, column 5: the number of items cannot be negative"},
      {"99999999999999999999999 1 0\n", "line 1, column 1: the number of stacks is above " + most},
      {"1 1000001 0\n", "line 1, column 3: the capacity is above " + most},
      {"0 4 0\n", "line 1, column 1: the number of stacks is 0: a yard needs at least one"},
      {"1 0 0\n", "line 1, column 3: the capacity is 0: a stack needs at least one slot"},
      {"2000 1000 0\n",
       "line 1: 2000 stacks of 1000 slots make 2000000 slots, more than the 1000000 a yard may "
       "have"},
      {"1 2 3\n2 1 1\n",
       "line 1, column 5: the number of items is above 2, the slots of 1 stack of 2"},
      {"2 2 1\n3 1 1 1\n0\n",
       "line 2, column 1, stack 0: the height of the stack is above the capacity, 2"},
      {"3 4 5\n2 3 1\n4 2 0 4\n0\n",
       "line 3, stack 1: the stack holds 4 items, but its line gives 3 priorities"},
      {"2 3 2\n1 1 2\n1 1\n",
       "line 2, column 5, stack 0: the stack holds 1 item, but its line gives 2 priorities"},
      {"2 2 1\n1 3x\n0\n", "line 2, column 4, stack 0: 'x' in a priority" + whole},
      {"1 1 1\n1\r1\n", "line 2, column 2, stack 0: byte 0x0D in the height of the stack" + whole},
      {"1 2 1\n1 -1\n", "line 2, column 3, stack 0: a priority cannot be negative"},
      {"1 1 1\n1 1000001\n",
       "line 2, column 3, stack 0: a priority above 1000000, the largest group number"},
      {"3 4 2\n1 1\n1 2\n\n \n",
       "line 3: the input ends after 2 of the 3 stacks the header announces"},
      {"1 1 0", "line 1: the input ends after 0 of the 1 stack the header announces"},
      {"2 1 1\n\n1 1\n",
       "line 2, stack 0: a blank line where a stack should be (an empty stack is written 0)"},
      {"2 2 3\n1 1\n1 2\n",
       "line 1, column 5: the header announces 3 items, but the stacks hold 2"},
      {"1 1 0\n0\n\n 7\n", "line 4, column 2: more text after the 1 stack the header announces"},
      {std::string(kMaxInstanceBytes + 1, '\n'),
       "the input is 4194305 bytes long, far beyond any instance (at most 4194304 bytes are "
       "read)"},
  };
  for (auto const& [text, expected] : cases)
    EXPECT_EQ(verdict(text), "error: " + expected) << text.substr(0, 40);
}

TEST(InstanceForm, ReadsAStreamNoFurtherThanTheLimit) {
  std::istringstream small("1 1 1\n1 2\n");
  EXPECT_EQ(verdict(read_instance(small)), "1x1 groups 2: 2");
  std::istringstream huge(std::string(kMaxInstanceBytes + 1, ' '));
  EXPECT_EQ(verdict(read_instance(huge)),
            "error: the input is longer than 4194304 bytes, far beyond any instance");
}

TEST(InstanceForm, RetrievingFewerGroupsLeavesTheRestToStay) {
  Yard const yard = std::get<Yard>(parse_instance("3 4 5\n2 3 1\n3 2 0 4\n0\n"));
  std::pair<int, char const*> const cases[] = {
      {4, "3x4 groups 4: 3,1/2,0,4/"}, {9, "3x4 groups 4: 3,1/2,0,4/"},
      {2, "3x4 groups 2: 0,1/2,0,0/"}, {1, "3x4 groups 1: 0,1/0,0,0/"},
      {0, "3x4 groups 0: 0,0/0,0,0/"}, {-3, "3x4 groups 0: 0,0/0,0,0/"},
  };
  for (auto const& [k, expected] : cases)
    EXPECT_EQ(verdict(retrieve_up_to(yard, k)), expected) << k;
}

TEST(InstanceForm, FormatSkipsEmptySlotsAndWritesStaysAsZero) {
  EXPECT_EQ(format_yard(Yard{4, 2, 2, {{2, 3}, {0, 0}, {1, 0}, {0, 0}}}), "2,0//1/");
  EXPECT_EQ(format_yard(Yard{1, 3, 0, {{1, 1, 0}}}), "0,0");
}

}  // namespace
