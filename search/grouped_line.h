// Lines of play on yards of retrieval groups, from the grouped search's answers: the cost of
// every request the yard allows now, the request each turn of a line makes, and the line.
#pragma once

#include <optional>
#include <vector>

#include "model/grouped_board.h"
#include "rules/within.h"
#include "search/answers.h"
#include "search/bounds/rule_cost.h"
#include "search/grouped_search.h"

// Every item that may be asked for now (the items of the lowest group on the board), in
// (stack, slot) order, with its cost.
std::vector<YardRequestCost> grouped_request_costs(GroupedSearch& search,
                                                   GroupedBoard const& board);

// The request a line makes: the first among equals in (stack, slot) order of the costliest
// (worst and random orders) or the cheapest (best order). Nothing when no item is left.
std::optional<YardRequestCost> line_request(GroupedSearch& search, GroupedBoard const& board,
                                            Within within);

// A line of play to the end: each turn line_request, answered by the search's best answer.
std::vector<YardStep> grouped_line(GroupedSearch& search, DenseYard const& dense, int groups,
                                   Within within);

// The rule's line in the cells of the yard, with a cheap lower bound on each request.
std::vector<YardStep> yard_rule_line(std::vector<RuleCosts::Step> const& steps,
                                     DenseYard const& dense, int groups, Within within);
