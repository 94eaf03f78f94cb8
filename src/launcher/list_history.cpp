#include "launcher/list_history.h"

#include <utility>

void ListHistory::Push(ListStep step) {
  if (step.content.size() > maxBytes_ || maxSteps_ == 0) {
    Clear();
    return;
  }
  bytes_ += step.content.size();
  steps_.push_back(std::move(step));
  while (steps_.size() > maxSteps_ || bytes_ > maxBytes_) {
    bytes_ -= steps_.front().content.size();
    steps_.pop_front();
  }
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
