#include "launcher/open_rows.h"

#include <algorithm>

#include "host/code_page.h"
#include "host/list_control.h"
#include "host/text.h"
#include "host/window.h"

namespace {
constexpr std::int32_t kAccountColumn = 1;

// Marker titles and profile folders compare as the system compares window
// titles: without regard to case.
std::unordered_set<std::string> CurrentMarkers() {
  std::unordered_set<std::string> markers;
  for (const std::string& title : ListProfileMarkers()) markers.insert(UpperCaseAnsi(title));
  return markers;
}
}  // namespace

OpenRows::OpenRows(const std::string& profileRoot) : rootPrefix_(UpperCaseAnsi(JoinTexts({profileRoot, "\\"}))) {}

bool OpenRows::RowsChanged(HWND list) {
  rows_ = std::max(ListRowCount(list), 0);
  profiles_.clear();
  for (std::int32_t row = 0; row < rows_; ++row) {
    const std::string account = ListGetCellText(list, row, kAccountColumn);
    if (!account.empty()) profiles_.emplace_back(rootPrefix_ + UpperCaseAnsi(account), row);
  }
  markers_ = CurrentMarkers();
  return MarkRows();
}

bool OpenRows::Refresh() {
  std::unordered_set<std::string> markers = CurrentMarkers();
  if (markers == markers_) return false;
  markers_ = std::move(markers);
  return MarkRows();
}

bool OpenRows::MarkRows() {
  std::vector<bool> open(static_cast<std::size_t>(rows_), false);
  if (!markers_.empty())
    for (const auto& [profile, row] : profiles_) open[static_cast<std::size_t>(row)] = markers_.count(profile) > 0;
  const bool changed = open != open_;
  open_ = std::move(open);
  return changed;
}

bool OpenRows::IsOpen(std::int32_t row) const {
  return row >= 0 && static_cast<std::size_t>(row) < open_.size() && open_[static_cast<std::size_t>(row)];
}
