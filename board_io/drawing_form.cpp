#include "board_io/drawing_form.h"

#include <optional>
#include <string>
#include <vector>

#include "board_io/board_cells.h"

namespace {

// A character of a line with its column, once colour codes are taken out.
struct Glyph {
  char c;
  int column;
};

// The length of the colour code (ESC '[' parameters 'm') that starts at `at`, or 0 when the
// bytes there are not one.
std::size_t colour_code_length(std::string_view line, std::size_t at) {
  constexpr std::size_t kLongestParameters = 32;
  if (at + 1 >= line.size() || line[at + 1] != '[') return 0;
  for (std::size_t i = at + 2; i < line.size() && i - at - 2 <= kLongestParameters; ++i) {
    char const c = line[i];
    if (c == 'm') return i - at + 1;
    if (c != ';' && (c < '0' || c > '9')) return 0;
  }
  return 0;
}

std::variant<std::vector<Glyph>, BoardError> strip_colour_codes(std::string_view line,
                                                                int line_number) {
  std::vector<Glyph> glyphs;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] != '\033') {
      glyphs.push_back({line[i], static_cast<int>(i) + 1});
      continue;
    }
    std::size_t const length = colour_code_length(line, i);
    if (length == 0) {
      return BoardError{"an escape sequence that is not a colour code", line_number,
                        static_cast<int>(i) + 1};
    }
    i += length - 1;
  }
  return glyphs;
}

bool is_blank(char c) {
  return c == ' ' || c == '\t';
}

enum class LineKind { blank, ruler, row, column_numbers, other };

// Sets first/last to the non-blank glyphs of the line.
LineKind classify(std::vector<Glyph> const& glyphs, std::size_t& first, std::size_t& last) {
  first = 0;
  while (first < glyphs.size() && is_blank(glyphs[first].c))
    ++first;
  if (first == glyphs.size()) return LineKind::blank;
  last = glyphs.size() - 1;
  while (is_blank(glyphs[last].c))
    --last;
  if (glyphs[first].c == '|') return LineKind::row;
  bool dashes = true, numbers = true;
  for (std::size_t i = first; i <= last; ++i) {
    char const c = glyphs[i].c;
    dashes = dashes && c == '-';
    numbers = numbers && ((c >= '0' && c <= '9') || is_blank(c));
  }
  return dashes ? LineKind::ruler : numbers ? LineKind::column_numbers : LineKind::other;
}

int cell_of_glyph(char c) {
  switch (c) {
    case ' ':
    case '.':
      return kEmpty;
    case 'o':
    case '*':  // a requested target, as drawn without colour
      return kTarget;
    case 'x':
      return kOther;
    default:
      return -1;
  }
}

// One row as drawn: its cells from left to right, the column of each, and its line.
struct DrawnRow {
  std::vector<int> cells;
  std::vector<int> columns;
  int line;
};

// The cells between the opening '|' at glyphs[first] and the closing one, which must be the
// last non-blank glyph, at glyphs[last].
std::variant<DrawnRow, BoardError> read_row(std::vector<Glyph> const& glyphs, std::size_t first,
                                            std::size_t last, int line_number) {
  DrawnRow row{{}, {}, line_number};
  std::size_t i = first + 1;
  for (; i < glyphs.size() && glyphs[i].c != '|'; ++i) {
    int const cell = cell_of_glyph(glyphs[i].c);
    if (glyphs[i].c == '\t') {
      return BoardError{"a tab in a row: write empty slots as spaces or '.'", line_number,
                        glyphs[i].column};
    }
    if (cell < 0) {
      return BoardError{"unknown character " + describe_byte(glyphs[i].c) +
                            " in a row (use 'o' or '*' target, 'x' other, ' ' or '.' empty)",
                        line_number, glyphs[i].column};
    }
    row.cells.push_back(cell);
    row.columns.push_back(glyphs[i].column);
  }
  if (i >= glyphs.size()) return BoardError{"the row has no closing '|'", line_number};
  if (i != last) {
    std::size_t after = i + 1;
    while (is_blank(glyphs[after].c))
      ++after;
    return BoardError{"text after the closing '|' of the row", line_number, glyphs[after].column};
  }
  return row;
}

