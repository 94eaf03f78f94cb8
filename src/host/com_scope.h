#pragma once
// COM entered for the life of a scope on the calling thread, and left again
// only when entering it succeeded (a thread that had entered it already counts
// as one more entry and leaves once more).

#include <windows.h>

#include <ole2.h>

template <HRESULT (*Enter)(), void (*Leave)()>
class ComScope {
 public:
  ComScope() : entered_(SUCCEEDED(Enter())) {}
  ~ComScope() {
    if (entered_) Leave();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

 private:
  bool entered_;
};

namespace com_scope {
inline HRESULT EnterOle() { return OleInitialize(nullptr); }
inline void LeaveOle() { OleUninitialize(); }
inline HRESULT EnterApartment() { return CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
inline void LeaveApartment() { CoUninitialize(); }
}  // namespace com_scope

// OLE on the program's main thread.
using OleScope = ComScope<com_scope::EnterOle, com_scope::LeaveOle>;
// A single-threaded apartment for a worker thread of its own.
using ThreadApartment = ComScope<com_scope::EnterApartment, com_scope::LeaveApartment>;
