#include "host/popup_menu.h"

#include "host/handles.h"

unsigned ChooseFromPopupMenu(HWND window, POINT screen, const std::vector<PopupItem>& items) {
  const HWND owner = ::GetAncestor(window, GA_ROOT);
  const UniqueMenu menu(::CreatePopupMenu());
  if (!menu) return 0;
  for (const PopupItem& item : items) {
    const UINT flags = item.command == 0 ? MF_SEPARATOR : MF_STRING | (item.enabled ? MF_ENABLED : MF_GRAYED);
    if (!::AppendMenuW(menu.get(), flags, item.command, item.command == 0 ? nullptr : item.text.c_str())) return 0;
  }
  // A menu takes the keyboard only from the foreground window's thread.
  ::SetForegroundWindow(owner);
  const BOOL chosen =
      ::TrackPopupMenu(menu.get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY,
                       screen.x, screen.y, 0, owner, nullptr);
  return chosen > 0 ? static_cast<unsigned>(chosen) : 0;
}

POINT ClientPointOnScreen(HWND window, POINT client) {
  ::ClientToScreen(window, &client);
  return client;
}
