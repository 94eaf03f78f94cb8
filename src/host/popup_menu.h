#pragma once
// A popup menu chosen from with the mouse or by the items' access keys.

#include <windows.h>

#include <string>
#include <vector>

struct PopupItem {
  unsigned command = 0;  // 0: a separator
  std::wstring text;     // "&" marks the access key, a tab the shortcut shown beside it
  bool enabled = true;
};

// Shows the items as a popup menu with its top left corner at `screen`
// (moved by the system to stay on the screen), owned by the top-level window
// of `window`, and returns
// once the user chose an item or left the menu: the chosen command, 0 for
// none. The menu takes the keyboard meanwhile; the owner gets no message
// about it.
unsigned ChooseFromPopupMenu(HWND window, POINT screen, const std::vector<PopupItem>& items);

// A point in a window's client area, on the screen.
POINT ClientPointOnScreen(HWND window, POINT client);
