#include "tests/support/run_program.h"

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string_view>

namespace {

using Clock = std::chrono::steady_clock;

// Milliseconds left until `end`, as poll takes them.
int poll_wait(Clock::time_point end) {
  auto const left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
  return static_cast<int>(std::clamp<long long>(left.count(), 0, 60'000));
}

}  // namespace

ProgramRun run_program(std::vector<std::string> const& argv, std::string const& input,
                       RunLimits limits) {
  auto const end = Clock::now() + limits.deadline;
  int in[2], out[2], err[2];
  if (pipe(in) != 0 || pipe(out) != 0 || pipe(err) != 0) throw std::runtime_error("pipe failed");
  pid_t const pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    setpgid(0, 0);
    dup2(in[0], 0);
    dup2(out[1], 1);
    dup2(err[1], 2);
    for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]})
      close(fd);
    std::vector<char*> args;
    for (auto const& a : argv)
      args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
  }
  setpgid(pid, pid);  // both sides, so that the group exists before either goes on
  close(in[0]);
  close(out[1]);
  close(err[1]);
  std::signal(SIGPIPE, SIG_IGN);  // the program may exit before reading all its input

  ProgramRun run;
  std::size_t written = 0;
  if (input.empty()) close(in[1]);
  bool in_open = !input.empty(), out_open = true, err_open = true;
  while ((out_open || err_open) && run.stopped.empty()) {
    std::vector<pollfd> fds;
    if (in_open) fds.push_back({in[1], POLLOUT, 0});
    if (out_open) fds.push_back({out[0], POLLIN, 0});
    if (err_open) fds.push_back({err[0], POLLIN, 0});
    if (poll(fds.data(), fds.size(), poll_wait(end)) == 0 && Clock::now() >= end) {
      run.stopped = "still running after " + std::to_string(limits.deadline.count()) + " ms";
      break;
    }
    for (auto const& p : fds) {
      if (p.revents == 0) continue;
      if (p.fd == in[1]) {
        ssize_t const n = write(in[1], input.data() + written, input.size() - written);
        if (n > 0) written += static_cast<std::size_t>(n);
        if (n < 0 || written == input.size()) {
          close(in[1]);
          in_open = false;
        }
        continue;
      }
      char buffer[65536];
      ssize_t const n = read(p.fd, buffer, sizeof buffer);
      std::string& sink = p.fd == out[0] ? run.out : run.err;
      if (n > 0) {
        sink.append(buffer, static_cast<std::size_t>(n));
        if (run.out.size() + run.err.size() > limits.max_output) {
          run.stopped = "wrote more than " + std::to_string(limits.max_output) + " bytes";
          break;
        }
      } else {
        close(p.fd);
        (p.fd == out[0] ? out_open : err_open) = false;
      }
    }
  }
  if (in_open) close(in[1]);
  if (out_open) close(out[0]);
  if (err_open) close(err[0]);
  if (!run.stopped.empty()) kill(-pid, SIGKILL);
  int status = 0;
  waitpid(pid, &status, 0);
  run.exit_status = WIFEXITED(status) && run.stopped.empty() ? WEXITSTATUS(status) : -1;
  return run;
}

namespace {

// A figure as an output stream writes a double by default: digits with an optional fraction,
// and an optional exponent such as e-06.
bool is_time_figure(std::string_view text) {
  std::size_t i = 0;
  auto digits = [&] {
    std::size_t const start = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9')
      ++i;
    return i > start;
  };
  if (!digits()) return false;
  if (i < text.size() && text[i] == '.' && (++i, !digits())) return false;
  if (i < text.size() && text[i] == 'e') {
    ++i;
    if (i >= text.size() || (text[i] != '-' && text[i] != '+')) return false;
    ++i;
    if (!digits()) return false;
  }
  return i == text.size();
}

}  // namespace

std::string mask_time(std::string const& output) {
  std::string_view const head = "Time taken: ";
  std::string_view const tail = " seconds\n";
  if (output.compare(0, head.size(), head) != 0) return output;
  std::size_t const end = output.find(tail, head.size());
  if (end == std::string::npos) return output;
  if (!is_time_figure(std::string_view(output).substr(head.size(), end - head.size()))) {
    return output;
  }
  return std::string(head) + "<TIME>" + output.substr(end);
}

std::string read_file(std::string const& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}
