#include "board_io/instance_form.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "board_io/bounded_read.h"

namespace {

bool is_blank(char c) {
  return c == ' ' || c == '\t';
}

bool is_digit(char c) {
  return c >= '0' && c <= '9';
}

std::string count_of(long long n, char const* one, char const* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

// The lines of the text one at a time, without their "\n" or "\r\n". A final "\n" ends the last
// line rather than opening an empty one.
class Lines {
 public:
  explicit Lines(std::string_view text) : text_(text) {}

  std::optional<std::string_view> next() {
    if (at_ >= text_.size()) return std::nullopt;
    std::size_t const end = std::min(text_.find('\n', at_), text_.size());
    std::string_view line = text_.substr(at_, end - at_);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    at_ = end + 1;
    ++number_;
    return line;
  }

  long number() const { return number_; }

 private:
  std::string_view text_;
  std::size_t at_ = 0;
  long number_ = 0;
};

struct Field {
  std::string_view text;
  int column;
};

// The blank-separated fields of one line, one at a time, so that a line of a million fields
// takes no memory of its own.
class Fields {
 public:
  explicit Fields(std::string_view line) : line_(line) {}

  std::optional<Field> next() {
    while (at_ < line_.size() && is_blank(line_[at_]))
      ++at_;
    if (at_ == line_.size()) return std::nullopt;
    std::size_t const begin = at_;
    while (at_ < line_.size() && !is_blank(line_[at_]))
      ++at_;
    return Field{line_.substr(begin, at_ - begin), static_cast<int>(begin) + 1};
  }

 private:
  std::string_view line_;
  std::size_t at_ = 0;
};

// Where a number is read, for its errors: the line, the stack (-1 on the header) and what the
// number is, as a message names it.
struct Place {
  long line;
  int stack;
  char const* name;
};

// Numbers above this read as this: every bound of the form lies far below it, so the exact
// value of a larger one never matters and no digit string can overflow.
constexpr long long kHuge = 1LL << 40;

std::optional<BoardError> read_number(Field field, Place place, long long& value) {
  std::string_view const text = field.text;
  if (text.size() > 1 && text[0] == '-' && is_digit(text[1])) {
    return BoardError{std::string(place.name) + " cannot be negative", place.line, field.column,
                      place.stack};
  }
  value = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!is_digit(text[i])) {
      return BoardError{describe_byte(text[i]) + " in " + place.name +
                            ", which must be a whole number written in digits",
                        place.line, field.column + static_cast<int>(i), place.stack};
    }
    value = std::min(value * 10 + (text[i] - '0'), kHuge);
  }
  return std::nullopt;
}

struct Header {
  int stacks;
  int height;
  int items;
  int items_column;
};

// The numbers of the header: "S H N", or "S N" with the capacity given apart as `height`.
std::variant<Header, BoardError> read_header(std::string_view line, std::optional<int> height) {
  Fields fields(line);
  Field field[4];
  int count = 0;
  while (auto next = fields.next()) {
    if (count < 4) field[count] = *next;
    ++count;
  }
  if (count == 2 && !height) {
    return BoardError{
        "a header of 2 numbers (stacks, items) needs the capacity of the stacks "
        "given apart, as the height",
        1};
  }
  if (count != 2 && count != 3) {
    return BoardError{
        "the header should hold 3 numbers (stacks, capacity, items), or 2 (stacks, "
        "items), but it holds " +
            std::to_string(count),
        1, count > 3 ? field[3].column : 0};
  }
  Field const& items_field = field[count - 1];
  long long stacks, items;
  long long height_read = height.value_or(0);
  if (auto error = read_number(field[0], {1, -1, "the number of stacks"}, stacks)) return *error;
  if (count == 3) {
    if (auto error = read_number(field[1], {1, -1, "the capacity"}, height_read)) return *error;
    if (height && height_read != *height) {
      return BoardError{"the capacity " + std::to_string(height_read) + " is not the height " +
                            std::to_string(*height) + " given apart",
                        1, field[1].column};
    }
  }
  if (auto error = read_number(items_field, {1, -1, "the number of items"}, items)) return *error;
  Field const capacity_field = count == 3 ? field[1] : Field{"", 0};
  std::string const most = std::to_string(kMaxInstanceSlots) + ", the most slots a yard may have";
  if (stacks == 0) {
    return BoardError{"the number of stacks is 0: a yard needs at least one", 1, field[0].column};
  }
  if (stacks > kMaxInstanceSlots) {
    return BoardError{"the number of stacks is above " + most, 1, field[0].column};
  }
  if (height_read == 0) {
    return BoardError{"the capacity is 0: a stack needs at least one slot", 1,
                      capacity_field.column};
  }
  if (height_read > kMaxInstanceSlots) {
    return BoardError{"the capacity is above " + most, 1, capacity_field.column};
  }
  long long const slots = stacks * height_read;
  if (slots > kMaxInstanceSlots) {
    return BoardError{count_of(stacks, "stack", "stacks") + " of " +
                          count_of(height_read, "slot", "slots") + " make " +
                          std::to_string(slots) + " slots, more than the " +
                          std::to_string(kMaxInstanceSlots) + " a yard may have",
                      1};
  }
  if (items > slots) {
    return BoardError{"the number of items is above " + std::to_string(slots) + ", the slots of " +
                          count_of(stacks, "stack", "stacks") + " of " +
                          std::to_string(height_read),
                      1, items_field.column};
  }
  return Header{static_cast<int>(stacks), static_cast<int>(height_read), static_cast<int>(items),
                items_field.column};
}

