#pragma once
// The list as it was before each change of this run, newest last, for undo.
// Whole contents are kept (a list of 200 accounts takes a few kilobytes), up
// to a number of steps and a total of bytes: a list near the stored limit
// keeps only a step or two, so that undo never exhausts a 32-bit process.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "host/bytes.h"
#include "launcher/row_map.h"

struct ListStep {
  Bytes content;  // the list's whole content before the change
  RowMap back;    // from the rows after the change to the rows of `content`
};

class ListHistory {
 public:
  static constexpr std::size_t kSteps = 100;
  static constexpr std::size_t kBytes = 32u << 20;

  ListHistory(std::size_t steps = kSteps, std::size_t bytes = kBytes) : maxSteps_(steps), maxBytes_(bytes) {}

  // Keeps the step; the oldest steps go while there are too many or they take
  // too much. A step larger than the whole allowance empties the history: an
  // undo never leaps over a change.
  void Push(ListStep step);
  // The newest step, taken out; none when there is nothing to undo.
  std::optional<ListStep> Pop();
  void Clear();
  std::size_t Steps() const { return steps_.size(); }
  std::size_t HeldBytes() const { return bytes_; }

 private:
  std::size_t maxSteps_;
  std::size_t maxBytes_;
  std::vector<ListStep> steps_;  // oldest first; few enough to move along
  std::size_t bytes_ = 0;
};
