// The text of a program's --help, laid out for a terminal of 80 columns and for help2man, which
// makes the manual pages from it: a section title ends in ':', an entry's description starts
// two spaces after its tag and every further line of it starts in that column, and a
// paragraph stands apart from the entries around it. Text is wrapped between words.
#pragma once

#include <string>
#include <string_view>

class HelpText {
 public:
  // "Input (give exactly one):", after a blank line unless it is the first.
  void section(std::string_view title);
  // "  --board TEXT   stacks separated by ...": the description in column 17, or two spaces
  // after a longer tag.
  void entry(std::string_view tag, std::string_view description);
  // Text indented by two, apart from what comes before and after.
  void paragraph(std::string_view text);

  std::string const& text() const { return text_; }

 private:
  // `words` wrapped, the first line after `first` and every other one after `indent` spaces.
  void wrap(std::string first, std::size_t indent, std::string_view words);

  std::string text_;
  bool after_paragraph_ = false;
};
