#include "ui/wiring.h"

#include "host/boundary.h"

namespace {
using A = AccountLauncher;
using C = ControlId;
}  // namespace

// clang-format off
const std::array<Binding, 12> kWiring = {{
    {C::MainWindow, event::kWindowCreated,   &A::OnMainWindowCreated,     nullptr},
    {C::MainWindow, event::kWindowDestroyed, &A::OnMainWindowDestroyed,   nullptr},
    {C::Button4,    event::kButtonClicked,   &A::OnAddClicked,            nullptr},  // 按钮4 添加
    {C::Button7,    event::kButtonClicked,   &A::OnModifyClicked,         nullptr},  // 按钮7 修改
    {C::Button8,    event::kButtonClicked,   &A::OnDeleteClicked,         nullptr},  // 按钮8 删除
    {C::Button5,    event::kButtonClicked,   &A::OnRenumberClicked,       nullptr},  // 按钮5 重置序号
    {C::Button1,    event::kButtonClicked,   &A::OnClearTempFilesClicked, nullptr},  // 按钮1 清空临时文件
    {C::List1,      event::kListClicked,     &A::OnListClicked,           nullptr},
    {C::List1,      event::kLeftDoubleClick, nullptr, &A::OnListDoubleClicked},
    {C::List1,      event::kLeftButtonDown,  nullptr, &A::OnListButtonDown},
    {C::List1,      event::kLeftButtonUp,    nullptr, &A::OnListButtonUp},
    {C::List1,      event::kMouseMoved,      nullptr, &A::OnListPointerMoved},
}};
// clang-format on

void LauncherWiring::ControlsReady(const ControlWindows& controls) {
  auto window = [&](ControlId id) { return controls[static_cast<std::size_t>(ControlIndex(id))]; };
  launcher_.emplace(
      LauncherControls{ReportList(window(C::List1)), EditBox(window(C::Edit1)), EditBox(window(C::Edit2))});
}

void LauncherWiring::Raise(ControlId source, int number, const EventArgs& args) {
  if (!launcher_) return;
  for (const Binding& binding : kWiring) {
    if (binding.control != source || binding.event != number) continue;
    // A handler that fails leaves the program running.
    NoThrowBoundary([&] {
      if (binding.handler) (*launcher_.*binding.handler)();
      if (binding.mouseHandler) (*launcher_.*binding.mouseHandler)(args.x, args.y, args.keys);
    });
    return;
  }
}

void LauncherWiring::RefreshOpenRows() {
  if (launcher_) launcher_->OnOpenRowsTick();
}

bool LauncherWiring::IsRowOpen(int row) const { return launcher_ && launcher_->IsRowOpen(row); }
