#pragma once
// Which rows of the account list have a browser running on their profile, by
// the markers the browser keeps. A refresh costs one walk over the markers and
// one over the rows.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

class OpenRows {
 public:
  // Profiles lie in folders of `profileRoot`, which the markers name.
  explicit OpenRows(const std::string& profileRoot);

  // Looks at the markers and the list's rows again; true when a row changed
  // between open and not open (or the rows came or went).
  bool Refresh(HWND list);
  // False for a row that was not there at the last refresh.
  bool IsOpen(std::int32_t row) const;

 private:
  std::string rootPrefix_;  // "<profile root>\", upper case
  std::vector<bool> open_;
};
