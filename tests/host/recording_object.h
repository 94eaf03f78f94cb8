#pragma once
// An automation object for the tests that records what reaches its Invoke,
// exactly as it arrives (no coercion of its own), and counts its references.
// While a RegisteredRecorder lives, CoCreateInstance of kRecorderClsid in this
// apartment makes a recorder that the registration can look at.
//
// Its members, as its type information declares them:
//   Take(BSTR text, LONG number, VARIANT_BOOL flag)   a method that succeeds
//   Anything(VARIANT value)                           a method that succeeds
//   Fail()                                            a method that raises an error
//   Size                                              a read-only property (a text)

#include <windows.h>
#include <oaidl.h>
#include <unknwn.h>

#include <string>
#include <vector>

namespace test {

inline constexpr char kRecorderClsid[] = "{5F0E1C3A-8B7D-4E2A-9C61-3D2B7A4F0E91}";

struct RecordedArgument {
  VARTYPE type;
  std::wstring value;  // texts as they are, numbers in decimal, logicals as "true"/"false"
  bool operator==(const RecordedArgument&) const = default;
};

struct RecordedCall {
  std::wstring member;
  WORD flags;                               // DISPATCH_METHOD or DISPATCH_PROPERTYGET
  std::vector<RecordedArgument> arguments;  // first argument first
};

class RecorderState;

class RegisteredRecorder {
 public:
  RegisteredRecorder();
  ~RegisteredRecorder();
  RegisteredRecorder(const RegisteredRecorder&) = delete;
  RegisteredRecorder& operator=(const RegisteredRecorder&) = delete;

  bool registered() const { return cookie_ != 0; }
  // The calls that reached the most recently created recorder.
  const std::vector<RecordedCall>& calls() const;
  void ClearCalls();
  // References held on the most recently created recorder (0 once it is gone).
  ULONG references() const;

 private:
  RecorderState* state_;
  IClassFactory* factory_;
  DWORD cookie_ = 0;
};

}  // namespace test
