#include "figures.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

double Samples::Median() const {
  if (ms.empty()) return 0;
  std::vector<double> sorted = ms;
  std::sort(sorted.begin(), sorted.end());
  const std::size_t middle = sorted.size() / 2;
  return sorted.size() % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
}

std::string Samples::List() const {
  std::string text;
  for (double value : ms) {
    if (!text.empty()) text += ' ';
    text += std::to_string(std::lround(value));
  }
  return text;
}

RunPlan::RunPlan(int argc, char** argv, int normal, std::chrono::seconds budget)
    : runs_(argc > 1 ? std::atoi(argv[1]) : 0), asked_(runs_ > 0), budget_(budget) {
  if (!asked_) runs_ = normal;
}

bool RunPlan::More(int done) const {
  if (done >= runs_) return false;
  return asked_ || done == 0 || std::chrono::steady_clock::now() - start_ < budget_;
}

std::string Labelled(const char* what, double ms) {
  char text[96];
  std::snprintf(text, sizeof text, "%s %.0f ms", what, ms);
  return text;
}

void PrintTableHead(const char* bench) {
  std::printf("\n%s (medians; each ratio against its baseline measured in the same run)\n", bench);
  std::printf("  %-40s %11s  %-34s %10s  %s\n", "figure", "measured", "baseline", "value", "target");
}

namespace {

std::string FormatValue(double value, bool isMs) {
  char text[32];
  std::snprintf(text, sizeof text, isMs ? "%.0f ms" : "%.2fx", value);
  return text;
}

std::string TargetText(const FigureLine& line) {
  if (!line.target) return "-";
  return "<= " + FormatValue(*line.target, line.valueIsMs) + (line.value <= *line.target ? "  met" : "  MISSED");
}

}  // namespace

void PrintFigure(const FigureLine& line) {
  std::printf("  %-40s %8.0f ms  %-34s %10s  %s\n", line.figure.c_str(), line.measuredMs, line.baseline.c_str(),
              FormatValue(line.value, line.valueIsMs).c_str(), TargetText(line).c_str());
  std::fflush(stdout);
}

void PrintSamples(const std::string& what, const Samples& samples) {
  std::printf("      %s, ms: %s\n", what.c_str(), samples.List().c_str());
  std::fflush(stdout);
}
