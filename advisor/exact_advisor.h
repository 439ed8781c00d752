// Advice and answers from the exact solver's tables (compute, memo_strat).
#pragma once

#include "advisor/advisor.h"

class ExactAdvisor : public Advisor {
 public:
  State advice(State const& board) override;
  int cost(State const& asked) override;
  std::optional<State> answer(State const& asked) override;
};
