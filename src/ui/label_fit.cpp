#include "ui/label_fit.h"

#include "host/handles.h"

#include <algorithm>
#include <string>

#include "ui/layout.h"

int LabelTextHeight(HWND label) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(label)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(label, text.data(), static_cast<int>(text.size()))));
  const std::size_t end = text.find_last_not_of(L" \r\n");
  text.resize(end == std::wstring::npos ? 0 : end + 1);
  if (text.empty()) return 0;
  RECT client = {};
  GetClientRect(label, &client);
  const WindowDc dc(label);
  if (!dc) return 0;
  const SelectionGuard font(dc.get(), reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
  RECT needed = {0, 0, client.right, 0};
  // As the label itself draws it: wrapped at word breaks, tabs expanded.
  DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &needed,
            DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
  return needed.bottom - needed.top;
}

void GrowLabelToItsText(HWND label, int tableHeight, int dpi) {
  const int limit = tableHeight + ScaleToDpi(kLabelGrowthLimit, dpi);
  const int height = std::clamp(LabelTextHeight(label), tableHeight, limit);
  RECT now = {};
  GetWindowRect(label, &now);
  if (now.bottom - now.top == height) return;
  SetWindowPos(label, nullptr, 0, 0, now.right - now.left, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}
