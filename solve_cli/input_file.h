// The input that stacks_solve reads: a named file, or standard input for "-".
#pragma once

#include <fstream>
#include <istream>
#include <memory>
#include <string>

struct InputFile {
  std::istream* stream = nullptr;  // null when the file could not be opened
  std::string name;                // as messages name it
  std::string error;               // why it could not be opened
  std::unique_ptr<std::ifstream> owned;

  // Whether reading stopped at a failure rather than at the end of the input. Standard
  // input's buffer passes a failed read on as the end, so the C stream beneath it is asked.
  bool read_failed() const;
};

InputFile open_input(std::string const& path);
