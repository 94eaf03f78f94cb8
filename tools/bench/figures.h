#pragma once
// The benchmarks' figures: samples in milliseconds, their medians, and one
// printed line per figure with its baseline, the ratio and the target.

#include <chrono>
#include <optional>
#include <string>
#include <vector>

struct Samples {
  std::vector<double> ms;
  void Add(double value) { ms.push_back(value); }
  bool empty() const { return ms.empty(); }
  // The median; 0 when there are no samples.
  double Median() const;
  // "372 368 380": each sample, rounded to whole milliseconds.
  std::string List() const;
};

struct FigureLine {
  std::string figure;
  double measuredMs = 0;
  std::string baseline;  // what the figure is compared with, and its value
  double value = 0;      // the figure as compared: a ratio, or milliseconds
  bool valueIsMs = false;
  std::optional<double> target;  // the largest value the target allows
};

// How many times a figure is measured: the count asked for on the command
// line (a number as the first argument) exactly, else up to `normal` times,
// starting no further run once `budget` has been spent on the figure, so that
// a slow figure still leaves time for the others.
class RunPlan {
 public:
  RunPlan(int argc, char** argv, int normal, std::chrono::seconds budget);
  // Whether another run is due after `done` runs.
  bool More(int done) const;

 private:
  int runs_;
  bool asked_;
  std::chrono::seconds budget_;
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

// "hidden fill 440 ms": a baseline's name and value.
std::string Labelled(const char* what, double ms);

void PrintTableHead(const char* bench);
void PrintFigure(const FigureLine& line);
// The samples behind a figure, indented under it.
void PrintSamples(const std::string& what, const Samples& samples);
