#include "host/automation.h"

#include <oleauto.h>

#include <cstddef>
#include <vector>

#include "host/code_page.h"

namespace {

// VARIANTs that are cleared (freeing their texts or interfaces) when they go
// away; the array itself is what DISPPARAMS points at, so whatever Invoke
// leaves in a slot is cleared too.
class ScopedVariants {
 public:
  explicit ScopedVariants(std::size_t count) : values_(count) {
    for (VARIANT& v : values_) VariantInit(&v);
  }
  ~ScopedVariants() {
    for (VARIANT& v : values_) VariantClear(&v);
  }
  ScopedVariants(const ScopedVariants&) = delete;
  ScopedVariants& operator=(const ScopedVariants&) = delete;
  VARIANT* data() { return values_.empty() ? nullptr : values_.data(); }
  VARIANT* at(std::size_t i) { return &values_[i]; }
  std::size_t size() const { return values_.size(); }

 private:
  std::vector<VARIANT> values_;
};

// The type attributes and one function description of a type, handed back to
// the type information that lent them.
class ScopedTypeAttr {
 public:
  explicit ScopedTypeAttr(ITypeInfo* info) : info_(info) {
    if (FAILED(info_->GetTypeAttr(&attr_))) attr_ = nullptr;
  }
  ~ScopedTypeAttr() {
    if (attr_) info_->ReleaseTypeAttr(attr_);
  }
  ScopedTypeAttr(const ScopedTypeAttr&) = delete;
  ScopedTypeAttr& operator=(const ScopedTypeAttr&) = delete;
  const TYPEATTR* get() const { return attr_; }

 private:
  ITypeInfo* info_;
  TYPEATTR* attr_ = nullptr;
};

class ScopedFuncDesc {
 public:
  ScopedFuncDesc(ITypeInfo* info, UINT index) : info_(info) {
    if (FAILED(info_->GetFuncDesc(index, &desc_))) desc_ = nullptr;
  }
  ~ScopedFuncDesc() {
    if (desc_) info_->ReleaseFuncDesc(desc_);
  }
  ScopedFuncDesc(const ScopedFuncDesc&) = delete;
  ScopedFuncDesc& operator=(const ScopedFuncDesc&) = delete;
  const FUNCDESC* get() const { return desc_; }

 private:
  ITypeInfo* info_;
  FUNCDESC* desc_ = nullptr;
};

// The error texts that a failed Invoke may leave behind.
class ScopedExcepInfo {
 public:
  ScopedExcepInfo() = default;
  ~ScopedExcepInfo() { Clear(); }
  ScopedExcepInfo(const ScopedExcepInfo&) = delete;
  ScopedExcepInfo& operator=(const ScopedExcepInfo&) = delete;
  EXCEPINFO* get() { return &info_; }
  void Clear() {
    if (info_.pfnDeferredFillIn) info_.pfnDeferredFillIn(&info_);
    SysFreeString(info_.bstrSource);
    SysFreeString(info_.bstrDescription);
    SysFreeString(info_.bstrHelpFile);
    info_ = EXCEPINFO{};
  }

 private:
  EXCEPINFO info_{};
};

// The declared types of the member's parameters, from its function
// description; a method description is preferred over a property read of the
// same member. Empty `found` when the type has no function of that id.
struct MemberSignature {
  bool found = false;
  std::vector<VARTYPE> parameterTypes;
};

MemberSignature FindSignature(ITypeInfo* info, MEMBERID member) {
  MemberSignature signature;
  ScopedTypeAttr attr(info);
  if (!attr.get()) return signature;
  for (UINT i = 0; i < attr.get()->cFuncs; ++i) {
    ScopedFuncDesc desc(info, i);
    const FUNCDESC* f = desc.get();
    if (!f || f->memid != member) continue;
    if (f->invkind != INVOKE_FUNC && f->invkind != INVOKE_PROPERTYGET) continue;
    if (signature.found && f->invkind != INVOKE_FUNC) continue;
    signature.found = true;
    signature.parameterTypes.clear();
    for (SHORT p = 0; p < f->cParams; ++p) signature.parameterTypes.push_back(f->lprgelemdescParam[p].tdesc.vt);
    if (f->invkind == INVOKE_FUNC) break;
  }
  return signature;
}

// The argument as a VARIANT of its own kind; false when out of memory.
bool ToVariant(const AutomationArgument& argument, VARIANT* out) {
  if (const auto* text = std::get_if<std::string>(&argument)) {
    const std::wstring wide = WidenAnsi(*text);
    BSTR bstr = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    if (!bstr) return false;
    V_VT(out) = VT_BSTR;
    V_BSTR(out) = bstr;
  } else if (const auto* number = std::get_if<std::int32_t>(&argument)) {
    V_VT(out) = VT_I4;
    V_I4(out) = *number;
  } else {
    V_VT(out) = VT_BOOL;
    V_BOOL(out) = std::get<bool>(argument) ? VARIANT_TRUE : VARIANT_FALSE;
  }
  return true;
}

// Plain value types that VariantChangeType can produce; anything else
// (VARIANT, pointers, interfaces, user types) takes the value as it is, and
// the object's own Invoke coerces it.
bool IsConvertibleType(VARTYPE type) {
  switch (type) {
    case VT_I1:
    case VT_I2:
    case VT_I4:
    case VT_I8:
    case VT_INT:
    case VT_UI1:
    case VT_UI2:
    case VT_UI4:
    case VT_UI8:
    case VT_UINT:
    case VT_R4:
    case VT_R8:
    case VT_CY:
    case VT_DATE:
    case VT_BSTR:
    case VT_BOOL:
    case VT_DECIMAL:
      return true;
    default:
      return false;
  }
}

}  // namespace