// Marks an item that stays until the number of groups, and so its cell, is known.
constexpr int kStaysMark = -1;

// The cells of stack `index` from its line, of `height` slots: priorities as read, kStaysMark
// for an item that stays.
std::variant<std::vector<int>, BoardError> read_stack(std::string_view line, long line_number,
                                                      int index, int height) {
  Fields fields(line);
  Field const first = *fields.next();
  long long items;
  if (auto error = read_number(first, {line_number, index, "the height of the stack"}, items)) {
    return *error;
  }
  if (items > height) {
    return BoardError{"the height of the stack is above the capacity, " + std::to_string(height),
                      line_number, first.column, index};
  }
  std::vector<int> cells(height, kEmpty);
  long long given = 0;
  int extra_column = 0;
  while (auto field = fields.next()) {
    long long priority;
    if (auto error = read_number(*field, {line_number, index, "a priority"}, priority)) {
      return *error;
    }
    if (priority > kMaxGroupNumber) {
      return BoardError{
          "a priority above " + std::to_string(kMaxGroupNumber) + ", the largest group number",
          line_number, field->column, index};
    }
    if (given < items) {
      cells[given] = priority == 0 ? kStaysMark : static_cast<int>(priority);
    } else if (given == items) {
      extra_column = field->column;
    }
    ++given;
  }
  if (given != items) {
    return BoardError{"the stack holds " + count_of(items, "item", "items") +
                          ", but its line gives " + count_of(given, "priority", "priorities"),
                      line_number, extra_column, index};
  }
  return cells;
}

bool only_blank_lines_left(Lines lines) {
  while (auto line = lines.next()) {
    if (Fields(*line).next()) return false;
  }
  return true;
}

}  // namespace

ParsedYard parse_instance(std::string_view text, std::optional<int> height) {
  if (text.size() > kMaxInstanceBytes) {
    return BoardError{"the input is " + std::to_string(text.size()) +
                      " bytes long, far beyond any instance (at most " +
                      std::to_string(kMaxInstanceBytes) + " bytes are read)"};
  }
  Lines lines(text);
  auto const header_line = lines.next();
  if (!header_line) {
    return BoardError{
        "the input is empty: it should start with the header 'S H N' (stacks, capacity, items)"};
  }
  auto header_read = read_header(*header_line, height);
  if (auto* error = std::get_if<BoardError>(&header_read)) return *error;
  Header const header = std::get<Header>(header_read);

  Yard yard{header.stacks, header.height, 0, {}};
  long long items = 0;
  // A file that runs out of stacks is reported at its last line that holds one (or the
  // header), whatever blank lines follow it.
  long last_full_line = 1;
  for (int i = 0; i < header.stacks; ++i) {
    auto const line = lines.next();
    // Blank lines may end a file, so a blank line here is a missing stack only when nothing but
    // blank lines follows it.
    if (!line || (!Fields(*line).next() && only_blank_lines_left(lines))) {
      return BoardError{"the input ends after " + std::to_string(i) + " of the " +
                            count_of(header.stacks, "stack", "stacks") + " the header announces",
                        last_full_line};
    }
    if (!Fields(*line).next()) {
      return BoardError{"a blank line where a stack should be (an empty stack is written 0)",
                        lines.number(), 0, i};
    }
    last_full_line = lines.number();
    auto stack = read_stack(*line, lines.number(), i, header.height);
    if (auto* error = std::get_if<BoardError>(&stack)) return *error;
    yard.stacks.push_back(std::move(std::get<std::vector<int>>(stack)));
    for (int cell : yard.stacks.back()) {
      items += cell != kEmpty;
      yard.groups = std::max(yard.groups, cell);
    }
  }
  while (auto const line = lines.next()) {
    if (auto const field = Fields(*line).next()) {
      return BoardError{"more text after the " + count_of(header.stacks, "stack", "stacks") +
                            " the header announces",
                        lines.number(), field->column};
    }
  }
  if (items != header.items) {
    return BoardError{"the header announces " + count_of(header.items, "item", "items") +
                          ", but the stacks hold " + std::to_string(items),
                      1, header.items_column};
  }
  for (auto& stack : yard.stacks) {
    std::replace(stack.begin(), stack.end(), kStaysMark, yard.stays());
  }
  return yard;
}

ParsedYard read_instance(std::istream& in, std::optional<int> height) {
  BoundedText const text = read_at_most(in, kMaxInstanceBytes);
  if (text.failed) return BoardError{"reading the instance failed"};
  if (text.longer) {
    return BoardError{"the input is longer than " + std::to_string(kMaxInstanceBytes) +
                      " bytes, far beyond any instance"};
  }
  return parse_instance(text.text, height);
}

Yard retrieve_up_to(Yard yard, int k) {
  int const groups = std::max(0, std::min(k, yard.groups));
  for (auto& stack : yard.stacks) {
    for (int& cell : stack) {
      if (cell > groups) cell = groups + 1;
    }
  }
  yard.groups = groups;
  return yard;
}

std::string format_yard(Yard const& yard) {
  std::string text;
  for (std::size_t i = 0; i < yard.stacks.size(); ++i) {
    if (i > 0) text += '/';
    bool first = true;
    for (int cell : yard.stacks[i]) {
      if (cell == kEmpty) continue;
      if (!first) text += ',';
      text += cell == yard.stays() ? "0" : std::to_string(cell);
      first = false;
    }
  }
  return text;
}
