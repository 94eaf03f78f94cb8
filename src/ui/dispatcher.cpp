#include "ui/dispatcher.h"

#include "host/boundary.h"

void EventDispatcher::ControlsReady(const ControlWindows& controls) { handlers_ = connect_(controls); }

bool EventDispatcher::Raise(ControlId source, int number, const EventArgs& args) {
  for (const Binding& binding : handlers_.bindings) {
    if (binding.control != source || binding.event != number) continue;
    // A handler that fails leaves the program running, and the message goes on.
    return binding.handler && NoThrowBoundary([&] { return binding.handler(args); });
  }
  return false;
}

void EventDispatcher::RefreshOpenRows() {
  if (handlers_.refreshOpenRows) handlers_.refreshOpenRows();
}

bool EventDispatcher::IsRowOpen(int row) const { return handlers_.isRowOpen && handlers_.isRowOpen(row); }
