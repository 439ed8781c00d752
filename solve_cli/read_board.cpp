#include "solve_cli/read_board.h"

#include "board_io/bounded_read.h"
#include "board_io/compact_form.h"
#include "board_io/drawing_form.h"
#include "solve_cli/input_file.h"

namespace {

ReadBoard read_drawn_board(std::string const& path) {
  InputFile input = open_input(path);
  if (!input.stream) return {input.name, BoardError{input.error}};
  BoundedText const text = read_at_most(*input.stream, kMaxDrawingBytes);
  if (text.failed || input.read_failed()) return {input.name, BoardError{"reading it failed"}};
  if (text.longer) {
    return {input.name, BoardError{"the input is longer than " + std::to_string(kMaxDrawingBytes) +
                                   " bytes, far beyond the drawing of the largest board"}};
  }
  return {input.name, parse_drawing(text.text)};
}

}  // namespace

ReadBoard read_board(SolveOptions const& options) {
  if (options.board_text) return {"--board", parse_compact_board(*options.board_text)};
  return read_drawn_board(*options.drawing);
}
