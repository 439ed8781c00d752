// Ctrl-C (SIGINT) and a scheduler's SIGTERM stop the search at once rather than the process:
// the board being solved is reported with what was proved, the records already written stay
// whole, and the program ends with status 128 + the signal's number, as a shell expects.
#pragma once

#include <atomic>

// Installs the handlers. Reads from standard input are not restarted after a signal, so that a
// batch waiting for its next line stops too.
void catch_interrupts();

// Set once a signal has come.
std::atomic<bool> const* interrupt_flag();
bool interrupted();
// The signal that came, 0 for none.
int interrupt_signal();
