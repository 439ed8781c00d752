// The reports of stacks_solve, from results of boards small enough to work out by hand.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "board_io/compact_form.h"
#include "board_io/instance_form.h"
#include "replay/drawing.h"
#include "report/csv_report.h"
#include "report/json_report.h"
#include "report/text_report.h"
#include "rules/no_placement.h"
#include "solve_cli/progress_line.h"
#include "solve_cli/solve_board.h"

namespace {

State board_of(std::string_view text) {
  return std::get<State>(parse_compact_board(text));
}

SolveResult solved(std::string_view text, bool requests = false) {
  SolveResult result = solve_board(board_of(text), {true, requests}, {}, nullptr);
  EXPECT_EQ(result.status, SearchStatus::optimal);
  return result;
}

constexpr DrawingStyle kGroupsInColour{Glyphs::groups, Marking::colour, true};

// Worked out by hand: the requesting side asks for the target whose retrieval forces the most
// relocations now and later; the retrieving side places lifted items to need the fewest.
TEST(SolveBoard, ValuesOfSmallBoardsWorkedOutByHand) {
  EXPECT_EQ(solved("12/00").value, 1);     // the item on the target moves once
  EXPECT_EQ(solved("11/00").value, 1);     // asking for the lower target first costs a move
  EXPECT_EQ(solved("10/10").value, 0);     // both targets are on top
  EXPECT_EQ(solved("22/00").value, 0);     // no target
  EXPECT_EQ(solved("121/000").value, 3);   // bottom first: 2 lifted, then the item again
  EXPECT_EQ(solved("12/12/00").value, 2);  // each item moves once
  EXPECT_EQ(solved("12/22").value, kNoPlacement);
}

TEST(SolveBoard, ShowsTheCanonicalBoard) {
  SolveResult const result = solved("12/00");
  EXPECT_EQ(format_compact_board(result.board), "00/12");
  EXPECT_TRUE(result.board.in_request_phase());
}

TEST(TextReport, DrawsTheBoardAsGivenAndEachStepWithItsRequestAndMoves) {
  SolveResult const result = solved("12/00");
  EXPECT_EQ(solve_report_text(result, Marking::colour),
            "Minimum moves: 1\n----\n|x |\n|o |\n----\n 01\n"
            "Request 1: stack 0, slot 0, cost 1\n"
            "----\n|x |\n|\033[6;30;42mo\033[0m |\n----\n 01\n"
            "Moves (1): 0->1 (x)\n"
            "----\n|  |\n| x|\n----\n 01\n");
  EXPECT_EQ(solve_report_text(solved("10/00"), Marking::plain),
            "Minimum moves: 0\n----\n|  |\n|o |\n----\n 01\n"
            "Request 1: stack 0, slot 0, cost 0\n----\n|  |\n|* |\n----\n 01\n"
            "Moves (0): none\n----\n|  |\n|  |\n----\n 01\n");
}

TEST(TextReport, RequestTableGivesTheColumnsAsGivenAndMarksTheHardestRequest) {
  SolveResult const result = solved("11/00", true);
  std::string const table =
      request_table_text(*result.requests, *result.hardest, columns_of_canonical(result.given));
  EXPECT_EQ(table,
            "Cost of each request (stacks count from 0 at the left, slots from 0 at the bottom):\n"
            "stack  slot  cost\n"
            "    0     0     1  <- hardest\n"
            "    0     1     0\n");
  EXPECT_NE(solve_report_text(result).find(table), std::string::npos);
  EXPECT_EQ(request_table_text({}, RequestCost{-1, -1, 0}, {}),
            "No request can be made: the board holds no target.\n");
}

TEST(TextReport, NoPlacementIsSaidInWordsAndTheLineStopsAtTheRequest) {
  SolveResult const result = solved("12/22", true);
  std::string const text = solve_report_text(result);
  EXPECT_EQ(text.rfind("Minimum moves: none - ", 0), 0u) << text;
  EXPECT_NE(text.find("none  <- hardest"), std::string::npos) << text;
  // The start board, then the request that cannot be served, and nothing after it.
  std::string const expected_line =
      "Request 1: stack 0, slot 0, cost none\n" +
      drawing(result.given, {0, 0}, {Glyphs::two_class, Marking::colour, true});
  EXPECT_EQ(text.substr(text.size() - expected_line.size()), expected_line);
}

TEST(JsonReport, ParsesBackWithEveryField) {
  nlohmann::json const record =
      nlohmann::json::parse(solve_result_json(solved("121/000", true)).dump());
  EXPECT_EQ(record["board"], "000/121");
  EXPECT_EQ(record["within"], "worst");
  EXPECT_EQ(record["groups"], 1);
  EXPECT_EQ(record["stacks"], 2);
  EXPECT_EQ(record["height"], 3);
  EXPECT_EQ(record["targets"], 2);
  EXPECT_EQ(record["items"], 3);
  EXPECT_EQ(record["value"], 3);
  ASSERT_EQ(record["line"].size(), 2u);
  EXPECT_EQ(record["line"][0]["request"], nlohmann::json::array({1, 0}));
  EXPECT_EQ(record["line"][0]["cost"], 3);
  EXPECT_EQ(record["line"][0]["moved"], 2);
  EXPECT_EQ(record["line"][0]["after"], "000/120");
  EXPECT_EQ(record["line"][1]["after"], "000/200");
  ASSERT_EQ(record["requests"].size(), 2u);
  EXPECT_EQ(record["requests"][0],
            (nlohmann::json{{"stack", 1}, {"slot", 0}, {"cost", 3}, {"hardest", true}}));
  EXPECT_EQ(record["requests"][1]["cost"], 1);
  EXPECT_EQ(record["requests"][1]["hardest"], false);
  EXPECT_TRUE(record["states"].is_number_unsigned());
  EXPECT_GE(record["seconds"].get<double>(), 0.0);
  EXPECT_FALSE(record.contains("input_line"));
}

TEST(JsonReport, NoPlacementIsNullAndBatchRecordsCarryTheirLine) {
  nlohmann::json const record = nlohmann::json::parse(solve_result_json(solved("12/22"), 4).dump());
  EXPECT_EQ(record["input_line"], 4);
  EXPECT_TRUE(record["value"].is_null());
  ASSERT_EQ(record["line"].size(), 1u);
  EXPECT_TRUE(record["line"][0]["cost"].is_null());
  EXPECT_TRUE(record["line"][0]["after"].is_null());
  EXPECT_FALSE(record.contains("requests"));
  nlohmann::json const error = nlohmann::json::parse(batch_error_json(9, "column 2: bad").dump());
  EXPECT_EQ(error, (nlohmann::json{{"input_line", 9}, {"status", "error"}, {"error", "column 2: bad"}}));
}

TEST(JsonReport, AStoppedSearchGivesItsBoundsAndNoValue) {
  SolveResult result = solved("12/12/00");
  result.status = SearchStatus::time_limit;
  result.bounds = {1, 5};
  result.line = {{0, 0, 3, 1, true, board_of("00/00/12"), 1}};
  nlohmann::json const record = nlohmann::json::parse(solve_result_json(result).dump());
  EXPECT_EQ(record["status"], "time_limit");
  EXPECT_TRUE(record["value"].is_null());
  EXPECT_EQ(record["lower"], 1);
  EXPECT_EQ(record["upper"], 5);
  EXPECT_DOUBLE_EQ(record["gap"].get<double>(), 0.8);
  EXPECT_TRUE(record["line"][0]["cost"].is_null());
  EXPECT_EQ(record["line"][0]["lower"], 1);
  EXPECT_EQ(record["line"][0]["upper"], 3);
  result.bounds.upper = Moves::no_placement();
  EXPECT_TRUE(nlohmann::json::parse(solve_result_json(result).dump())["gap"].is_null());
  EXPECT_EQ(nlohmann::json::parse(solve_result_json(solved("12/12/00")).dump())["gap"], 0.0);
}

// The first line of a stopped search's text says how far apart its bounds are, when they are
// known both; and so does the progress line of a long search.
TEST(TextReport, AStoppedSearchSaysItsGapInPerCent) {
  struct Case {
    ValueBounds bounds;
    Within within;
    char const* stopped;
    char const* progress;
  };
  for (Case const& c : std::vector<Case>{
           {{27, 98},
            Within::worst,
            "at least 27 and at most 98 (gap 72.4%)\n",
            "lower 27, upper 98, gap 72.4%, "},
           {{Moves(Fraction(1, 2)), Moves(Fraction(5, 2))},
            Within::random,
            "at least 0.500000 (1/2) and at most 2.500000 (5/2) (gap 80.0%)\n",
            "lower 0.500000 (1/2), upper 2.500000 (5/2), gap 80.0%, "},
           {{4, Moves::no_placement()},
            Within::best,
            "at least 4 and has no upper bound known\n",
            "lower 4, upper unknown, "},
       }) {
    std::string const text = stopped_report_text(Yard{1, 1, 1, {{1}}}, c.within,
                                                 SearchStatus::time_limit, c.bounds, {}, {});
    EXPECT_NE(text.find(c.stopped), std::string::npos) << text;
    EXPECT_EQ(bounds_status(c.bounds, c.within), c.progress);
  }
}

// Every outcome in a row, the shape and the gap last: 0 when optimal, (upper - lower) / upper
// when stopped, empty without a finite upper bound.
TEST(CsvReport, RowsOfEveryOutcomeHaveTheColumnsOfTheirHeader) {
  EXPECT_EQ(csv_header(),
            "line,board,status,value,lower,upper,states,seconds,error,stacks,height,items,gap\n");
  SolveResult result = solved("12/12/00");
  result.states = 42;
  result.seconds = 0.25;
  struct Case {
    SearchStatus status;
    int value;
    ValueBounds bounds;
    std::string error;
    char const* row;
  };
  for (Case const& c : std::vector<Case>{
           {SearchStatus::optimal,
            2,
            {2, 2},
            "",
            "7,00/12/12,optimal,2,2,2,42,0.250000,,3,2,4,0.000000\n"},
           {SearchStatus::optimal,
            kNoPlacement,
            {kNoPlacement, kNoPlacement},
            "",
            "7,00/12/12,optimal,,,,42,0.250000,,3,2,4,0.000000\n"},
           {SearchStatus::time_limit,
            0,
            {1, 3},
            "",
            "7,00/12/12,time_limit,,1,3,42,0.250000,,3,2,4,0.666667\n"},
           {SearchStatus::memory_limit,
            0,
            {1, Moves::no_placement()},
            "needs more, raise it",
            "7,00/12/12,memory_limit,,1,,42,0.250000,\"needs more, raise it\",3,2,4,\n"},
       }) {
    result.status = c.status;
    result.value = c.value;
    result.bounds = c.bounds;
    result.error = c.error;
    EXPECT_EQ(csv_row(7, result), c.row);
  }
  EXPECT_EQ(csv_error_row("10", false, "bad \"x\""), "10,,error,,,,,,\"bad \"\"x\"\"\",,,,\n");
  EXPECT_EQ(csv_error_row("a.txt", true, "bad"), "a.txt,,,,error,,,,,,,bad,,,,\n");
}

// One stack holding three items of group 1 beside an empty stack, height 3, in random order,
// worked out by hand. Asking for the top item costs nothing now and leaves two on one stack:
// 1/2 (the lower one first, half the time, lifts the upper). The middle one lifts one item and
// leaves two items on top: 1. The bottom one lifts two onto the other stack, one on the
// other: 2 + 1/2. The yard is worth (1/2 + 1 + 5/2) / 3 = 4/3.
YardResult three_of_a_group() {
  Yard const yard{2, 3, 1, {{0, 0, 0}, {1, 1, 1}}};
  Yard const two{2, 3, 1, {{0, 0, 0}, {1, 1, 0}}};
  Yard const one{2, 3, 1, {{0, 0, 0}, {1, 0, 0}}};
  Yard const none{2, 3, 1, {{0, 0, 0}, {0, 0, 0}}};
  YardResult result{
      yard,
      Within::random,
      Moves(Fraction(4, 3)),
      {{1, 0, Moves(Fraction(5, 2)), 2, true, two},
       {1, 0, Moves(1), 1, true, one},
       {1, 0, Moves(0), 0, true, none}},
      std::vector<YardRequestCost>{
          {1, 0, Moves(Fraction(5, 2))}, {1, 1, Moves(1)}, {1, 2, Moves(Fraction(1, 2))}},
      5,
      0.25,
      SearchStatus::optimal,
      {Moves(Fraction(4, 3)), Moves(Fraction(4, 3))},
      "",
      yard,
      {},
      {},
      false,
      {}};
  result.columns = column_line(yard, result.line);
  return result;
}

TEST(YardReports, FirstRequestIsTheCostliestOrForBestTheCheapestFirstAmongEquals) {
  std::vector<YardRequestCost> const costs = {{0, 1, Moves(2)},
                                              {1, 0, Moves(Fraction(7, 2))},
                                              {1, 1, Moves(2)},
                                              {2, 0, Moves(Fraction(7, 2))}};
  std::vector<YardRequestCost> const with_none = {{0, 0, Moves(3)}, {0, 1, Moves::no_placement()}};
  struct Case {
    std::vector<YardRequestCost> costs;
    Within within;
    int stack, slot;
  };
  for (Case const& c : std::vector<Case>{{costs, Within::worst, 1, 0},
                                         {costs, Within::random, 1, 0},
                                         {costs, Within::best, 0, 1},
                                         {with_none, Within::worst, 0, 1},
                                         {with_none, Within::best, 0, 0}}) {
    auto const first = first_request(c.costs, c.within);
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(std::pair(first->stack, first->slot), std::pair(c.stack, c.slot))
        << within_name(c.within);
  }
  EXPECT_FALSE(first_request({}, Within::worst).has_value());
}

TEST(YardReports, ValueLinesSayTheOrderAndForRandomTheExpectation) {
  struct Case {
    Moves value;
    Within within;
    char const* second_line;
  };
  for (Case const& c : std::vector<Case>{
           {Moves(7), Within::worst, "Minimum moves: 7\n"},
           {Moves(7), Within::best, "Minimum moves: 7\n"},
           {Moves::no_placement(), Within::best,
            "Minimum moves: none - the items lifted for some request fit nowhere\n"},
           {Moves(Fraction(555071, 40320)), Within::random,
            "Expected moves: 13.766642 (555071/40320)\n"},
           {Moves(2), Within::random, "Expected moves: 2.000000 (2/1)\n"},
           {Moves::no_placement(), Within::random,
            "Expected moves: none - the items lifted for some request fit nowhere\n"},
       }) {
    EXPECT_EQ(yard_value_text(c.value, c.within),
              std::string("Order within groups: ") + within_name(c.within) + "\n" + c.second_line);
  }
}

TEST(YardReports, RequestTableAlignsTheCostsAndMarksTheFirstOfTheLine) {
  YardResult const result = three_of_a_group();
  EXPECT_EQ(yard_request_table_text(result.yard, *result.requests, Within::random,
                                    columns_of_canonical(result.given)),
            "Cost of each request (stacks count from 0 at the left, slots from 0 at the bottom):\n"
            "stack  slot  group            cost\n"
            "    1     0      1  2.500000 (5/2)  <- costliest\n"
            "    1     1      1  1.000000 (1/1)\n"
            "    1     2      1  0.500000 (1/2)\n");
  std::string const text = yard_report_text(result);
  EXPECT_EQ(text.rfind(yard_value_text(result.value, Within::random) +
                          drawing(result.given, kNoRequest, kGroupsInColour),
                      0),
            0u);
  // The two lifted items land on column 0, and the emptied stack keeps column 1.
  EXPECT_NE(text.find("Request 1: stack 1, slot 0, group 1, cost 2.500000 (5/2)\n" +
                      drawing(result.given, {1, 0}, kGroupsInColour) +
                      "Moves (2): 1->0 (1), 1->0 (1)\n" +
                      drawing(Yard{2, 3, 1, {{1, 1, 0}, {0, 0, 0}}}, kNoRequest, kGroupsInColour) +
                      "Request 2: stack 0, slot 0, group 1, cost 1.000000 (1/1)\n"),
            std::string::npos)
      << text;
}

TEST(YardReports, JsonGivesRandomCostsAsRoundedNumbersWithTheirFractions) {
  JsonRecord origin;
  origin["file"] = "a.txt";
  JsonRecord const written = yard_result_json(three_of_a_group(), origin);
  EXPECT_EQ(written.begin().key(), "file");
  nlohmann::json const record = nlohmann::json::parse(written.dump());
  EXPECT_EQ(record["board"], format_yard(three_of_a_group().yard));
  EXPECT_EQ(record["within"], "random");
  EXPECT_EQ(record["groups"], 1);
  EXPECT_EQ(record["targets"], 3);
  EXPECT_DOUBLE_EQ(record["value"].get<double>(), 1.333333);
  EXPECT_EQ(record["value_fraction"], "4/3");
  ASSERT_EQ(record["line"].size(), 3u);
  EXPECT_DOUBLE_EQ(record["line"][0]["cost"].get<double>(), 2.5);
  EXPECT_EQ(record["line"][0]["cost_fraction"], "5/2");
  EXPECT_EQ(record["line"][0]["group"], 1);
  EXPECT_EQ(record["line"][2]["after"], format_yard(three_of_a_group().line[2].after));
  ASSERT_EQ(record["requests"].size(), 3u);
  EXPECT_EQ(record["requests"][2]["cost_fraction"], "1/2");
  EXPECT_EQ(record["requests"][0]["first_in_line"], true);
  EXPECT_EQ(record["requests"][1]["first_in_line"], false);

  YardResult none = three_of_a_group();
  none.value = Moves::no_placement();
  nlohmann::json const unplaced = nlohmann::json::parse(yard_result_json(none).dump());
  EXPECT_TRUE(unplaced["value"].is_null());
  EXPECT_TRUE(unplaced["value_fraction"].is_null());

  YardResult best = three_of_a_group();
  best.within = Within::best;
  best.value = Moves(0);
  best.bounds = {0, 0};
  best.line.clear();
  best.requests.reset();
  nlohmann::json const whole = nlohmann::json::parse(yard_result_json(best).dump());
  EXPECT_TRUE(whole["value"].is_number_integer());
  EXPECT_FALSE(whole.contains("value_fraction"));
  EXPECT_FALSE(whole.contains("requests"));
}

TEST(CsvReport, FieldsAreQuotedAsRfc4180Says) {
  for (auto const& [field, written] : std::vector<std::pair<std::string, std::string>>{
           {"yards.txt", "yards.txt"},
           {"", ""},
           {"a,b.txt", "\"a,b.txt\""},
           {"say \"hi\".txt", "\"say \"\"hi\"\".txt\""},
           {"two\nlines", "\"two\nlines\""},
           {"cr\r", "\"cr\r\""},
       }) {
    EXPECT_EQ(csv_field(field), written) << field;
  }
}

TEST(CsvReport, YardRowsHaveTheColumnsOfTheirHeader) {
  EXPECT_EQ(yard_csv_header("file"),
            "file,board,within,groups,status,value,value_fraction,lower,upper,states,seconds,"
            "error,stacks,height,items,gap\n");
  YardResult result = three_of_a_group();
  std::string const board = csv_field(format_yard(result.yard));
  EXPECT_EQ(yard_csv_row("a,b.txt", result),
            "\"a,b.txt\"," + board +
                ",random,1,optimal,1.333333,4/3,1.333333,1.333333,5,0.250000,,2,3,3,0.000000\n");
  result.status = SearchStatus::interrupted;
  result.bounds = {Moves(Fraction(1, 2)), Moves(Fraction(5, 2))};
  EXPECT_EQ(
      yard_csv_row("7", result),
      "7," + board + ",random,1,interrupted,,,0.500000,2.500000,5,0.250000,,2,3,3,0.800000\n");
  result.within = Within::worst;
  result.status = SearchStatus::optimal;
  result.value = Moves(3);
  result.bounds = {3, 3};
  EXPECT_EQ(yard_csv_row("7", result),
            "7," + board + ",worst,1,optimal,3,,3,3,5,0.250000,,2,3,3,0.000000\n");
}

}  // namespace
