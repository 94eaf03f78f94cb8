#pragma once
// The wiring of the main window's events to the account launcher's handlers.

#include <array>
#include <cstdint>
#include <optional>

#include "launcher/account_launcher.h"
#include "ui/events.h"

struct Binding {
  ControlId control;
  int event;
  // One of the two is set: a handler without arguments, or a mouse handler
  // taking x, y and the key state.
  void (AccountLauncher::*handler)();
  void (AccountLauncher::*mouseHandler)(std::int32_t, std::int32_t, std::int32_t);
};

// The whole wiring table; an event without a binding does nothing.
extern const std::array<Binding, 12> kWiring;

// Calls the launcher's handlers for the bound events. The launcher is made
// once the controls exist.
class LauncherWiring : public EventTarget {
 public:
  void ControlsReady(const ControlWindows& controls) override;
  void Raise(ControlId source, int number, const EventArgs& args) override;
  void RefreshOpenRows() override;
  bool IsRowOpen(int row) const override;

 private:
  std::optional<AccountLauncher> launcher_;
};
