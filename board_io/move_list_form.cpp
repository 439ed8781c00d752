#include "board_io/move_list_form.h"

#include <algorithm>
#include <climits>
#include <optional>
#include <string>

#include "board_io/bounded_read.h"

namespace {

bool is_blank(char c) {
  return c == ' ' || c == '\t';
}

struct Field {
  std::string_view text;
  int column;
};

// The blank-separated fields of a line; at most three are kept, the count is whole.
struct Fields {
  Field field[3];
  int count = 0;
};

Fields fields_of(std::string_view line) {
  Fields fields;
  std::size_t at = 0;
  while (true) {
    while (at < line.size() && is_blank(line[at]))
      ++at;
    if (at == line.size()) return fields;
    std::size_t const begin = at;
    while (at < line.size() && !is_blank(line[at]))
      ++at;
    if (fields.count < 3) {
      fields.field[fields.count] = {line.substr(begin, at - begin), static_cast<int>(begin) + 1};
    }
    ++fields.count;
  }
}

constexpr char const* kForm =
    "write FROM TO to move the top item of stack FROM onto stack TO, "
    "or FROM - to retrieve it";

// A stack number in digits; larger than any yard's reads as INT_MAX.
std::optional<BoardError> read_stack(Field field, long line, int& stack) {
  long long value = 0;
  for (std::size_t i = 0; i < field.text.size(); ++i) {
    char const c = field.text[i];
    if (c < '0' || c > '9') {
      return BoardError{describe_byte(c) +
                            " in a stack number, which must be a whole number "
                            "written in digits (" +
                            kForm + ")",
                        line, field.column + static_cast<int>(i)};
    }
    value = std::min<long long>(value * 10 + (c - '0'), INT_MAX);
  }
  stack = static_cast<int>(value);
  return std::nullopt;
}

std::variant<ListedMove, BoardError> read_move(std::string_view text, long line) {
  Fields const fields = fields_of(text);
  if (fields.count != 2) {
    return BoardError{
        "a move has 2 fields, not " + std::to_string(fields.count) + " (" + kForm + ")", line,
        fields.count > 2 ? fields.field[2].column : 0};
  }
  ListedMove move{line, 0, kRetrieved};
  if (auto error = read_stack(fields.field[0], line, move.from)) return *error;
  if (fields.field[1].text != "-") {
    if (auto error = read_stack(fields.field[1], line, move.to)) return *error;
  }
  return move;
}

}  // namespace

ParsedMoves parse_move_list(std::string_view text) {
  if (text.size() > kMaxMoveListBytes) {
    return BoardError{"the list is " + std::to_string(text.size()) + " bytes long, more than the " +
                      std::to_string(kMaxMoveListBytes) + " read"};
  }
  std::vector<ListedMove> moves;
  long number = 0;
  for (std::size_t at = 0; at < text.size();) {
    std::size_t const end = std::min(text.find('\n', at), text.size());
    std::string_view line = text.substr(at, end - at);
    at = end + 1;
    ++number;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    std::size_t const first = line.find_first_not_of(" \t");
    if (first == std::string_view::npos || line[first] == '#') continue;
    auto move = read_move(line, number);
    if (auto* error = std::get_if<BoardError>(&move)) return *error;
    moves.push_back(std::get<ListedMove>(move));
  }
  return moves;
}

ParsedMoves read_move_list(std::istream& in) {
  BoundedText const text = read_at_most(in, kMaxMoveListBytes);
  if (text.failed) return BoardError{"reading the list failed"};
  if (text.longer) {
    return BoardError{"the list is longer than " + std::to_string(kMaxMoveListBytes) +
                      " bytes, more than any yard's line of play"};
  }
  return parse_move_list(text.text);
}
