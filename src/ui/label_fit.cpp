#include "ui/label_fit.h"

#include <algorithm>
#include <string>

#include "ui/layout.h"

int LabelTextHeight(HWND label, HFONT font) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(label)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(label, text.data(), static_cast<int>(text.size()))));
  const std::size_t end = text.find_last_not_of(L" \r\n");
  text.resize(end == std::wstring::npos ? 0 : end + 1);
  if (text.empty()) return 0;
  RECT client = {};
  GetClientRect(label, &client);
  const WindowDc dc(label);
  if (!dc) return 0;
  const SelectionGuard selected(dc.get(), font);
  RECT needed = {0, 0, client.right, 0};
  // As the label itself draws it: wrapped at word breaks, tabs expanded.
  DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &needed,
            DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
  return needed.bottom - needed.top;
}

UniqueFont FitLabelFont(HWND label, HFONT font, int dpi) {
  RECT client = {};
  GetClientRect(label, &client);
  LOGFONTW logical = {};
  if (font == nullptr || GetObjectW(font, sizeof logical, &logical) != sizeof logical ||
      LabelTextHeight(label, font) <= client.bottom)
    return {};
  // A negative height is the character height, a positive one the cell
  // height: either way one pixel less is one nearer zero.
  const LONG sign = logical.lfHeight < 0 ? -1 : 1;
  const LONG height = logical.lfHeight * sign;
  const LONG width = logical.lfWidth;  // an explicit width narrows with the height
  const LONG smallest = std::max<LONG>(1, height - ScaleToDpi(kLabelFontReductionLimit, dpi));
  UniqueFont smaller;
  for (LONG tried = height - 1; tried >= smallest; --tried) {
    logical.lfHeight = tried * sign;
    logical.lfWidth = MulDiv(width, tried, height);
    smaller.reset(CreateFontIndirectW(&logical));
    if (!smaller || LabelTextHeight(label, smaller.get()) <= client.bottom) break;
  }
  return smaller;
}
