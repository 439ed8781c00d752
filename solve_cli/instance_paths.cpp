#include "solve_cli/instance_paths.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

void add_folder(std::string const& folder, std::vector<InstancePath>& paths) {
  std::error_code error;
  std::vector<std::string> names;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    std::string const name = it->path().filename().string();
    std::error_code ignored;
    if (!name.empty() && name.front() != '.' && it->is_regular_file(ignored)) {
      names.push_back(name);
    }
  }
  if (error) {
    paths.push_back({folder, "cannot list the folder: " + error.message()});
    return;
  }
  if (names.empty()) {
    paths.push_back({folder, "the folder holds no file to solve"});
    return;
  }
  std::sort(names.begin(), names.end());
  for (std::string const& name : names)
    paths.push_back({(fs::path(folder) / name).string(), ""});
}

}  // namespace

bool is_folder(std::string const& argument) {
  std::error_code ignored;
  return argument != "-" && fs::is_directory(argument, ignored);
}

std::vector<InstancePath> instance_paths(std::vector<std::string> const& arguments) {
  std::vector<InstancePath> paths;
  for (std::string const& argument : arguments) {
    if (is_folder(argument)) {
      add_folder(argument, paths);
    } else {
      paths.push_back({argument, ""});
    }
  }
  return paths;
}
