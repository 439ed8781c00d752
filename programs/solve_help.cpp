#include "programs/solve_help.h"

#include "programs/help_text.h"
#include "report/csv_report.h"

namespace {

// The columns of a CSV header, "a, b, c": words that wrap.
std::string columns(std::string header) {
  if (!header.empty() && header.back() == '\n') header.pop_back();
  std::string text;
  for (char c : header)
    text += c == ',' ? std::string(", ") : std::string(1, c);
  return text;
}

void input(HelpText& help) {
  help.section("Input (give exactly one):");
  help.entry("--board TEXT",
             "stacks separated by '/', each written bottom slot first as digits 0 empty, 1 "
             "target, 2 other item, all of the same length (the capacity), e.g. "
             "1222000/1121000/1122000/1221000");
  help.entry("FILE",
             "a board drawn as the programs draw it: rows top slot first, each between '|' "
             "characters, 'o' target, 'x' other item, ' ' or '.' empty; ruler lines of '-' and "
             "colour codes are ignored. '-' reads standard input.");
  help.entry("--batch FILE",
             "one compact board a line; blank lines and lines starting with '#' are skipped. "
             "'-' reads standard input.");
  help.entry("--instance FILE...",
             "one or more files in the instance form of the literature: a first line \"S H N\" "
             "(stacks, capacity, items), then one line a stack, leftmost first: its height h, "
             "then h priorities, bottom first. A priority is the item's retrieval group (groups "
             "leave in increasing order), 0 an item that stays. '-' reads standard input. A "
             "folder stands for every file in it, in name order (hidden files left out).");
}

void groups(HelpText& help) {
  help.section("Retrieval groups:");
  help.entry("--within worst|best|random",
             "who orders the requests inside a group: worst (the default) the requesting side, "
             "asking for the costliest item; best the retrieving side, taking the cheapest; "
             "random chance, every item of the group equally likely, and the value is the "
             "exact expected number of moves. With best or random a board of --board, FILE or "
             "--batch is one group: its targets.");
  help.entry("--retrieve-up-to K",
             "with --instance: only groups 1 to K are asked for; the items of later groups "
             "stay.");
  help.entry("--height H",
             "with --instance: the capacity of the stacks, for the sets whose first line is "
             "\"S N\" (stacks, items); a first line of three numbers must agree.");
}

void output(HelpText& help) {
  help.section("Output:");
  help.paragraph(
      "The board is put into canonical order (stacks sorted bottom slot first, empty < target "
      "< other) before it is solved; JSON and CSV show that board, and their stacks and slots "
      "refer to it, counted from 0 (stack 0 at the left, slot 0 at the bottom). The text, the "
      "pictures and the move lists keep the columns as given (see Columns below).");
  help.entry("(no option)",
             "\"Minimum moves: V\", the board, then best play for both sides: for each request "
             "a line \"Request N: stack S, slot K, cost C\", the board with the request marked, "
             "the moves (\"Moves (2): 1->0 (x), 1->3 (o)\": from column to column, the item in "
             "brackets) and the board after them");
  help.entry("--requests",
             "also the cost of every request on the board, the hardest marked (in JSON: a "
             "\"requests\" array; null when a stop left the costs unknown)");
  help.entry("--json", "one JSON object instead of the text");
  help.entry("--batch",
             "JSON Lines, one object per board line in input order; a line that cannot be read "
             "or solved gives {\"input_line\", \"status\": \"error\", \"error\"}");
  help.entry("--batch --csv",
             "CSV instead, a row for every board line, under a header row of the columns " +
                 columns(csv_header()) +
                 " (value empty for no placement; a line that cannot be read or solved has "
                 "status \"error\" and the message in error, quoted as CSV quotes)");
  help.entry("--instance",
             "with one FILE the report of a single board; with several or a folder, JSON "
             "Lines, one object per file with its \"file\" (or {\"file\", \"error\"})");
  help.entry("--instance --csv",
             "a row for every file, under a header row of the columns " +
                 columns(yard_csv_header("file")) +
                 " (--batch --csv with --within best or random: the same, with line for file)");
  help.entry("--summary[=FILE]",
             "end a run of --batch or --instance with a summary, a CSV row for each shape "
             "(stacks, height, items) of yard: instances, solved, mean value of the solved, "
             "mean and largest seconds, mean gap of the unsolved; on standard error, or in "
             "FILE, so that the records stay as they are");
  help.entry("--play",
             "the game of stacks_interactive on this board, in the columns as given: after the "
             "time and the value, each turn shows the hardest request as advice (\"You should "
             "try: stack S, slot K (type T)\"), reads a request from standard input, shows its "
             "cost, the moves of the best retrieval and the board after it; \"Total moves: M\" "
             "closes the game. Type S for the lowest target of stack S, or S:K for the target "
             "in slot K of stack S. A bad request gets a line on standard error and is asked "
             "again; on a terminal a prompt on standard error asks for each. Worst order on a "
             "board of --board or FILE only.");
  help.paragraph(
      "Every record says how its search ended: \"status\" optimal, time_limit, memory_limit or "
      "interrupted, with the proven bounds \"lower\" and \"upper\" (null or empty when no "
      "finite upper bound is known) and \"gap\", (upper - lower) / upper (0 when optimal, null "
      "or empty without a finite upper bound); \"value\" is set only when the status is "
      "optimal. A search that stopped gives the line behind its upper bound, each step with "
      "its cost's bounds. A value of \"no placement\" (the items lifted for some request fit "
      "nowhere) is said in words, and is null in JSON. In the random order, a search that "
      "stopped with no upper bound has the placement rule's mean cost estimated from 1000 "
      "orders drawn at random, with its 95% interval, on standard error: an estimate, never a "
      "bound.");
  help.paragraph(
      "Yards of groups (--instance, or --within best or random) are drawn with each item as "
      "its group number, 'x' an item that stays, '.' an empty slot. The text opens with "
      "\"Order within groups: W\", then \"Minimum moves: V\", or for random \"Expected moves: "
      "13.766642 (555071/40320)\" (rounded, then exact); the line of play takes the costliest "
      "request of each turn (for best order the cheapest), each step with its cost. JSON "
      "records add \"within\" and \"groups\"; \"board\" is the yard as in \"2,0/1,3/\" (stacks "
      "bottom first, an item that stays as 0); for random order each cost is a number rounded "
      "to 6 decimals with the exact \"p/q\" beside it (\"value_fraction\", "
      "\"cost_fraction\").");
}

void pictures(HelpText& help) {
  help.section("Pictures and move lists of one yard (the report is written as well):");
  help.paragraph("Of a board of --board or FILE, or of one --instance file.");
  help.entry("--html FILE",
             "one self-contained page (no network access) that draws the yard and steps through "
             "the line: buttons, arrow keys, a slider; each step shows the request, an arrow "
             "for each move, the cost from there to the end, the moves so far and the value; "
             "with --requests also the cost of every request on the board of that step. An "
             "address ending in #step=N opens it at step N.");
  help.entry("--svg FILE",
             "a standalone SVG picture of the start board, or with --step N of step N: 1 to "
             "the number of requests the board before that request with its moves drawn as "
             "arrows, one more the yard at the end");
  help.entry("--moves FILE",
             "also write the line of play as a move list, one move a line, stacks counted from "
             "0 in the columns as given: \"FROM TO\" moves the top item of stack FROM onto "
             "stack TO, \"FROM -\" retrieves the top item of stack FROM. Lines starting with "
             "'#' are comments: the first names the yard, the order and the value (or the "
             "bounds of a search that stopped, whose line is then the play behind its upper "
             "bound), the second the relocations and retrievals, and one before the moves of "
             "each request its cost.");
  help.entry("--check-moves FILE",
             "solve nothing: replay the move list FILE on the yard given, under the rules: "
             "each retrieval takes an item of the lowest group left (for a board, a target), in "
             "any order inside the group; only the items above the next item retrieved move, "
             "each off its stack onto another with room; every item asked for is retrieved by "
             "the end. A legal list prints \"19 relocations, 8 retrievals\" (with --json "
             "{\"legal\", \"relocations\", \"retrievals\"}), status 0; the first illegal move "
             "gets one line on standard error naming its line and why (\"line 7: stack 3 is "
             "full\"), status 2. '-' reads standard input.");
}

void columns_and_limits(HelpText& help) {
  help.section("Columns:");
  help.paragraph(
      "Text reports, pictures and move lists draw the yard as it was given: stacks keep their "
      "columns for the whole line, numbered from 0 under each drawing, and every step says "
      "which items moved from which column to which. JSON steps say the same in \"target\" and "
      "\"moves\".");
  help.entry("--color always|never|auto",
             "mark requested cells with terminal colour codes; auto (the default) only when "
             "standard output is a terminal and NO_COLOR is unset or empty. Without colour the "
             "requested cell is drawn as '*'.");
  help.section("Limits:");
  help.entry("--max-memory SIZE",
             "bytes, or a whole number with K, M or G (powers of 1024): 65536, 64K, 512M, 2G. "
             "Default: half the physical memory. A search that would need more stops with a "
             "message and exit status 3, and reports what it proved.");
  help.entry("--threads N",
             "threads that search for each board's value, sharing one table (default: every "
             "core the process may use); answers are the same with any number.");
  help.entry("--time-limit SECONDS",
             "the most time each board's search may take (each board of a batch or each file of "
             "--instance, in turn); a decimal number above 0. A search that runs out reports "
             "what it proved, status time_limit.");
  help.paragraph(
      "Ctrl-C (SIGINT) or SIGTERM stops the search at once: the board being solved is reported "
      "with what was proved, status interrupted, and the run ends there. Every record written "
      "is whole.");
  help.paragraph(
      "A solve that takes more than a second shows its progress on standard error when that "
      "is a terminal (boards solved, the value's proven lower and upper bounds and their gap, "
      "boards stored, seconds), and nothing otherwise.");
}

void exit_statuses(HelpText& help) {
  help.section("Exit status:");
  help.entry("0", "solved (every board of a batch, every --instance file)");
  help.entry("1", "internal error, or the output could not be written");
  help.entry("2",
             "bad input or usage (in a batch: some line, after the others were solved; with "
             "several --instance files: some file, after the others were solved; with --play: "
             "the input ended before the game was over; with --check-moves: an illegal move)");
  help.entry("3", "a resource limit: the search needed more than --max-memory, or memory ran out");
  help.entry("4", "--time-limit stopped a search (its bounds were reported)");
  help.entry("130, 143", "SIGINT or SIGTERM stopped the run (128 + the signal's number)");
  help.paragraph(
      "In a batch or several files with several failures: 1 before 2 before 3 before 4.");
}

}  // namespace

std::string solve_help_description() {
  return "Computes the least number of relocations that always suffices to take every\n"
         "target out of a yard, whatever order the targets are asked for in, and shows\n"
         "best play for both sides. Items may also leave in retrieval groups (--instance),\n"
         "with the order inside a group chosen by the worst case, the best case or chance\n"
         "(--within).";
}

std::string solve_help_footer() {
  HelpText help;
  input(help);
  groups(help);
  output(help);
  pictures(help);
  columns_and_limits(help);
  exit_statuses(help);
  return help.text();
}
