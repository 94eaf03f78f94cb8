#include "launcher/list_history.h"

#include <utility>

void ListHistory::Push(ListStep step) {
  if (step.content.size() > maxBytes_ || maxSteps_ == 0) {
    Clear();
    return;
  }
  bytes_ += step.content.size();
  steps_.push_back(std::move(step));
  std::size_t dropped = 0;
  while (steps_.size() - dropped > maxSteps_ || bytes_ > maxBytes_) bytes_ -= steps_[dropped++].content.size();
  steps_.erase(steps_.begin(), steps_.begin() + static_cast<std::ptrdiff_t>(dropped));
}

std::optional<ListStep> ListHistory::Pop() {
  if (steps_.empty()) return std::nullopt;
  std::optional<ListStep> step(std::move(steps_.back()));
  steps_.pop_back();
  bytes_ -= step->content.size();
  return step;
}

void ListHistory::Clear() {
  steps_.clear();
  bytes_ = 0;
}
