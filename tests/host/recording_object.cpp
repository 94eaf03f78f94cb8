#include "recording_object.h"

#include <oleauto.h>

#include <string>

#include "host/handles.h"

namespace test {

namespace {

enum Member : DISPID { kTake = 1, kAnything, kFail, kSize };

PARAMDATA takeParameters[] = {{const_cast<OLECHAR*>(L"text"), VT_BSTR},
                              {const_cast<OLECHAR*>(L"number"), VT_I4},
                              {const_cast<OLECHAR*>(L"flag"), VT_BOOL}};
PARAMDATA anythingParameters[] = {{const_cast<OLECHAR*>(L"value"), VT_VARIANT}};
METHODDATA members[] = {
    {const_cast<OLECHAR*>(L"Take"), takeParameters, kTake, 7, CC_STDCALL, 3, DISPATCH_METHOD, VT_EMPTY},
    {const_cast<OLECHAR*>(L"Anything"), anythingParameters, kAnything, 8, CC_STDCALL, 1, DISPATCH_METHOD, VT_EMPTY},
    {const_cast<OLECHAR*>(L"Fail"), nullptr, kFail, 9, CC_STDCALL, 0, DISPATCH_METHOD, VT_EMPTY},
    {const_cast<OLECHAR*>(L"Size"), nullptr, kSize, 10, CC_STDCALL, 0, DISPATCH_PROPERTYGET, VT_BSTR},
};
INTERFACEDATA recorderInterface = {members, 4};

std::wstring MemberName(DISPID id) {
  switch (id) {
    case kTake:
      return L"Take";
    case kAnything:
      return L"Anything";
    case kFail:
      return L"Fail";
    case kSize:
      return L"Size";
    default:
      return L"?";
  }
}

RecordedArgument Describe(const VARIANT& value) {
  switch (V_VT(&value)) {
    case VT_BSTR:
      return {VT_BSTR, std::wstring(V_BSTR(&value), SysStringLen(V_BSTR(&value)))};
    case VT_I4:
      return {VT_I4, std::to_wstring(V_I4(&value))};
    case VT_BOOL:
      return {VT_BOOL, V_BOOL(&value) ? L"true" : L"false"};
    default:
      return {V_VT(&value), L""};
  }
}

}  // namespace

class RecorderState {
 public:
  std::vector<RecordedCall> calls;
  ULONG references = 0;
  ComPtr<ITypeInfo> typeInfo;  // the interface's, as a real object hands it out
};

namespace {

class Recorder final : public IDispatch {
 public:
  explicit Recorder(RecorderState& state) : state_(state) { state_.references = 1; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch) {
      *out = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++state_.references; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --state_.references;
    if (left == 0) delete this;
    return left;
  }

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 1;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
    if (index != 0 || !state_.typeInfo) return DISP_E_BADINDEX;
    state_.typeInfo->AddRef();
    *info = state_.typeInfo.get();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    return state_.typeInfo->GetIDsOfNames(names, count, ids);
  }

  // Strict, as some servers are: no coercion of the arguments, and a member
  // answers only the kind of invocation that it is.
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* parameters, VARIANT* result,
                                   EXCEPINFO* error, UINT*) override {
    RecordedCall call{MemberName(id), flags, {}};
    for (UINT i = parameters->cArgs; i-- > 0;) call.arguments.push_back(Describe(parameters->rgvarg[i]));
    state_.calls.push_back(call);
    switch (id) {
      case kTake:
      case kAnything:
        return flags == DISPATCH_METHOD ? S_OK : DISP_E_MEMBERNOTFOUND;
      case kFail:
        if (flags != DISPATCH_METHOD) return DISP_E_MEMBERNOTFOUND;
        if (error) {
          *error = EXCEPINFO{};
          error->scode = E_FAIL;
          error->bstrDescription = SysAllocString(L"refused");
        }
        return DISP_E_EXCEPTION;
      case kSize:
        if (flags != DISPATCH_PROPERTYGET) return DISP_E_MEMBERNOTFOUND;
        if (result) {
          V_VT(result) = VT_BSTR;
          V_BSTR(result) = SysAllocString(L"three");
        }
        return S_OK;
      default:
        return DISP_E_MEMBERNOTFOUND;
    }
  }

 private:
  RecorderState& state_;
};

class Factory final : public IClassFactory {
 public:
  explicit Factory(RecorderState& state) : state_(state) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown || iid == IID_IClassFactory) {
      *out = static_cast<IClassFactory*>(this);
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  // Lives as long as the registration that owns it.
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    state_.calls.clear();
    auto* recorder = new Recorder(state_);
    const HRESULT hr = recorder->QueryInterface(iid, out);
    recorder->Release();
    return hr;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

 private:
  RecorderState& state_;
};

ComPtr<ITypeInfo> MakeInterfaceTypeInfo() {
  ComPtr<ITypeInfo> coclass;
  ComPtr<ITypeInfo> interfaceInfo;
  HREFTYPE reference = 0;
  if (FAILED(CreateDispTypeInfo(&recorderInterface, LOCALE_SYSTEM_DEFAULT, coclass.put())) ||
      FAILED(coclass->GetRefTypeOfImplType(0, &reference)) ||
      FAILED(coclass->GetRefTypeInfo(reference, interfaceInfo.put())))
    return {};
  return interfaceInfo;
}

}  // namespace

RegisteredRecorder::RegisteredRecorder() : state_(new RecorderState), factory_(new Factory(*state_)) {
  state_->typeInfo = MakeInterfaceTypeInfo();
  const std::string text = kRecorderClsid;
  const std::wstring wide(text.begin(), text.end());
  CLSID clsid{};
  if (!state_->typeInfo || FAILED(CLSIDFromString(wide.c_str(), &clsid)) ||
      FAILED(CoRegisterClassObject(clsid, factory_, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie_)))
    cookie_ = 0;
}

RegisteredRecorder::~RegisteredRecorder() {
  if (cookie_) CoRevokeClassObject(cookie_);
  delete static_cast<Factory*>(factory_);
  delete state_;
}

const std::vector<RecordedCall>& RegisteredRecorder::calls() const { return state_->calls; }
void RegisteredRecorder::ClearCalls() { state_->calls.clear(); }
ULONG RegisteredRecorder::references() const { return state_->references; }

}  // namespace test
