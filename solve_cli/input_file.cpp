#include "solve_cli/input_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>

InputFile open_input(std::string const& path) {
  InputFile input;
  if (path == "-") {
    input.stream = &std::cin;
    input.name = "standard input";
    return input;
  }
  input.name = path;
  std::error_code ignored;
  if (std::filesystem::is_directory(path, ignored)) {
    input.error = "cannot read it: it is a directory";
    return input;
  }
  errno = 0;
  input.owned = std::make_unique<std::ifstream>(path, std::ios::binary);
  if (!*input.owned) {
    input.error =
        std::string("cannot open it: ") + (errno != 0 ? std::strerror(errno) : "unknown reason");
    return input;
  }
  input.stream = input.owned.get();
  return input;
}

bool InputFile::read_failed() const {
  if (stream == nullptr) return false;
  return stream->bad() || (stream == &std::cin && std::ferror(stdin) != 0);
}
