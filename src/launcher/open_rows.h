#pragma once
// Which rows of the account list have a browser running on their profile, by
// the markers the browser keeps. The rows' accounts are read once per change
// of the list; a refresh then looks at the markers only, and works out the
// rows again only when the markers changed.

#include <windows.h>

#include <cstdint>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

class OpenRows {
 public:
  // Profiles lie in folders of `profileRoot`, which the markers name.
  explicit OpenRows(const std::string& profileRoot);

  // After a change of the list: reads every row's account again, and the
  // markers. True when a row changed between open and not open (or the rows
  // came or went).
  bool RowsChanged(HWND list);
  // Looks at the markers again, reading no row; true as for RowsChanged.
  bool Refresh();
  // False for a row that was not there at the last change of the list.
  bool IsOpen(std::int32_t row) const;

 private:
  // Marks the rows whose profile has a marker; true when a mark changed.
  bool MarkRows();

  std::string rootPrefix_;  // "<profile root>\", upper case
  std::int32_t rows_ = 0;
  // The profile folder of each row that has an account text, upper case.
  std::vector<std::pair<std::string, std::int32_t>> profiles_;
  std::unordered_set<std::string> markers_;  // the markers' titles, upper case
  std::vector<bool> open_;
};
