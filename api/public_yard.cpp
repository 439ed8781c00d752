#include "api/public_yard.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "search/engine.h"

namespace {

// The largest group, after checking that every stack fits and every group is in range.
int checked_groups(stacks::Yard const& yard) {
  if (yard.height < 1)
    throw std::invalid_argument("the yard has no capacity: height must be 1 or more");
  int groups = 0;
  for (std::size_t i = 0; i < yard.stacks.size(); ++i) {
    auto const& items = yard.stacks[i];
    std::string const where = "stack " + std::to_string(i);
    if (items.size() > static_cast<std::size_t>(yard.height)) {
      throw std::invalid_argument(where + " holds " + std::to_string(items.size()) +
                                  " items, more than the height " + std::to_string(yard.height));
    }
    for (int group : items) {
      if (group < 0 || group > kMaxGroupNumber) {
        throw std::invalid_argument(where + ": group " + std::to_string(group) +
                                    " is not between 0 (an item that stays) and " +
                                    std::to_string(kMaxGroupNumber));
      }
      groups = std::max(groups, group);
    }
  }
  return groups;
}

}  // namespace

::Yard engine_yard(stacks::Yard const& yard) {
  ::Yard cells;
  cells.groups = checked_groups(yard);
  cells.height = yard.height;
  cells.n_stacks = static_cast<int>(yard.stacks.size());
  for (auto const& items : yard.stacks) {
    std::vector<int>& stack = cells.stacks.emplace_back(yard.height, kEmpty);
    std::transform(items.begin(), items.end(), stack.begin(),
                   [&cells](int group) { return group == 0 ? cells.stays() : group; });
  }
  if (std::string problem = yard_search_problem(cells); !problem.empty()) {
    throw std::invalid_argument(problem);
  }
  return cells;
}

stacks::Yard public_yard(::Yard const& yard) {
  stacks::Yard items{yard.height, {}};
  for (auto const& stack : yard.stacks) {
    std::vector<int>& out = items.stacks.emplace_back();
    for (int cell : stack) {
      if (cell == kEmpty) break;
      out.push_back(cell == yard.stays() ? 0 : cell);
    }
  }
  return items;
}
