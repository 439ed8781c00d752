// The page of --html in a real browser (headless Chromium): stepped through by its arrow keys
// and opened at a step by its address, it shows the request, cost and moves of the JSON line.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "tests/support/run_program.h"

namespace {

using Json = nlohmann::json;
using namespace std::chrono_literals;

// A folder of this process's own: ctest runs the tests of a file side by side.
std::string const kScratch =
    testing::TempDir() + "replay_page_test_" + std::to_string(getpid()) + "/";

ProgramRun solve(std::vector<std::string> args) {
  args.insert(args.begin(), STACKS_SOLVE);
  return run_program(args);
}

// Chromium, headless, with a profile of its own so that runs in parallel do not meet.
ProgramRun browse(std::vector<std::string> const& args) {
  char const* const given = std::getenv("CHROMIUM");
  std::vector<std::string> argv = {"/bin/sh", "-c",
                                   std::string(given ? given : "chromium") +
                                       " --headless --no-sandbox --disable-gpu --no-first-run"
                                       " --user-data-dir=\"$0\" \"$@\" 2>/dev/null",
                                   kScratch + "profile"};
  argv.insert(argv.end(), args.begin(), args.end());
  return run_program(argv, "", {90s, std::size_t{16} << 20});
}

// Why no browser can be used here; empty when one starts and runs a script.
std::string browser_problem() {
  static std::string const problem = [] {
    std::filesystem::create_directories(kScratch);
    std::ofstream(kScratch + "probe.html") << "<body><script>document.body.id='ran'</script>";
    ProgramRun const run = browse({"--dump-dom", "file://" + kScratch + "probe.html"});
    if (run.out.find("id=\"ran\"") != std::string::npos) return std::string();
    return "no browser could be started (chromium, or the one $CHROMIUM names; exit status " +
           std::to_string(run.exit_status) + (run.stopped.empty() ? "" : ", " + run.stopped) + ")";
  }();
  return problem;
}

class ReplayPage : public testing::Test {
 protected:
  void SetUp() override {
    std::string const problem = browser_problem();
    if (problem.empty()) return;
    // CI installs the browser (scripts/install-deps.sh): there a missing one is a failure.
    char const* const ci = std::getenv("CI");
    if (ci != nullptr && std::string(ci) == "true") FAIL() << problem;
    GTEST_SKIP() << problem << ": the browser tests of the --html page are skipped";
  }
};

// The page with a script after its own that presses the right arrow key through every step
// and leaves what each step showed in a <pre id="trace">, as JSON.
std::string page_that_records_every_step(std::string page) {
  std::string const script = R"(<script>
(function () {
  var seen = [];
  function text(id) { return document.getElementById(id).textContent; }
  for (var i = 0; i < 1000; ++i) {
    var request = document.getElementById("request").dataset;
    seen.push({position: text("position"), heading: text("heading"), title: document.title,
               cost_label: text("cost-label"),
               column: request.column === undefined ? -1 : +request.column,
               slot: request.slot === undefined ? -1 : +request.slot, cost: text("cost"),
               so_far: +text("so-far"), value: text("value"),
               landings: document.querySelectorAll("#picture rect.landing").length,
               requests: document.getElementById("requests").hidden ? -1
                         : document.querySelectorAll("#requests tbody tr").length});
    if (document.getElementById("next").disabled) break;
    document.dispatchEvent(new KeyboardEvent("keydown", {key: "ArrowRight"}));
  }
  var pre = document.createElement("pre");
  pre.id = "trace";
  pre.textContent = JSON.stringify(seen);
  document.body.appendChild(pre);
})();
</script>)";
  page.insert(page.rfind("</body>"), script);
  return page;
}

// The text between <pre id="trace"> and </pre>, entities undone.
Json trace_of(std::string const& dom) {
  std::string const open = "<pre id=\"trace\">";
  std::size_t const start = dom.find(open);
  if (start == std::string::npos) return Json();
  std::string text = dom.substr(start + open.size(), dom.find("</pre>", start) - start - open.size());
  for (auto const& [entity, character] : std::vector<std::pair<std::string, std::string>>{
           {"&quot;", "\""}, {"&lt;", "<"}, {"&gt;", ">"}, {"&amp;", "&"}}) {
    for (std::size_t at = text.find(entity); at != std::string::npos; at = text.find(entity, at))
      text.replace(at, entity.size(), character);
  }
  return Json::parse(text);
}

// A number of moves of the JSON record as the page writes it: whole numbers as they are, in
// random order too; others rounded with the exact fraction.
std::string number_text(Json const& step, std::string const& key) {
  if (step[key].is_null()) return "none";
  if (!step.contains(key + "_fraction")) return std::to_string(step[key].get<int>());
  std::string const fraction = step[key + "_fraction"].get<std::string>();
  if (fraction.ends_with("/1")) return fraction.substr(0, fraction.size() - 2);
  char rounded[64];
  std::snprintf(rounded, sizeof rounded, "%.6f", step[key].get<double>());
  return std::string(rounded) + " (" + fraction + ")";
}

// A step's cost, or on the line of a search that stopped, its bounds.
std::string cost_text(Json const& step) {
  if (step.contains("lower") && step["cost"].is_null()) {
    return number_text(step, "lower") + " to " + number_text(step, "upper");
  }
  return number_text(step, "cost");
}

