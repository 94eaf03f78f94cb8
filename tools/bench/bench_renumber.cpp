// One click of the renumbering button with N rows (until the save has ended
// and the window answers again), against the list view's own hidden fill of
// N rows, and how the click grows from 1,000 to 10,000 rows.
#include <chrono>
#include <cstdio>

#include "bench_rows.h"
#include "figures.h"
#include "launcher_window.h"
#include "program_watch.h"
#include "win_test_support.h"

namespace {

constexpr UINT kLongestClickMs = 15 * 60 * 1000;

struct ClickSamples {
  Samples click, fill;
};

// One click: sent as the button's own click, so that it is handled at once;
// done when config.ini has been replaced and the window answers again.
double TimeClick(launcher_test::RunningLauncher& program, const std::string& configPath) {
  const launcher_test::FileStamp before = launcher_test::StampOf(configPath);
  const auto start = std::chrono::steady_clock::now();
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(program.renumberButton(), BM_CLICK, 0, 0, SMTO_NORMAL, kLongestClickMs, &result)) return -1;
  while (launcher_test::StampOf(configPath) == before) {
    if (MillisecondsSince(start) > kLongestClickMs) return -1;
    Sleep(1);
  }
  if (!Answers(program.window(), kLongestClickMs)) return -1;
  return MillisecondsSince(start);
}

ClickSamples MeasureClicks(int rows, const RunPlan& plan) {
  launcher_test::ProgramFolder folder;
  // Counting down, so that the first click changes every row.
  const launcher_test::Rows stored = BenchRows(rows, true);
  const launcher_test::Rows renumbered = BenchRows(rows);
  launcher_test::RunningLauncher program;
  if (!folder.ready() || !launcher_test::WriteStored(folder.ConfigPath(), ContentOfRows(stored)) ||
      !program.Start(folder, {}, std::chrono::minutes(3)) || !ShowsRows(program.window(), rows, stored.back().second)) {
    std::printf("  renumbering with %d rows: the program did not start with its rows\n", rows);
    return {};
  }
  ClickSamples samples;
  for (int run = 0; plan.More(run); ++run) {
    const double click = TimeClick(program, folder.ConfigPath());
    if (click < 0 || launcher_test::StoredRows(folder.ConfigPath()) != renumbered ||
        !ShowsRows(program.window(), rows, renumbered.back().second)) {
      std::printf("  renumbering with %d rows: the click did not store and show the renumbered rows\n", rows);
      return {};
    }
    samples.click.Add(click);
    samples.fill.Add(TimeHiddenFill(renumbered));
  }
  return samples;
}

}  // namespace

int main(int argc, char** argv) {
  PrintTableHead("bench_renumber: one click of the renumbering button");
  const ClickSamples small = MeasureClicks(1000, RunPlan(argc, argv, 5, std::chrono::seconds(60)));
  if (small.click.empty()) return 1;
  PrintFigure({"click, 1,000 rows", small.click.Median(), Labelled("hidden fill", small.fill.Median()),
               small.click.Median() / small.fill.Median(), false, 1.0});
  PrintFigure({"  repeated click, last over first", small.click.ms.back(),
               Labelled("first click", small.click.ms.front()), small.click.ms.back() / small.click.ms.front(), false,
               std::nullopt});
  PrintSamples("click", small.click);
  PrintSamples("hidden fill", small.fill);

  const ClickSamples large = MeasureClicks(10000, RunPlan(argc, argv, 3, std::chrono::seconds(120)));
  if (large.click.empty()) return 1;
  PrintFigure({"click, 10,000 rows", large.click.Median(), Labelled("hidden fill", large.fill.Median()),
               large.click.Median() / large.fill.Median(), false, 1.0});
  // The first click after start in both, as the later ones may differ.
  const double firstSmall = small.click.ms.front();
  const double firstLarge = large.click.ms.front();
  PrintFigure({"  growth, first click, 1,000 to 10,000", firstLarge, Labelled("first click, 1,000 rows", firstSmall),
               firstLarge / firstSmall, false, 11.0});
  PrintSamples("click", large.click);
  PrintSamples("hidden fill", large.fill);
  return 0;
}
