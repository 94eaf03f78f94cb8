#include "launcher/open_rows.h"

#include <string>
#include <unordered_set>

#include "host/code_page.h"
#include "host/list_control.h"
#include "host/text.h"
#include "host/window.h"

namespace {
constexpr std::int32_t kAccountColumn = 1;
}  // namespace

// Marker titles and profile folders compare as the system compares window
// titles: without regard to case.
OpenRows::OpenRows(const std::string& profileRoot) : rootPrefix_(UpperCaseAnsi(JoinTexts({profileRoot, "\\"}))) {}

bool OpenRows::Refresh(HWND list) {
  const std::int32_t rows = ListRowCount(list);
  std::vector<bool> open(static_cast<std::size_t>(rows > 0 ? rows : 0), false);
  const std::vector<std::string> markers = ListProfileMarkers();
  if (!markers.empty()) {
    std::unordered_set<std::string> running;
    running.reserve(markers.size());
    for (const std::string& title : markers) running.insert(UpperCaseAnsi(title));
    for (std::int32_t row = 0; row < rows; ++row) {
      const std::string account = ListGetCellText(list, row, kAccountColumn);
      if (!account.empty())
        open[static_cast<std::size_t>(row)] = running.count(rootPrefix_ + UpperCaseAnsi(account)) > 0;
    }
  }
  const bool changed = open != open_;
  open_ = std::move(open);
  return changed;
}

bool OpenRows::IsOpen(std::int32_t row) const {
  return row >= 0 && static_cast<std::size_t>(row) < open_.size() && open_[static_cast<std::size_t>(row)];
}
