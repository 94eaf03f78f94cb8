#pragma once
// One running copy of the program per program folder: two copies of the same
// folder would each keep their own list and overwrite each other's saves.
//
// The folder itself is the key: the first copy holds a lock file inside it
// for its whole run, so the same folder reached by any path (another drive
// letter, a share, a link, another session or PC) has one holder. The file
// records who holds it, so that a later copy can bring the holder forward.

#include <windows.h>

#include <cstdint>
#include <string>

#include "host/handles.h"

// The lock file's name inside the program folder.
inline constexpr wchar_t kInstanceLockName[] = L"KestrunLauncher.lock";

// What the holder writes at the start of the lock file; the same layout in
// the 32-bit and the 64-bit program.
struct InstanceLockRecord {
  std::uint32_t magic;    // kInstanceLockMagic
  std::uint32_t session;  // the holder's logon session
  std::uint32_t process;
  std::uint32_t reserved;
  std::uint64_t window;  // its main window, 0 until it is shown
  wchar_t computer[MAX_COMPUTERNAME_LENGTH + 1];
};
inline constexpr std::uint32_t kInstanceLockMagic = 0x314B4C4B;  // "KLK1"

class ProgramInstance {
 public:
  // Takes the lock of `programFolder` for this process, unless another copy
  // holds it. A folder where no lock can be made at all (a read-only one)
  // leaves this copy the first: nothing can be stored there to be lost.
  explicit ProgramInstance(const std::string& programFolder);
  ProgramInstance(const ProgramInstance&) = delete;
  ProgramInstance& operator=(const ProgramInstance&) = delete;
  // Lets go of the lock; the file goes with its last handle, also when the
  // process is killed.
  ~ProgramInstance() = default;

  // True when another copy holds the folder.
  bool IsSecond() const { return second_; }
  // Records `window` as the one that a later copy brings forward.
  void Publish(HWND window);
  // Brings the holding copy's main window to the front, restored if it is
  // minimised, without waiting for it to answer; waits a few seconds for a
  // copy that is still starting. False when its window cannot be reached
  // from here (another session or PC, or a holder that does not say).
  bool BringFirstForward();

 private:
  std::wstring lockPath_;
  UniqueFile lock_;
  bool second_ = false;
};
