// The reports of stacks_solve, from results of boards small enough to work out by hand.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "board_io/compact_form.h"
#include "report/csv_report.h"
#include "report/json_report.h"
#include "report/text_report.h"
#include "solve_cli/solve_board.h"
#include "rules/no_placement.h"

namespace {

State board_of(std::string_view text) {
  return std::get<State>(parse_compact_board(text));
}

SolveResult solved(std::string_view text, bool requests = false) {
  auto result = solve_board(board_of(text), {true, requests}, 0, nullptr);
  EXPECT_TRUE(result.has_value());
  return result.value_or(SolveResult{State(), -1, {}, {}, {}, 0, 0});
}

std::string drawing_of(State board, std::pair<int, int> request = kNoRequest) {
  board.request = request;
  std::ostringstream out;
  board.print(out);
  return out.str();
}

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

TEST(TextReport, DrawsTheValueTheBoardAndBestPlayAsTheBatchProgramDoes) {
  SolveResult const result = solved("12/00");
  State const after = board_of("00/20");
  EXPECT_EQ(solve_report_text(result), "Minimum moves: 1\n" + drawing_of(result.board) +
                                           drawing_of(result.board, {1, 0}) + drawing_of(after));
}

TEST(TextReport, RequestTableMarksTheHardestRequest) {
  SolveResult const result = solved("11/00", true);
  std::string const table = request_table_text(*result.requests, *result.hardest);
  EXPECT_EQ(table,
            "Cost of each request (stacks count from 0 at the left, slots from 0 at the bottom):\n"
            "stack  slot  cost\n"
            "    1     0     1  <- hardest\n"
            "    1     1     0\n");
  EXPECT_NE(solve_report_text(result).find(table), std::string::npos);
  EXPECT_EQ(request_table_text({}, RequestCost{-1, -1, 0}),
            "No request can be made: the board holds no target.\n");
}

TEST(TextReport, NoPlacementIsSaidInWordsAndTheLineStopsAtTheRequest) {
  SolveResult const result = solved("12/22", true);
  std::string const text = solve_report_text(result);
  EXPECT_EQ(text.rfind("Minimum moves: none - ", 0), 0u) << text;
  EXPECT_NE(text.find("none  <- hardest"), std::string::npos) << text;
  // The start board, then the request that cannot be served, and nothing after it.
  std::string const expected_line = drawing_of(result.board, {0, 0});
  EXPECT_EQ(text.substr(text.size() - expected_line.size()), expected_line);
}

TEST(JsonReport, ParsesBackWithEveryField) {
  nlohmann::json const record =
      nlohmann::json::parse(solve_result_json(solved("121/000", true)).dump());
  EXPECT_EQ(record["board"], "000/121");
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
  EXPECT_EQ(error, (nlohmann::json{{"input_line", 9}, {"error", "column 2: bad"}}));
}

TEST(CsvReport, HeaderAndRowsHaveTheSameFiveColumns) {
  EXPECT_EQ(csv_header(), "line,board,value,states,seconds\n");
  SolveResult result = solved("12/12/00");
  result.states = 42;
  result.seconds = 0.25;
  EXPECT_EQ(csv_row(7, result), "7,00/12/12,2,42,0.250000\n");
  result.value = kNoPlacement;
  EXPECT_EQ(csv_row(8, result), "8,00/12/12,,42,0.250000\n");
}

}  // namespace
