#include "search/proof/shared_proof.h"

void ProofSharing::finish() {
  std::function<void()> const settle = proof_->settle;
  proof_.reset();
  if (!helpers_) return;
  helpers_->stop();
  helper_expanded_ += helpers_->expanded();
  helpers_.reset();
  settle();
}
