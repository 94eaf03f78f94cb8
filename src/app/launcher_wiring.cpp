#include "launcher_wiring.h"

#include <cstddef>

namespace {
using A = AccountLauncher;
using C = ControlId;

// The handlers come in four shapes: without arguments, mouse handlers taking
// x, y and the key state, key handlers taking the key code and the key state,
// and character handlers taking the character; the last two say whether they
// used the message up.
EventHandler Call(A& launcher, void (A::*handler)()) {
  return [&launcher, handler](const EventArgs&) {
    (launcher.*handler)();
    return false;
  };
}
EventHandler Mouse(A& launcher, void (A::*handler)(std::int32_t, std::int32_t, std::int32_t)) {
  return [&launcher, handler](const EventArgs& args) {
    (launcher.*handler)(args.x, args.y, args.keys);
    return false;
  };
}
EventHandler Key(A& launcher, bool (A::*handler)(std::int32_t, std::int32_t)) {
  return [&launcher, handler](const EventArgs& args) { return (launcher.*handler)(args.code, args.keys); };
}
EventHandler Typed(A& launcher, bool (A::*handler)(std::int32_t)) {
  return [&launcher, handler](const EventArgs& args) { return (launcher.*handler)(args.code); };
}
}  // namespace

LauncherControls LauncherControlsOf(const ControlWindows& controls) {
  auto window = [&](ControlId id) { return controls[static_cast<std::size_t>(ControlIndex(id))]; };
  return {ReportList(window(C::List1)), EditBox(window(C::Edit1)), EditBox(window(C::Edit2))};
}

EventHandlers WireLauncher(AccountLauncher& a) {
  // clang-format off
  return {
      {
          {C::MainWindow, event::kWindowCreated,   Call(a, &A::OnMainWindowCreated)},
          {C::MainWindow, event::kWindowDestroyed, Call(a, &A::OnMainWindowDestroyed)},
          {C::Button4,    event::kButtonClicked,   Call(a, &A::OnAddClicked)},             // 按钮4 添加
          {C::Button7,    event::kButtonClicked,   Call(a, &A::OnModifyClicked)},          // 按钮7 修改
          {C::Button8,    event::kButtonClicked,   Call(a, &A::OnDeleteClicked)},          // 按钮8 删除
          {C::Button5,    event::kButtonClicked,   Call(a, &A::OnRenumberClicked)},        // 按钮5 重置序号
          {C::Button1,    event::kButtonClicked,   Call(a, &A::OnClearTempFilesClicked)},  // 按钮1 清空临时文件
          {C::List1,      event::kListClicked,     Call(a, &A::OnListClicked)},
          {C::List1,      event::kLeftDoubleClick, Mouse(a, &A::OnListDoubleClicked)},
          {C::List1,      event::kLeftButtonDown,  Mouse(a, &A::OnListButtonDown)},
          {C::List1,      event::kLeftButtonUp,    Mouse(a, &A::OnListButtonUp)},
          {C::List1,      event::kMouseMoved,      Mouse(a, &A::OnListPointerMoved)},
          {C::List1,      event::kKeyPressed,      Key(a, &A::OnListKeyPressed)},
          {C::List1,      event::kCharTyped,       Typed(a, &A::OnListCharTyped)},
          {C::List1,      event::kListRightClicked, Mouse(a, &A::OnListRightClicked)},
          {C::List1,      event::kListMenuKey,     Call(a, &A::OnListMenuKey)},
      },
      [&a] { a.OnOpenRowsTick(); },
      [&a](int row) { return a.IsRowOpen(row); },
  };
  // clang-format on
}
