#pragma once
// The main window's events bound to the account launcher's handlers.

#include "launcher/account_launcher.h"
#include "ui/dispatcher.h"

// The launcher's view of the window's controls.
LauncherControls LauncherControlsOf(const ControlWindows& controls);

// The whole wiring table for one launcher, which outlives the window's events.
EventHandlers WireLauncher(AccountLauncher& launcher);
