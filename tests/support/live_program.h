// A program run with its input kept open, through pipes or on a pseudo-terminal, for tests of
// what it shows before it waits for the person. Every wait has a deadline, and a program still
// running when the object goes is killed, so a program that misbehaves fails the test instead
// of hanging it.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

class LiveProgram {
 public:
  enum class Wiring {
    kPipes,           // standard input and output are pipes, standard error goes nowhere
    kPseudoTerminal,  // all three are one terminal, which echoes input and ends lines in "\r\n"
  };

  LiveProgram(std::string const& path, Wiring wiring);
  // argv[0] with the arguments argv[1..].
  LiveProgram(std::vector<std::string> const& argv, Wiring wiring);
  ~LiveProgram();
  LiveProgram(LiveProgram const&) = delete;
  LiveProgram& operator=(LiveProgram const&) = delete;

  // Reads output until done(everything read so far) holds; false when the deadline passes or
  // the output ends first.
  bool wait_for(std::function<bool(std::string const&)> const& done,
                std::chrono::milliseconds deadline);
  // Same, until the output holds `text` at least `times` times.
  bool wait_for_text(std::string const& text, int times, std::chrono::milliseconds deadline);
  void send(std::string const& text);
  // Sends the signal to the program, as a terminal's Ctrl-C or a scheduler would.
  void signal(int number);
  // Ends the input: closes the pipe, or types the terminal's end-of-file character.
  void end_input();
  bool running();
  // The exit status, reading output until the program exits; -1 when it ends abnormally or
  // is still running at the deadline (it is then killed).
  int wait_exit(std::chrono::milliseconds deadline);

  std::string const& output() const { return output_; }

 private:
  // Reads what is there within `wait`; false once the output has ended.
  bool read_some(std::chrono::milliseconds wait);

  Wiring wiring_;
  pid_t pid_ = -1;
  int to_program_ = -1;
  int from_program_ = -1;
  bool output_ended_ = false;
  int exit_status_ = -1;
  bool reaped_ = false;
  std::string output_;
};

// Counts the times `text` occurs in `in`, without overlaps.
int occurrences(std::string const& in, std::string const& text);
