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
};

InputFile open_input(std::string const& path);
