// Start-up of the program until its window shows the stored rows, against a
// bare window program and the list view's own hidden fill of the same rows;
// with an empty list also against a window of the same controls and nothing
// else, which tells the program's own cost from its controls'.
#include <chrono>
#include <cstdio>

#include "bench_rows.h"
#include "figures.h"
#include "launcher_window.h"
#include "program_watch.h"
#include "win_test_support.h"

namespace {

constexpr auto kLongestStart = std::chrono::minutes(3);

struct StartUpSamples {
  Samples bare, controls, program, fill;
};

StartUpSamples MeasureStartUp(const launcher_test::ProgramFolder& folder, int rows, const RunPlan& plan) {
  const launcher_test::Rows stored = BenchRows(rows);
  // No file at all for the empty list: the program's first start.
  DeleteFileA(folder.ConfigPath().c_str());
  if (rows > 0 && !launcher_test::WriteStored(folder.ConfigPath(), ContentOfRows(stored))) return {};
  const std::string lastText = rows > 0 ? stored.back().second : std::string();

  StartUpSamples samples;
  for (int run = 0; plan.More(run); ++run) {
    // Side by side, so that the machine's load weighs on both alike.
    const double bare = TimeStartUp(
        "\"" + (folder / "bare-window.exe") + "\"", folder.path(), [](HWND window) { return Answers(window); },
        kLongestStart);
    const double program = TimeStartUp(
        "\"" + (folder / "KestrunLauncher.exe") + "\"", folder.path(),
        [&](HWND window) { return ShowsRows(window, rows, lastText); }, kLongestStart);
    const double controls = rows > 0 ? 0
                                     : TimeStartUp(
                                           "\"" + (folder / "controls-window.exe") + "\"", folder.path(),
                                           [](HWND window) { return ShowsRows(window, 0, {}); }, kLongestStart);
    if (bare < 0 || program < 0 || controls < 0) {
      std::printf("  start-up with %d rows: the window did not show them\n", rows);
      return {};
    }
    samples.bare.Add(bare);
    samples.program.Add(program);
    if (rows == 0) samples.controls.Add(controls);
    if (rows > 0) samples.fill.Add(TimeHiddenFill(stored));
  }
  return samples;
}

}  // namespace

int main(int argc, char** argv) {
  launcher_test::ProgramFolder folder;
  if (!folder.ready() || !test::CopyFromBin("bare-window.exe", folder.path()) ||
      !test::CopyFromBin("controls-window.exe", folder.path())) {
    std::printf("bench_startup: could not set up the program folder\n");
    return 1;
  }
  PrintTableHead("bench_startup: start-up to a shown window with its rows");
  struct Case {
    int rows;
    int runs;
    const char* name;
  };
  const Case cases[] = {
      {0, 7, "start-up, empty list"}, {1000, 5, "start-up, 1,000 rows"}, {10000, 3, "start-up, 10,000 rows"}};
  for (const Case& c : cases) {
    const StartUpSamples s = MeasureStartUp(folder, c.rows, RunPlan(argc, argv, c.runs, std::chrono::seconds(90)));
    if (s.program.empty()) return 1;
    const double bare = s.bare.Median();
    const double program = s.program.Median();
    if (c.rows == 0) {
      PrintFigure({c.name, program, Labelled("bare window", bare), program / bare, false, 1.3});
      const double controls = s.controls.Median();
      PrintFigure({"  against the same controls alone", program, Labelled("controls window", controls),
                   program / controls, false, std::nullopt});
      PrintFigure({"  the controls alone, against the bare window", controls, Labelled("bare window", bare),
                   controls / bare, false, std::nullopt});
      PrintSamples("controls window", s.controls);
    } else {
      // The rows may cost what the list itself needs to take them in, and a little more.
      const double fill = s.fill.Median();
      PrintFigure({c.name, program, Labelled("bare window", bare), program / bare, false, std::nullopt});
      PrintFigure({"  beyond the bare window, per hidden fill", program - bare, Labelled("hidden fill", fill),
                   (program - bare) / fill, false, 1.2});
      PrintSamples("hidden fill", s.fill);
    }
    PrintSamples("program", s.program);
    PrintSamples("bare window", s.bare);
  }
  return 0;
}
