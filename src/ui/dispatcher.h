#pragma once
// Runs the handlers bound to the main window's events. The window knows only
// this; what the handlers are is decided above it, once the controls exist.

#include <functional>
#include <vector>

#include "ui/events.h"

// Every handler takes the event's arguments; those without a use for them
// ignore them. True when the handler used the message up (only a keyboard
// event's handler ever says so).
using EventHandler = std::function<bool(const EventArgs&)>;

struct Binding {
  ControlId control;
  int event;
  EventHandler handler;
};

// What the window calls once the controls exist: the bound events and the
// open-row queries. An event without a binding does nothing.
struct EventHandlers {
  std::vector<Binding> bindings;
  std::function<void()> refreshOpenRows;
  std::function<bool(int)> isRowOpen;
};

class EventDispatcher : public EventTarget {
 public:
  using Connect = std::function<EventHandlers(const ControlWindows&)>;
  explicit EventDispatcher(Connect connect) : connect_(std::move(connect)) {}

  void ControlsReady(const ControlWindows& controls) override;
  bool Raise(ControlId source, int number, const EventArgs& args) override;
  void RefreshOpenRows() override;
  bool IsRowOpen(int row) const override;

 private:
  Connect connect_;
  EventHandlers handlers_;
};