bool CreateAutomationObject(AutomationObject& holder, const std::string& progIdOrClsid) {
  const std::wstring name = WidenAnsi(progIdOrClsid);
  CLSID clsid{};
  const HRESULT found = !progIdOrClsid.empty() && progIdOrClsid[0] == '{' ? CLSIDFromString(name.c_str(), &clsid)
                                                                          : CLSIDFromProgID(name.c_str(), &clsid);
  if (FAILED(found)) return false;

  // In-process server and handler, local and remote server; some systems
  // refuse the remote one with E_INVALIDARG, so ask again without it.
  ComPtr<IUnknown> object;
  HRESULT created = CoCreateInstance(clsid, nullptr, 0x17, IID_IUnknown, object.put_void());
  if (created == E_INVALIDARG) created = CoCreateInstance(clsid, nullptr, 0x7, IID_IUnknown, object.put_void());
  if (FAILED(created) || !object) return false;
  if (FAILED(OleRun(object.get()))) return false;

  holder.object_ = std::move(object);  // releases what the holder held before
  return true;
}

bool CallAutomationMethod(AutomationObject& holder, const std::string& name,
                          std::initializer_list<AutomationArgument> arguments) {
  if (holder.empty()) return false;
  ComPtr<IDispatch> dispatch;
  if (FAILED(holder.get()->QueryInterface(IID_IDispatch, dispatch.put_void())) || !dispatch) return false;
  ComPtr<ITypeInfo> typeInfo;
  if (FAILED(dispatch->GetTypeInfo(0, LOCALE_USER_DEFAULT, typeInfo.put())) || !typeInfo) return false;

  std::wstring wideName = WidenAnsi(name);
  if (wideName.empty()) return false;
  LPOLESTR names[] = {wideName.data()};
  MEMBERID member = MEMBERID_NIL;
  if (FAILED(typeInfo->GetIDsOfNames(names, 1, &member))) return false;
  const MemberSignature signature = FindSignature(typeInfo.get(), member);
  if (!signature.found) return false;

  // DISPPARAMS takes the arguments last first.
  ScopedVariants values(arguments.size());
  std::size_t index = 0;
  for (const AutomationArgument& argument : arguments) {
    VARIANT* value = values.at(values.size() - 1 - index);
    if (!ToVariant(argument, value)) return false;
    if (index < signature.parameterTypes.size()) {
      const VARTYPE declared = signature.parameterTypes[index];
      if (IsConvertibleType(declared) && V_VT(value) != declared &&
          FAILED(VariantChangeType(value, value, 0, declared)))
        return false;
    }
    ++index;
  }
  DISPPARAMS parameters{values.data(), nullptr, static_cast<UINT>(values.size()), 0};

  ScopedVariants result(1);
  ScopedExcepInfo error;
  UINT badArgument = 0;
  HRESULT invoked = dispatch->Invoke(member, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters, result.at(0),
                                     error.get(), &badArgument);
  // Only a member that is no method is asked again, as a property: a method
  // that ran and failed must not run a second time.
  if (invoked == DISP_E_MEMBERNOTFOUND) {
    error.Clear();
    VariantClear(result.at(0));
    invoked = dispatch->Invoke(member, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &parameters, result.at(0),
                               error.get(), &badArgument);
  }
  return SUCCEEDED(invoked);
}

void ReleaseAutomationObject(AutomationObject& holder) { holder.object_.reset(); }
