// The yard of the public API (items bottom first, 0 for an item that stays) and the engine's
// (cells of fixed height, an item that stays as groups + 1), both ways; and the order inside a
// group, which the public header names again so as to keep the engine's headers private.
#pragma once

#include "model/yard.h"
#include "rules/within.h"
#include "stacks/stacks.h"

inline ::Within engine_within(stacks::Within within) {
  switch (within) {
    case stacks::Within::best:
      return ::Within::best;
    case stacks::Within::random:
      return ::Within::random;
    case stacks::Within::worst:
      break;
  }
  return ::Within::worst;
}

// The engine's yard; std::invalid_argument, in words fit for a user, for a yard the engine
// cannot search (an item above the height, a group out of range, a yard too big).
::Yard engine_yard(stacks::Yard const& yard);

stacks::Yard public_yard(::Yard const& yard);
