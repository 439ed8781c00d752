#include "search/bounds/moved_items_bound.h"

#include <algorithm>
#include <array>
#include <climits>

#include "search/bounds/group_bound.h"
#include "search/stop_poll.h"

namespace {

class MovedItems {
 public:
  // Asked only whether more than `enough` must land blocked, the search looks for no more
  // than a choice of landings within it: every branch that cannot stay within it is cut.
  MovedItems(LandingPlan const& plan, int enough, int budget)
      : plan_(plan), enough_(enough), budget_(budget), best_(enough >= 0 ? enough + 1 : INT_MAX) {
    int const lifts = static_cast<int>(plan.lifts.size());
    lift_of_.resize(plan.items.size());
    within_.resize(plan.items.size());
    rest_.assign(lifts + 1, 0);
    for (int r = lifts - 1; r >= 0; --r) {
      rest_[r] = rest_[r + 1] + plan.lifts[r].blocked;
      int const first = plan.lifts[r].first;
      int const end = end_of(r);
      int items[kMaxGroupedHeight];
      int caps[kMaxGroupedStacks];
      std::copy_n(plan.items.begin() + first, end - first, items);
      std::copy_n(plan.caps.begin() + r * plan.stacks, plan.stacks, caps);
      for (int e = first; e < end; ++e) {
        lift_of_[e] = r;
        within_[e] = e == first ? plan.lifts[r].blocked
                                : fewest_blocked_landings(items + (e - first), end - e, caps,
                                                          plan.stacks, plan.stays, false);
      }
    }
    // harms_later's question for each item, asked once: the least item lifted after it,
    // while it is in the yard, that it would refuse.
    int const n = static_cast<int>(plan.items.size());
    least_refused_.assign(n, INT_MAX);
    for (int e = 0; e < n; ++e) {
      int const item = plan.items[e];
      for (int f = e + 1; f < n && plan.lifts[lift_of_[f]].group < item; ++f) {
        int const later = plan.items[f];
        if (later > item) least_refused_[e] = std::min(least_refused_[e], later);
      }
    }
    plain_rest_.resize(n + 1);
    for (int e = 0; e < n; ++e)
      plain_rest_[e] = within_[e] + rest_[lift_of_[e] + 1];
    plain_rest_[n] = 0;
    top_.fill(0);
  }

  int fewest() {
    go(0, 0);
    return settled_ ? rest_[0] : best_;
  }

 private:
  int end_of(int r) const {
    return r + 1 < static_cast<int>(plan_.lifts.size()) ? plan_.lifts[r + 1].first
                                                        : static_cast<int>(plan_.items.size());
  }
  // What the items from e on must cost at least: the plain figures of the lifts after e's, and
  // of e's own items from e on.
  int plain_rest(int e) const { return plain_rest_[e]; }
  // The least item on stack d now: its least unmoved item at lift r, or a moved item above.
  int cap(int r, int d) const {
    int const unmoved = plan_.caps[r * plan_.stacks + d];
    return top_[d] != 0 ? std::min<int>(unmoved, top_[d]) : unmoved;
  }

  void go(int e, int spent) {
    if (settled_ || spent + plain_rest(e) >= best_) return;
    if (e == static_cast<int>(plan_.items.size()) || ++nodes_ > budget_) {
      best_ = spent + plain_rest(e);
      settled_ = e == static_cast<int>(plan_.items.size()) && best_ <= enough_;
      return;
    }
    // Up to 64 x 1024 choices on a full yard: long enough to keep a stop waiting.
    StopPoll::poll();
    int const r = lift_of_[e];
    int const departed = e == plan_.lifts[r].first ? leave_before(plan_.lifts[r].group) : 0;
    int const item = plan_.items[e];
    // Each stack's cap taken once: the landings tried below put back what they change.
    int caps[kMaxGroupedStacks];
    int fit = -1;
    int fit_cap = INT_MAX;
    for (int d = 0; d < plan_.stacks; ++d) {
      caps[d] = cap(r, d);
      if (caps[d] >= item && caps[d] < fit_cap) {
        fit = d;
        fit_cap = caps[d];
      }
    }
    if (fit < 0) {
      go(e + 1, spent + 1);
    } else if (!harms_later(e, item, fit_cap)) {
      land(e, item, fit, spent);
    } else {
      // Which stack takes it matters now: a stack keeps the item until it leaves and then
      // takes again what it took before, so the least cap can be the wrong one.
      land(e, item, fit, spent);
      bool empty_tried = fit_cap == kNoItem;
      for (int d = 0; d < plan_.stacks; ++d) {
        if (d == fit || caps[d] < item) continue;
        // Stacks with nothing on them, and no unmoved item to come, are all alike.
        if (caps[d] == kNoItem) {
          if (empty_tried) continue;
          empty_tried = true;
        }
        land(e, item, d, spent);
      }
      go(e + 1, spent + 1);
    }
    come_back(departed);
  }
  void land(int e, int item, int d, int spent) {
    below_[item] = top_[d];
    top_[d] = static_cast<std::uint8_t>(item);
    go(e + 1, spent);
    top_[d] = below_[item];
  }

  // Whether an item lifted after item e, while that item is still in the yard, could land
  // unblocked on a cap of `cap` but not on the item.
  bool harms_later(int e, int, int cap) const { return least_refused_[e] <= cap; }

  // Takes out the moved items that leave by request `group`, noting them to put back.
  int leave_before(int group) {
    int count = 0;
    for (int d = 0; d < plan_.stacks; ++d) {
      while (top_[d] != 0 && top_[d] <= group) {
        left_.push_back({static_cast<std::uint8_t>(d), top_[d]});
        top_[d] = below_[top_[d]];
        ++count;
      }
    }
    return count;
  }
  void come_back(int count) {
    for (; count > 0; --count) {
      auto const [d, item] = left_.back();
      left_.pop_back();
      below_[item] = top_[d];
      top_[d] = item;
    }
  }

  LandingPlan const& plan_;
  int enough_;
  int budget_;
  int best_;  // the fewest blocked of any choice found, or a bound on the choices cut off
  bool settled_ = false;            // a choice of landings with at most enough_ blocked was found
  std::vector<int> lift_of_;        // the lift of each item
  std::vector<int> rest_;           // rest_[r]: the plain figures of lifts r and after, summed
  std::vector<int> within_;         // within_[e]: the plain figure of e's lift from e on
  std::vector<int> least_refused_;  // see harms_later
  std::vector<int> plain_rest_;     // plain_rest_[e]: see plain_rest; 0 past the last item
  // The moved items that landed unblocked, stack by stack: top_[d] the latest on stack d (0 for
  // none), below_[x] the one it landed on. Items on one stack only decrease upwards, so the top
  // leaves first.
  std::array<std::uint8_t, kMaxGroupedStacks> top_;
  std::array<std::uint8_t, 256> below_{};
  std::vector<std::pair<std::uint8_t, std::uint8_t>> left_;  // taken out, to put back
  int nodes_ = 0;
};

}  // namespace

int fewest_blocked_with_moved_items(LandingPlan const& plan, int enough, int budget) {
  return MovedItems(plan, enough, budget).fewest();
}
