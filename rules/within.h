// Who orders the requests inside a retrieval group.
#pragma once

#include <optional>
#include <string_view>

enum class Within {
  worst,   // the requesting side picks the costliest item of the group
  best,    // the retrieving side picks: the classic problem with a known order
  random,  // every item of the group still in the yard is equally likely to be next
};

constexpr char const* within_name(Within within) {
  switch (within) {
    case Within::worst:
      return "worst";
    case Within::best:
      return "best";
    case Within::random:
      return "random";
  }
  return "worst";
}

constexpr std::optional<Within> parse_within(std::string_view name) {
  if (name == "worst") return Within::worst;
  if (name == "best") return Within::best;
  if (name == "random") return Within::random;
  return std::nullopt;
}
