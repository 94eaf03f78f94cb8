#pragma once
// Drives a list-view control (class "SysListView32") by its window handle,
// in this process (local mode) or in another one (remote mode, where every
// record a message carries is placed in the other process's memory first).

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

class ListViewAccess {
 public:
  ListViewAccess();
  ~ListViewAccess();
  ListViewAccess(const ListViewAccess&) = delete;
  ListViewAccess& operator=(const ListViewAccess&) = delete;

  // Checks the window's class name (case-sensitive; default "SysListView32")
  // and opens its owning process. False, changing nothing, for another class.
  bool Bind(HWND window, bool remote = false, std::optional<std::string> className = std::nullopt);

  std::string GetItemText(std::int32_t row, std::int32_t column = 0, std::int32_t capacity = 260);
  std::int32_t GetCellImage(std::int32_t row, std::int32_t column = 0);
  std::int32_t GetItemCount();
  std::int32_t GetItemParam(std::int32_t row);
  std::int32_t GetColumnCount();

  // The rest of the class's operations follow here.
};
