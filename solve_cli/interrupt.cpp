#include "solve_cli/interrupt.h"

#include <csignal>

namespace {

// A lock-free atomic is safe to set in a signal handler.
std::atomic<bool> g_interrupted{false};
volatile std::sig_atomic_t g_signal = 0;
static_assert(std::atomic<bool>::is_always_lock_free);

extern "C" void on_interrupt(int signal) {
  g_signal = signal;
  g_interrupted.store(true, std::memory_order_relaxed);
}

}  // namespace

void catch_interrupts() {
  struct sigaction action {};
  action.sa_handler = on_interrupt;
  sigemptyset(&action.sa_mask);
  // No SA_RESTART: a blocked read returns. The handler stays: a signal often comes twice (from
  // `timeout` or a scheduler, to the process and to its group), and the search stops at once
  // anyway.
  action.sa_flags = 0;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

std::atomic<bool> const* interrupt_flag() {
  return &g_interrupted;
}

bool interrupted() {
  return g_interrupted.load(std::memory_order_relaxed);
}

int interrupt_signal() {
  return g_signal;
}
