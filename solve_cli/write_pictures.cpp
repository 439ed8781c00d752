#include "solve_cli/write_pictures.h"

#include <fstream>

#include "replay_page/html_page.h"
#include "replay_page/svg_picture.h"
#include "report/opening_lines.h"
#include "report/text_report.h"
#include "solve_cli/diagnostics.h"

namespace {

// The line of the heading: the text report's value lines, on one line.
std::string one_line(std::string text) {
  while (!text.empty() && text.back() == '\n')
    text.pop_back();
  for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at))
    text.replace(at, 1, ". ");
  return text;
}

bool write_file(std::string const& path, std::string const& content) {
  std::ofstream file(path, std::ios::binary);
  file << content;
  file.close();
  return static_cast<bool>(file);
}

ExitStatus write(SolveOptions const& options, PageLine const& line, std::string const& summary,
                 ProgressLine& progress) {
  if (options.html && !write_file(*options.html, html_page(line, summary))) {
    print_error(progress, *options.html, "writing the page failed");
    return kExitInternalError;
  }
  if (options.svg && !write_file(*options.svg, step_svg(line, static_cast<std::size_t>(options.step)))) {
    print_error(progress, *options.svg, "writing the picture failed");
    return kExitInternalError;
  }
  return kExitSolved;
}

// The line under the page's heading: the order, then the value as the pictures write it, or
// what a search that stopped proved.
std::string summary(Within within, SearchStatus status, Moves const& value, PageLine const& line) {
  std::string const order = std::string("Order within groups: ") + within_name(within) + ". ";
  if (status != SearchStatus::optimal) {
    return order + "Search stopped (" + status_name(status) + "): the value is " + line.value;
  }
  if (!value.placed()) return one_line(yard_value_text(value, within));
  return order + (within == Within::random ? "Expected moves: " : "Minimum moves: ") +
         page_moves_text(value);
}

}  // namespace

ExitStatus check_picture_step(SolveOptions const& options, std::size_t requests,
                              ProgressLine& progress) {
  std::size_t const last = requests + 1;
  if (!options.svg || static_cast<std::size_t>(options.step) <= last) return kExitSolved;
  print_error(progress, "",
              "--step " + std::to_string(options.step) + ": the line has " +
                  std::to_string(requests) + (requests == 1 ? " request" : " requests") +
                  ", so its steps are 0 (the start) to " + std::to_string(last) + " (the end)");
  return kExitBadInput;
}

ExitStatus write_pictures(SolveOptions const& options, SolveResult const& result,
                          ProgressLine& progress) {
  if (!options.html && !options.svg) return kExitSolved;
  auto const* costs = result.step_requests ? &*result.step_requests : nullptr;
  PageLine const line = page_line(result, costs);
  std::string const heading =
      result.status == SearchStatus::optimal
          ? one_line(minimum_moves_line(result.value))
          : summary(Within::worst, result.status, Moves(result.value), line);
  return write(options, line, heading, progress);
}

ExitStatus write_pictures(SolveOptions const& options, YardResult const& result,
                          ProgressLine& progress) {
  if (!options.html && !options.svg) return kExitSolved;
  auto const* costs = result.step_requests ? &*result.step_requests : nullptr;
  PageLine const line = page_line(result, costs);
  return write(options, line, summary(result.within, result.status, result.value, line), progress);
}
