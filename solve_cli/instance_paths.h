// The files that --instance names: each argument as given, and for a folder every regular file
// in it, in name order (byte by byte), leaving out hidden files (a name starting with '.'), as
// a listing of the folder does.
#pragma once

#include <string>
#include <vector>

struct InstancePath {
  std::string path;   // as records and messages name it: a folder's files under its name
  std::string error;  // why a folder gave no file; empty otherwise
};

std::vector<InstancePath> instance_paths(std::vector<std::string> const& arguments);

// Whether the argument names a folder (and not "-").
bool is_folder(std::string const& argument);
