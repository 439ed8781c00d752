#include "programs/help_text.h"

#include <algorithm>

namespace {

constexpr std::size_t kWidth = 80;
constexpr std::size_t kDescription = 17;  // the column of short tags' descriptions

}  // namespace

void HelpText::section(std::string_view title) {
  if (!text_.empty()) text_ += "\n";
  text_ += std::string(title) + "\n";
  after_paragraph_ = false;
}

void HelpText::entry(std::string_view tag, std::string_view description) {
  if (after_paragraph_) text_ += "\n";
  std::string first = "  " + std::string(tag) + "  ";
  std::size_t const indent = std::max(first.size(), kDescription);
  first.resize(indent, ' ');
  wrap(first, indent, description);
  after_paragraph_ = false;
}

void HelpText::paragraph(std::string_view text) {
  if (!text_.empty() && text_.back() == '\n' && !text_.ends_with(":\n")) text_ += "\n";
  wrap("  ", 2, text);
  after_paragraph_ = true;
}

void HelpText::wrap(std::string line, std::size_t indent, std::string_view words) {
  std::size_t const start = line.size();
  while (!words.empty()) {
    std::size_t const end = std::min(words.find(' '), words.size());
    std::string_view const word = words.substr(0, end);
    words.remove_prefix(std::min(end + 1, words.size()));
    if (word.empty()) continue;
    bool const fresh = line.size() <= std::max(start, indent);
    if (!fresh && line.size() + 1 + word.size() > kWidth) {
      text_ += line + "\n";
      line = std::string(indent, ' ');
    } else if (!fresh) {
      line += ' ';
    }
    line += word;
  }
  text_ += line + "\n";
}
