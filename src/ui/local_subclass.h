#pragma once
// Subclassing whose cost per message is a look-up in this process.
//
// The common controls' SetWindowSubclass finds a window's chain through a
// window property on every message, twice when a procedure passes the message
// on; under Wine each property read is a round trip to the server. The list
// takes several messages per row when it is filled, renumbered or read out,
// and those round trips were most of the time of each.
//
// The same shape as SetWindowSubclass: procedures stack on a window, the last
// one set sees a message first, and DefLocalSubclassProc hands it to the next
// one and finally to the window's own procedure. The chain ends with the
// window (after WM_NCDESTROY has gone through it).

#include <windows.h>

#include <commctrl.h>

// Adds `proc` with `id` to the window's chain, or gives it new data when it
// is there already. Only the window's own thread may change its chain (it
// alone walks it): false for a window of another thread or process.
bool SetLocalSubclass(HWND window, SUBCLASSPROC proc, UINT_PTR id, DWORD_PTR data);
// Passes a message that a procedure of the chain is handling on to the next.
LRESULT DefLocalSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The data that `proc` with `id` was set with on the window; false when it is
// not on the window's chain.
bool FindLocalSubclass(HWND window, SUBCLASSPROC proc, UINT_PTR id, DWORD_PTR& data);
