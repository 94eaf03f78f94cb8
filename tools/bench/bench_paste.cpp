// One paste of 1,000 lines into the list (Ctrl+V, until the save has ended
// and the window answers again), against the list view's own hidden fill of
// the 1,000 rows the list then holds.
#include <chrono>
#include <cstdio>
#include <string>

#include "bench_rows.h"
#include "clipboard_text.h"
#include "figures.h"
#include "input.h"
#include "launcher_window.h"
#include "program_watch.h"
#include "win_test_support.h"

namespace {

constexpr UINT kLongestPasteMs = 5 * 60 * 1000;
constexpr int kLines = 1000;

struct PasteSamples {
  Samples paste, fill;
};

// Done when config.ini has been replaced and the window answers again.
double TimeUntilStored(launcher_test::RunningLauncher& program, const std::string& configPath,
                       std::chrono::steady_clock::time_point start, const launcher_test::FileStamp& before) {
  while (launcher_test::StampOf(configPath) == before) {
    if (MillisecondsSince(start) > kLongestPasteMs) return -1;
    Sleep(1);
  }
  if (!Answers(program.window(), kLongestPasteMs)) return -1;
  return MillisecondsSince(start);
}

// Keys go to the list: a click below its rows gives it the focus.
void FocusList(launcher_test::RunningLauncher& program) {
  test::WaitOutDoubleClick();
  test::ClickAt(test::CentreOf(program.list()));
  test::WaitOutDoubleClick();
}

PasteSamples MeasurePastes(const RunPlan& plan) {
  launcher_test::ProgramFolder folder;
  const launcher_test::Rows rows = BenchRows(kLines);
  std::wstring text;
  for (const launcher_test::Row& row : rows) text += test::Widen(row.second) + L"\r\n";
  launcher_test::RunningLauncher program;
  if (!folder.ready() || !program.Start(folder, {}, std::chrono::minutes(1)) || !test::PutClipboardText(text)) {
    std::printf("  paste of %d lines: the program did not start or the clipboard took no text\n", kLines);
    return {};
  }
  PasteSamples samples;
  for (int run = 0; plan.More(run); ++run) {
    FocusList(program);
    const launcher_test::FileStamp before = launcher_test::StampOf(folder.ConfigPath());
    const auto start = std::chrono::steady_clock::now();
    test::TapKeyWith({VK_CONTROL}, 'V');
    const double paste = TimeUntilStored(program, folder.ConfigPath(), start, before);
    if (paste < 0 || launcher_test::StoredRows(folder.ConfigPath()) != rows ||
        !ShowsRows(program.window(), kLines, rows.back().second)) {
      std::printf("  paste of %d lines: the paste did not store and show the rows\n", kLines);
      return {};
    }
    samples.paste.Add(paste);
    samples.fill.Add(TimeHiddenFill(rows));
    // Undone for the next run: the list is empty again.
    const launcher_test::FileStamp pasted = launcher_test::StampOf(folder.ConfigPath());
    test::TapKeyWith({VK_CONTROL}, 'Z');
    if (TimeUntilStored(program, folder.ConfigPath(), std::chrono::steady_clock::now(), pasted) < 0 ||
        !ShowsRows(program.window(), 0, {})) {
      std::printf("  paste of %d lines: the undo did not empty the list\n", kLines);
      return {};
    }
  }
  return samples;
}

}  // namespace

int main(int argc, char** argv) {
  PrintTableHead("bench_paste: one paste of 1,000 lines into an empty list");
  const PasteSamples samples = MeasurePastes(RunPlan(argc, argv, 5, std::chrono::seconds(90)));
  if (samples.paste.empty()) return 1;
  PrintFigure({"paste, 1,000 lines", samples.paste.Median(), Labelled("hidden fill", samples.fill.Median()),
               samples.paste.Median() / samples.fill.Median(), false, 1.0});
  PrintSamples("paste", samples.paste);
  PrintSamples("hidden fill", samples.fill);
  return 0;
}
