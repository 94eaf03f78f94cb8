// First and second launch of an account with a generated template of 300
// files and 30 MB, against a plain CopyFileW copy of the same tree, and the
// longest time the window keeps a message waiting while a launch runs.
#include <chrono>
#include <cstdio>

#include "bench_rows.h"
#include "figures.h"
#include "launcher_window.h"
#include "input.h"
#include "program_watch.h"
#include "template_tree.h"
#include "win_test_support.h"

namespace {

constexpr int kTemplateFiles = 300;
constexpr long long kTemplateBytes = 30LL * 1024 * 1024;
constexpr char kAccount[] = "13800000001";
constexpr int kEmptiedStep = 30;
constexpr double kLongestLaunchMs = 60 * 1000;  // far beyond any copy of the template

int LogLines(const std::string& path) {
  const std::string log = test::ReadWholeFile(path);
  int lines = 0;
  for (std::size_t at = log.find("\r\n"); at != std::string::npos; at = log.find("\r\n", at + 2)) ++lines;
  return lines;
}

struct Launch {
  double ms = -1;
  double longestWaitMs = 0;
};

// A double-click on the account's row; done when the browser has been
// started, which it logs. The window is asked for an answer all along.
Launch TimeLaunch(launcher_test::RunningLauncher& program, const std::string& logPath) {
  const int before = LogLines(logPath);
  const POINT at = program.RowPoint(0);
  test::WaitOutDoubleClick();
  test::MovePointerTo(at);
  Launch launch;
  AnswerWatch watch(program.window());
  const auto start = std::chrono::steady_clock::now();
  test::DoubleClickAt(at);
  while (LogLines(logPath) == before) {
    if (MillisecondsSince(start) > kLongestLaunchMs) return launch;
    Sleep(1);
  }
  launch.ms = MillisecondsSince(start);
  Answers(program.window());
  launch.longestWaitMs = watch.Stop();
  return launch;
}

double TimeCopy(const std::string& source, const std::string& destination) {
  const auto start = std::chrono::steady_clock::now();
  return CopyTreeWithCopyFile(test::Widen(source), test::Widen(destination)) ? MillisecondsSince(start) : -1;
}

struct LaunchSamples {
  Samples copy, launch, longestWait;
  bool Add(double copyMs, const Launch& launched) {
    if (copyMs < 0 || launched.ms < 0) return false;
    copy.Add(copyMs);
    launch.Add(launched.ms);
    longestWait.Add(launched.longestWaitMs);
    return true;
  }
};

void PrintLaunch(const char* name, const char* baseline, const LaunchSamples& s, std::optional<double> target) {
  PrintFigure({name, s.launch.Median(), Labelled(baseline, s.copy.Median()), s.launch.Median() / s.copy.Median(), false,
               target});
  PrintFigure({"  longest wait for an answer", s.longestWait.Median(), "", s.longestWait.Median(), true, 100});
  PrintSamples("launch", s.launch);
  PrintSamples(baseline, s.copy);
  PrintSamples("longest wait", s.longestWait);
}

}  // namespace

int main(int argc, char** argv) {
  launcher_test::ProgramFolder folder;
  const std::string templateFolder = folder / "UserData__Templete";
  const std::string profile = folder / ("qnv\\" + std::string(kAccount));
  const std::string copy = folder / "plain-copy";
  test::RemoveTree(templateFolder);
  launcher_test::RunningLauncher program;
  if (!folder.ready() || !WriteTemplateTree(templateFolder, kTemplateFiles, kTemplateBytes) ||
      !launcher_test::WriteStored(folder.ConfigPath(), ContentOfRows({{"1", kAccount}})) || !program.Start(folder)) {
    std::printf("bench_launch: could not set up the program folder\n");
    return 1;
  }
  program.SetBrowserPathText(folder.BrowserPath());
  const TreeSize templateSize = SizeOfTree(templateFolder);

  LaunchSamples first, again;
  int againIncomplete = 0;  // second launches that left emptied files as they were
  const RunPlan plan(argc, argv, 5, std::chrono::seconds(90));
  int runs = 0;
  for (; plan.More(runs); ++runs) {
    // Side by side, taking turns at going first.
    const bool copyFirst = runs % 2 == 0;
    double copyMs = copyFirst ? TimeCopy(templateFolder, copy) : 0;
    Launch launched = TimeLaunch(program, folder.LogPath());
    if (!copyFirst) copyMs = TimeCopy(templateFolder, copy);
    const bool copiedWhole = SizeOfTree(profile) == templateSize && SizeOfTree(copy) == templateSize;
    if (!copiedWhole || !first.Add(copyMs, launched)) {
      std::printf("bench_launch: the first launch or the plain copy did not copy the whole template\n");
      return 1;
    }
    // Once more over the copies that are there now. A few files of each are
    // emptied, so that the sizes show whether the copies replaced them.
    if (!EmptyEvery(profile, kEmptiedStep) || !EmptyEvery(copy, kEmptiedStep)) return 1;
    copyMs = copyFirst ? TimeCopy(templateFolder, copy) : 0;
    launched = TimeLaunch(program, folder.LogPath());
    if (!copyFirst) copyMs = TimeCopy(templateFolder, copy);
    if (SizeOfTree(copy) != templateSize || !again.Add(copyMs, launched)) {
      std::printf("bench_launch: the second launch or the plain copy failed\n");
      return 1;
    }
    if (SizeOfTree(profile) != templateSize) ++againIncomplete;
    test::RemoveTree(copy);
    test::RemoveTree(profile);
  }

  char name[96];
  std::snprintf(name, sizeof name, "bench_launch: a launch with a template of %d files, %lld MB", templateSize.files,
                templateSize.bytes >> 20);
  PrintTableHead(name);
  PrintLaunch("first launch (no profile yet)", "plain copy", first, 1.2);
  PrintLaunch("second launch (profile there)", "plain copy over it", again, std::nullopt);
  if (againIncomplete > 0)
    std::printf("  note: %d of %d second launches did not replace every template file in the profile\n",
                againIncomplete, runs);
  return 0;
}
