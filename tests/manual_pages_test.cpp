// What each program says of itself: --help and --version, and the manual page help2man makes
// of them, read by groff as a person's man would read it.
#include <gtest/gtest.h>

#include <cctype>

#include "tests/support/interactive_output.h"
#include "tests/support/run_program.h"

namespace {

struct Program {
  char const* path;
  char const* name;
};

std::vector<Program> const kPrograms = {
    {STACKS_SOLVE, "stacks_solve"},
    {STACKS_BATCH, "stacks_batch"},
    {STACKS_INTERACTIVE, "stacks_interactive"},
};

TEST(ManualPages, EveryProgramSaysWhatItIsAndKeepsItsWordsWhole) {
  for (Program const& p : kPrograms) {
    SCOPED_TRACE(p.name);
    ProgramRun const help = run_program({p.path, "--help"});
    EXPECT_EQ(help.exit_status, 0);
    EXPECT_NE(help.out.find("Exit status:"), std::string::npos);
    for (std::string const& line : lines_of(help.out))
      EXPECT_LE(line.size(), 80u) << line;
    EXPECT_EQ(run_program({p.path, "--version"}).out,
              std::string(p.name) + " " STACKS_VERSION "\n");
    ProgramRun const full =
        run_program({"/bin/sh", "-c", std::string(p.path) + " --help >/dev/full"});
    EXPECT_EQ(full.exit_status, 1);
    EXPECT_NE(full.err.find("writing the output failed"), std::string::npos) << full.err;
    EXPECT_EQ(run_program({p.path, "--bogus"}).exit_status, 2);

    std::string const page = std::string(MANUAL_DIR) + "/" + p.name + ".1";
    ProgramRun const groff = run_program({"/usr/bin/groff", "-man", "-Tutf8", "-ww", "-z", page});
    EXPECT_EQ(groff.exit_status, 0);
    EXPECT_EQ(groff.err, "") << "groff's warnings on " << page;
    // Every paragraph starts a sentence: none is the rest of an entry cut off mid-sentence.
    std::vector<std::string> const lines = lines_of(read_file(page));
    for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
      if (lines[i] != ".IP" && lines[i] != ".PP") continue;
      EXPECT_TRUE(std::isupper(static_cast<unsigned char>(lines[i + 1].front())))
          << page << ", line " << i + 2 << ": " << lines[i + 1];
    }
  }
}

}  // namespace