TEST_F(ReplayPage, EveryStepShowsTheRequestCostAndMovesOfTheJsonLine) {
  std::ofstream(kScratch + "groups.txt") << "4 4 9\n3 1 3 2\n2 2 0\n3 3 1 2\n1 1\n";
  struct Case {
    std::vector<std::string> yard;
    std::string heading;
    std::string value;  // shown as the value of the yard; empty: the record's value
  };
  std::vector<Case> const cases = {
      {{"--board", "12221000/12120000/11100000/12100000/12200000"}, "Best line of play", ""},
      {{"--board", "11100/11220/21200"}, "Best line of play", ""},
      {{"--instance", kScratch + "groups.txt", "--within", "random"},
       "Unluckiest line of play",
       ""},
      {{"--instance", kScratch + "groups.txt", "--within", "best"}, "Best line of play", ""},
      // Stopped at once: the line behind the upper bound, each cost between its bounds.
      {{"--board", "22100/12210/00000/11200/21100", "--time-limit", "1e-9"},
       "Line of play behind the upper bound",
       "at least 6, at most 8 (gap 25.0%)"},
  };
  for (Case const& c : cases) {
    std::vector<std::string> const& yard = c.yard;
    std::string const name = yard[1];
    std::vector<std::string> args = yard;
    args.push_back("--requests");
    args.push_back("--json");
    Json const record = Json::parse(solve(args).out);
    args.back() = "--html";
    args.push_back(kScratch + "page.html");
    ASSERT_EQ(solve(args).exit_status, c.value.empty() ? 0 : 4) << name;
    std::ofstream(kScratch + "traced.html")
        << page_that_records_every_step(read_file(kScratch + "page.html"));

    Json const seen = trace_of(browse({"--dump-dom", "file://" + kScratch + "traced.html"}).out);
    Json const& line = record["line"];
    std::string const value = c.value.empty() ? number_text(record, "value") : c.value;
    ASSERT_EQ(seen.size(), line.size() + 2) << name << "\n" << seen.dump();
    int so_far = 0;
    for (std::size_t i = 0; i < seen.size(); ++i) {
      Json const& shown = seen[i];
      EXPECT_EQ(shown["position"], "step " + std::to_string(i) + " of " + std::to_string(seen.size() - 1));
      EXPECT_EQ(shown["value"], value) << name;
      EXPECT_EQ(shown["heading"], c.heading) << name;
      EXPECT_EQ(shown["title"], c.heading) << name;
      EXPECT_EQ(shown["cost_label"], "Cost of the request (moves from here to the end)");
      if (i == 0 || i == seen.size() - 1) {
        EXPECT_EQ(shown["column"], -1) << name << " step " << i;
        EXPECT_EQ(shown["cost"], "-") << name << " step " << i;
        EXPECT_EQ(shown["so_far"], so_far) << name << " step " << i;
        continue;
      }
      Json const& step = line[i - 1];
      so_far += static_cast<int>(step["moves"].size());
      EXPECT_EQ(shown["column"], step["target"][0]) << name << " step " << i;
      EXPECT_EQ(shown["slot"], step["target"][1]) << name << " step " << i;
      EXPECT_EQ(shown["cost"], cost_text(step)) << name << " step " << i;
      EXPECT_EQ(shown["so_far"], so_far) << name << " step " << i;
      EXPECT_EQ(shown["landings"], step["moves"].size()) << name << " step " << i;
      // A stopped search knows no request's cost.
      EXPECT_EQ(shown["requests"].get<int>() > 0, c.value.empty()) << name << " step " << i;
    }
    if (c.value.empty()) {
      EXPECT_EQ(seen[1]["requests"], record["requests"].size()) << name;
    }
  }
}

TEST_F(ReplayPage, TheAddressOpensAStepAndAScreenshotOfItIsKept) {
  std::vector<std::string> const yard = {"--board", "12221000/12120000/11100000/12100000/12200000"};
  std::vector<std::string> args = yard;
  args.push_back("--json");
  Json const record = Json::parse(solve(args).out);
  args.back() = "--html";
  args.push_back(kScratch + "page.html");
  ASSERT_EQ(solve(args).exit_status, 0);
  std::string const address = "file://" + kScratch + "page.html#step=3";
  std::string const dom = browse({"--dump-dom", address}).out;
  Json const& target = record["line"][2]["target"];
  EXPECT_NE(dom.find("data-column=\"" + std::to_string(target[0].get<int>()) + "\" data-slot=\"" +
                     std::to_string(target[1].get<int>()) + "\""),
            std::string::npos)
      << dom;
  EXPECT_NE(dom.find("step 3 of " + std::to_string(record["line"].size() + 1)), std::string::npos);

  std::string const screenshot = std::string(ARTEFACT_DIR) + "/replay_page_step3.png";
  std::remove(screenshot.c_str());
  browse({"--screenshot=" + screenshot, "--window-size=1100,900", "--hide-scrollbars", address});
  EXPECT_EQ(read_file(screenshot).substr(0, 8), "\x89PNG\r\n\x1a\n");
}

}  // namespace
