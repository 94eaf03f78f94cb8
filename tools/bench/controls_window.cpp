// A second baseline of the start-up benchmark: the program's window with its
// sixteen controls (the same classes but for the two drawn by the program,
// the same rectangles, texts, fonts and list columns) and nothing else: no
// stored list, no picture, no browser look-up. What the program takes beyond
// this is its own; up to this, each control's making and painting.
#include <windows.h>

#include <commctrl.h>

#include <array>

#include "baseline_window.h"
#include "ui/layout.h"
#include "ui/layout_fonts.h"

namespace {

const wchar_t* ClassOf(ControlKind kind) {
  switch (kind) {
    case ControlKind::EditBox:
      return WC_EDITW;
    case ControlKind::Button:
    case ControlKind::GroupBox:
      return WC_BUTTONW;
    case ControlKind::ReportList:
      return WC_LISTVIEWW;
    default:  // labels, and the links and picture box that the program draws itself
      return WC_STATICW;
  }
}

DWORD StyleOf(ControlKind kind) {
  switch (kind) {
    case ControlKind::EditBox:
      return ES_LEFT | ES_AUTOHSCROLL;
    case ControlKind::Button:
      return BS_PUSHBUTTON | BS_CENTER | BS_VCENTER;
    case ControlKind::GroupBox:
      return BS_GROUPBOX | WS_CLIPCHILDREN;
    case ControlKind::ReportList:
      return LVS_REPORT | LVS_SINGLESEL;
    default:
      return SS_LEFT | SS_NOPREFIX;
  }
}

DWORD ExStyleOf(ControlKind kind) {
  return kind == ControlKind::EditBox || kind == ControlKind::ReportList ? WS_EX_CLIENTEDGE : 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  if (!baseline::RegisterWindowClass(instance, L"KlControlsWindow")) return 1;
  HWND window = CreateWindowExW(WS_EX_TOPMOST | WS_EX_APPWINDOW, L"KlControlsWindow", kWindowCaption,
                                WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX, CW_USEDEFAULT,
                                CW_USEDEFAULT, kWindowWidth, kWindowHeight, nullptr, nullptr, instance, nullptr);
  if (window == nullptr) return 1;
  const LayoutFonts fonts(kDesignDpi);
  HWND group = nullptr;
  // The group box first: it holds twelve of the others.
  for (int pass = 0; pass < 2; ++pass)
    for (const ControlEntry& entry : kControls) {
      if ((entry.kind == ControlKind::GroupBox) != (pass == 0)) continue;
      const RECT at = ScaledControlRect(entry, kDesignDpi);
      HWND control = CreateWindowExW(ExStyleOf(entry.kind), ClassOf(entry.kind), entry.text,
                                     WS_CHILD | WS_VISIBLE | StyleOf(entry.kind), at.left, at.top, at.right - at.left,
                                     at.bottom - at.top, entry.inGroup ? group : window, nullptr, instance, nullptr);
      if (control == nullptr) return 1;
      SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(fonts.Get(entry.font)), FALSE);
      if (entry.kind == ControlKind::GroupBox) group = control;
      if (entry.kind != ControlKind::ReportList) continue;
      for (std::size_t i = 0; i < kListColumns.size(); ++i) {
        LVCOLUMNW column = {};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = kListColumns[i].format;
        column.cx = kListColumns[i].width;
        column.pszText = const_cast<wchar_t*>(kListColumns[i].title);
        column.iSubItem = static_cast<int>(i);
        SendMessageW(control, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
      }
    }
  return baseline::ShowAndRun(window);
}
