#pragma once
// One running copy of the program per program folder: two copies of the same
// folder would each keep their own list and overwrite each other's saves.

#include <windows.h>

#include <string>

#include "host/handles.h"

class ProgramInstance {
 public:
  // Claims the folder (its full path, compared without regard to case) for
  // this process, unless another running copy holds it already.
  explicit ProgramInstance(const std::string& programFolder);
  ProgramInstance(const ProgramInstance&) = delete;
  ProgramInstance& operator=(const ProgramInstance&) = delete;
  ~ProgramInstance();

  // True when another copy holds the folder.
  bool IsSecond() const { return second_; }
  // Makes `window` the one that a later copy brings forward.
  void Publish(HWND window);
  // Brings the holding copy's main window to the front, restored if it is
  // minimised; waits a few seconds for a copy that is still starting.
  void BringFirstForward();

 private:
  UniqueHandle mapping_;
  void* view_ = nullptr;
  bool second_ = false;
};
