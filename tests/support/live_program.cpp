#include "tests/support/live_program.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <stdexcept>

namespace {

using Clock = std::chrono::steady_clock;

[[noreturn]] void exec_program(std::vector<std::string> const& argv) {
  std::vector<char*> args;
  for (auto const& a : argv)
    args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  execv(args[0], args.data());
  _exit(127);
}

int status_of(int wait_status) {
  return WIFEXITED(wait_status) ? WEXITSTATUS(wait_status) : -1;
}

}  // namespace

LiveProgram::LiveProgram(std::string const& path, Wiring wiring)
    : LiveProgram(std::vector<std::string>{path}, wiring) {}

LiveProgram::LiveProgram(std::vector<std::string> const& argv, Wiring wiring) : wiring_(wiring) {
  std::signal(SIGPIPE, SIG_IGN);  // the program may be gone when the test writes to it
  if (wiring == Wiring::kPseudoTerminal) {
    int terminal = -1;
    pid_ = forkpty(&terminal, nullptr, nullptr, nullptr);
    if (pid_ < 0) throw std::runtime_error("forkpty failed");
    if (pid_ == 0) exec_program(argv);
    to_program_ = terminal;
    from_program_ = terminal;
    return;
  }
  int in[2], out[2];
  if (pipe(in) != 0) throw std::runtime_error("pipe failed");
  if (pipe(out) != 0) throw std::runtime_error("pipe failed");
  pid_ = fork();
  if (pid_ < 0) throw std::runtime_error("fork failed");
  if (pid_ == 0) {
    int const nowhere = open("/dev/null", O_WRONLY);
    dup2(in[0], 0);
    dup2(out[1], 1);
    dup2(nowhere, 2);
    for (int fd : {in[0], in[1], out[0], out[1], nowhere})
      close(fd);
    exec_program(argv);
  }
  close(in[0]);
  close(out[1]);
  to_program_ = in[1];
  from_program_ = out[0];
}

LiveProgram::~LiveProgram() {
  if (!reaped_ && pid_ > 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  if (to_program_ >= 0 && to_program_ != from_program_) close(to_program_);
  if (from_program_ >= 0) close(from_program_);
}

bool LiveProgram::read_some(std::chrono::milliseconds wait) {
  if (output_ended_) return false;
  pollfd p{from_program_, POLLIN, 0};
  int const ready = poll(&p, 1, static_cast<int>(wait.count()));
  if (ready <= 0) return true;
  char buffer[4096];
  ssize_t const n = read(from_program_, buffer, sizeof buffer);
  // A terminal whose program has gone reports EIO instead of end of file.
  if (n <= 0) {
    output_ended_ = true;
    return false;
  }
  output_.append(buffer, static_cast<std::size_t>(n));
  return true;
}

bool LiveProgram::wait_for(std::function<bool(std::string const&)> const& done,
                           std::chrono::milliseconds deadline) {
  auto const end = Clock::now() + deadline;
  while (!done(output_)) {
    auto const left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
    if (left.count() <= 0 || !read_some(left)) return done(output_);
  }
  return true;
}

bool LiveProgram::wait_for_text(std::string const& text, int times,
                                std::chrono::milliseconds deadline) {
  return wait_for([&](std::string const& out) { return occurrences(out, text) >= times; },
                  deadline);
}

void LiveProgram::send(std::string const& text) {
  std::size_t sent = 0;
  while (sent < text.size()) {
    ssize_t const n = write(to_program_, text.data() + sent, text.size() - sent);
    if (n <= 0) throw std::runtime_error("the program does not take input");
    sent += static_cast<std::size_t>(n);
  }
}

void LiveProgram::end_input() {
  if (wiring_ == Wiring::kPseudoTerminal) {
    send("\x04");  // ^D at the start of a line: the terminal's end of file
  } else if (to_program_ >= 0) {
    close(to_program_);
    to_program_ = -1;
  }
}

void LiveProgram::signal(int number) {
  if (!reaped_ && pid_ > 0) kill(pid_, number);
}

bool LiveProgram::running() {
  if (reaped_) return false;
  int status = 0;
  if (waitpid(pid_, &status, WNOHANG) != pid_) return true;
  reaped_ = true;
  exit_status_ = status_of(status);
  return false;
}

int LiveProgram::wait_exit(std::chrono::milliseconds deadline) {
  auto const end = Clock::now() + deadline;
  while (running()) {
    if (Clock::now() >= end) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
      reaped_ = true;
      return -1;
    }
    // Once the output is over the exit is at hand; sleep rather than spin on a closed stream.
    if (!read_some(std::chrono::milliseconds(50))) usleep(10000);
  }
  // What the program wrote just before it exited.
  for (pollfd p{from_program_, POLLIN, 0}; !output_ended_ && poll(&p, 1, 0) > 0;) {
    if (!read_some(std::chrono::milliseconds(0))) break;
  }
  return exit_status_;
}

int occurrences(std::string const& in, std::string const& text) {
  int count = 0;
  for (auto at = in.find(text); at != std::string::npos; at = in.find(text, at + text.size()))
    ++count;
  return count;
}
