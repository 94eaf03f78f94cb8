#pragma once
// MainWindow: the program's one window, built from the fixed layout. It
// raises its controls' numbered events on an EventTarget.

#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <array>
#include <optional>

#include "host/handles.h"
#include "ui/events.h"
#include "ui/layout.h"
#include "ui/layout_fonts.h"
#include "ui/picture_box.h"

class MainWindow {
 public:
  explicit MainWindow(EventTarget& target);
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Creates the window (hidden) and its controls, then raises the created
  // event. False when the window could not be created.
  bool Create();
  HWND Handle() const { return window_; }
  HWND Control(ControlId id) const;

  // The keys the window handles for all its controls (Esc closes, Tab moves
  // the focus); true when the message was used up. Call before dispatching.
  bool TranslateWindowKeys(MSG& message);
  // Runs this thread's message loop until the window is destroyed.
  void RunMessageLoop();

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK GroupProc(HWND group, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR);
  static LRESULT CALLBACK ListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  bool OnCreate();
  void OnDestroy();
  void OnCommand(WPARAM wParam, LPARAM lParam);
  LRESULT OnNotify(const NMHDR& header);
  LRESULT OnListCustomDraw(NMLVCUSTOMDRAW& draw);
  LRESULT OnControlColour(UINT message, HDC dc);
  void OnLeftButtonDown();
  void OnActivate(WPARAM wParam);
  void OnDpiChanged(int dpi, const RECT& suggested);
  void OnGetMinMaxInfo(MINMAXINFO& limits) const;

  HWND CreateControl(const ControlEntry& entry);
  void SetUpList(HWND list);
  void MakeOpenRowFont(HWND list);
  void FitControlToDpi(const ControlEntry& entry, HWND control, bool redraw);
  // Raises the list's mouse or keyboard event of the message; true when it was used up.
  bool RaiseListInputEvent(UINT message, WPARAM wParam, LPARAM lParam);

  EventTarget& target_;
  HWND window_ = nullptr;
  HWND lastFocus_ = nullptr;
  ControlWindows controls_ = {};
  int dpi_ = kDesignDpi;  // the resolution the layout is scaled to
  LayoutFonts fonts_;
  std::optional<PictureLoad> pictureLoad_;  // from before the window is made until the box is
  UniqueBitmap picture_;
  UniqueFont openRowFont_;  // the list's font in bold
  // By control: a label's own smaller font where its text needs one.
  std::array<UniqueFont, kControlCount> labelFonts_;
};
