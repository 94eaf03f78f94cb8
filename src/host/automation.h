#pragma once
// Late-bound COM automation through IDispatch.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <variant>

#include <windows.h>
#include <oaidl.h>

#include "host/handles.h"

// Holds at most one reference to an automation object.
class AutomationObject {
 public:
  bool empty() const { return !object_; }
  IUnknown* get() const { return object_.get(); }

 private:
  friend bool CreateAutomationObject(AutomationObject& holder, const std::string& progIdOrClsid);
  friend void ReleaseAutomationObject(AutomationObject& holder);
  ComPtr<IUnknown> object_;
};

using AutomationArgument = std::variant<std::string, std::int32_t, bool>;

// A ProgID, or a class identifier in braces. Tries CoCreateInstance with all
// server contexts, then without remote ones on E_INVALIDARG; then OleRun.
// Releases what the holder held before only once the new object stands.
bool CreateAutomationObject(AutomationObject& holder, const std::string& progIdOrClsid);

// Finds the member by name through the type information, converts each
// argument to the declared type and invokes it as a method, falling back to
// a property read. Texts go over as wide strings from the ANSI code page.
// True when the invocation succeeded.
bool CallAutomationMethod(AutomationObject& holder, const std::string& name,
                          std::initializer_list<AutomationArgument> arguments);

void ReleaseAutomationObject(AutomationObject& holder);
