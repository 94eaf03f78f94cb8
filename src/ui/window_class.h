#pragma once
// Registers one of the program's own window classes, the first time it is asked for.

#include <windows.h>

// Registers a simple class (this module, the given pointer, no background
// brush: the procedure paints) and returns its name.
inline const wchar_t* SimpleWindowClass(const wchar_t* name, WNDPROC procedure, HCURSOR cursor) {
  WNDCLASSEXW wc = {sizeof wc};
  if (GetClassInfoExW(GetModuleHandleW(nullptr), name, &wc)) return name;
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = procedure;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = cursor;
  wc.lpszClassName = name;
  RegisterClassExW(&wc);
  return name;
}
