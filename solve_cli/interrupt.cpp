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
  action.sa_flags = SA_RESETHAND;  // no SA_RESTART: a blocked read returns
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