BoardError not_a_row_nor_ruler(std::vector<Glyph> const& glyphs, std::size_t first,
                               int line_number) {
  std::size_t at = first;
  while (glyphs[at].c == '-')
    ++at;
  std::string const what = at == first ? "expected a row between '|' or a ruler of '-', found "
                                       : "a ruler holds only '-', found ";
  return BoardError{what + describe_byte(glyphs[at].c), line_number, glyphs[at].column};
}

// Where the reader is in the drawing.
enum class Stage { before_rows, rows, after_rows };

// Reads the rows of the drawing, checking the order of rulers, rows and blank lines.
std::variant<std::vector<DrawnRow>, BoardError> read_rows(std::string_view text) {
  std::vector<DrawnRow> rows;
  Stage stage = Stage::before_rows;
  bool opening_ruler = false;
  int blank_after_row = 0;
  int line_number = 0;
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    ++line_number;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

    auto stripped = strip_colour_codes(line, line_number);
    if (auto* error = std::get_if<BoardError>(&stripped)) return *error;
    auto const& glyphs = std::get<std::vector<Glyph>>(stripped);
    std::size_t first = 0, last = 0;
    LineKind const kind = classify(glyphs, first, last);

    if (kind == LineKind::blank) {
      if (stage == Stage::rows && blank_after_row == 0) blank_after_row = line_number;
      continue;
    }
    // The column numbers under a drawing belong to it; anywhere else they are no drawing.
    if (kind == LineKind::column_numbers && stage == Stage::after_rows) continue;
    if (kind == LineKind::other || kind == LineKind::column_numbers) {
      return not_a_row_nor_ruler(glyphs, first, line_number);
    }
    if (stage == Stage::after_rows) {
      return BoardError{"more after the end of the drawing (give one board)", line_number};
    }
    if (kind == LineKind::ruler) {
      // Two rulers with no row between them are the drawing of a board with no capacity.
      if (stage == Stage::rows || opening_ruler) stage = Stage::after_rows;
      opening_ruler = true;
      continue;
    }
    if (blank_after_row != 0) {
      return BoardError{"a blank line splits the rows of the drawing", blank_after_row};
    }
    auto row = read_row(glyphs, first, last, line_number);
    if (auto* error = std::get_if<BoardError>(&row)) return *error;
    rows.push_back(std::move(std::get<DrawnRow>(row)));
    stage = Stage::rows;
  }
  return rows;
}

}  // namespace

ParsedBoard parse_drawing(std::string_view text) {
  if (text.size() > kMaxDrawingBytes) {
    return BoardError{"the drawing is " + std::to_string(text.size()) +
                      " bytes long, far beyond the largest board (at most " +
                      std::to_string(kMaxDrawingBytes) + " bytes are read)"};
  }
  auto read = read_rows(text);
  if (auto* error = std::get_if<BoardError>(&read)) return *error;
  auto const& rows = std::get<std::vector<DrawnRow>>(read);
  if (rows.empty()) {
    if (text.find_first_not_of(" \t\r\n") == std::string_view::npos) {
      return BoardError{"the input is empty: no board is drawn"};
    }
    return BoardError{"the drawing has no rows: the board has no capacity"};
  }

  std::size_t const width = rows.front().cells.size();
  for (auto const& row : rows) {
    if (row.cells.size() != width) {
      return BoardError{"this row is " + std::to_string(row.cells.size()) +
                            " wide, the row on line " + std::to_string(rows.front().line) + " is " +
                            std::to_string(width) + " (every row needs one slot a stack)",
                        row.line};
    }
  }
  if (auto problem = size_problem(width, rows.size()); problem && width > 0) return *problem;
  int const height = static_cast<int>(rows.size());
  std::vector<std::vector<int>> stacks(width, std::vector<int>(height, kEmpty));
  for (std::size_t c = 0; c < width; ++c) {
    for (int j = 0; j < height; ++j)
      stacks[c][j] = rows[height - 1 - j].cells[c];
    if (int const gap = first_gap_slot(stacks[c]); gap >= 0) {
      DrawnRow const& row = rows[height - 1 - gap];
      return BoardError{"an empty slot below an item", row.line, row.columns[c],
                        static_cast<int>(c)};
    }
  }
  return board_from_cells(stacks);
}
