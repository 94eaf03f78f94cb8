#pragma once
// Owning wrappers for the platform's handles, so that no early return leaks
// one. Each closes what it holds exactly once; moving transfers ownership.

#include <windows.h>

#include <utility>

template <typename Traits>
class UniqueResource {
 public:
  using Value = typename Traits::Value;

  UniqueResource() = default;
  explicit UniqueResource(Value value) : value_(value) {}
  ~UniqueResource() { reset(); }
  UniqueResource(UniqueResource&& other) noexcept : value_(other.release()) {}
  UniqueResource& operator=(UniqueResource&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  UniqueResource(const UniqueResource&) = delete;
  UniqueResource& operator=(const UniqueResource&) = delete;

  Value get() const { return value_; }
  explicit operator bool() const { return Traits::IsValid(value_); }
  Value release() { return std::exchange(value_, Traits::Invalid()); }
  void reset(Value value = Traits::Invalid()) {
    if (Traits::IsValid(value_)) Traits::Close(value_);
    value_ = value;
  }
  // For out-parameters: frees what is held and hands out the slot.
  Value* put() {
    reset();
    return &value_;
  }

 private:
  Value value_ = Traits::Invalid();
};

// Process, thread, token and mapping handles: 0 means none.
struct KernelHandleTraits {
  using Value = HANDLE;
  static Value Invalid() { return nullptr; }
  static bool IsValid(Value v) { return v != nullptr && v != INVALID_HANDLE_VALUE; }
  static void Close(Value v) { ::CloseHandle(v); }
};
using UniqueHandle = UniqueResource<KernelHandleTraits>;

// File handles: INVALID_HANDLE_VALUE means none.
struct FileHandleTraits {
  using Value = HANDLE;
  static Value Invalid() { return INVALID_HANDLE_VALUE; }
  static bool IsValid(Value v) { return v != nullptr && v != INVALID_HANDLE_VALUE; }
  static void Close(Value v) { ::CloseHandle(v); }
};
using UniqueFile = UniqueResource<FileHandleTraits>;

struct FindHandleTraits {
  using Value = HANDLE;
  static Value Invalid() { return INVALID_HANDLE_VALUE; }
  static bool IsValid(Value v) { return v != nullptr && v != INVALID_HANDLE_VALUE; }
  static void Close(Value v) { ::FindClose(v); }
};
using UniqueFind = UniqueResource<FindHandleTraits>;

struct RegKeyTraits {
  using Value = HKEY;
  static Value Invalid() { return nullptr; }
  static bool IsValid(Value v) { return v != nullptr; }
  static void Close(Value v) { ::RegCloseKey(v); }
};
using UniqueRegKey = UniqueResource<RegKeyTraits>;

// A view of a file mapping: unmapped when released.
struct MappedViewTraits {
  using Value = void*;
  static Value Invalid() { return nullptr; }
  static bool IsValid(Value v) { return v != nullptr; }
  static void Close(Value v) { ::UnmapViewOfFile(v); }
};
using UniqueMappedView = UniqueResource<MappedViewTraits>;

// A font, bitmap, brush or pen made by this program.
template <typename Object>
struct GdiObjectTraits {
  using Value = Object;
  static Value Invalid() { return nullptr; }
  static bool IsValid(Value v) { return v != nullptr; }
  static void Close(Value v) { ::DeleteObject(v); }
};
using UniqueFont = UniqueResource<GdiObjectTraits<HFONT>>;
using UniqueBitmap = UniqueResource<GdiObjectTraits<HBITMAP>>;

// A memory device context made with CreateCompatibleDC.
struct MemoryDcTraits {
  using Value = HDC;
  static Value Invalid() { return nullptr; }
  static bool IsValid(Value v) { return v != nullptr; }
  static void Close(Value v) { ::DeleteDC(v); }
};
using UniqueMemoryDc = UniqueResource<MemoryDcTraits>;

// A window's (or, for 0, the screen's) device context for one scope.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(::GetDC(window)) {}
  ~WindowDc() {
    if (dc_) ::ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HWND window_;
  HDC dc_;
};

// Selects an object into a device context for one scope and puts the old one
// back on every path out of it.
class SelectionGuard {
 public:
  SelectionGuard(HDC dc, HGDIOBJ object) : dc_(dc), old_(::SelectObject(dc, object)) {}
  ~SelectionGuard() {
    if (old_ && old_ != HGDI_ERROR) ::SelectObject(dc_, old_);
  }
  SelectionGuard(const SelectionGuard&) = delete;
  SelectionGuard& operator=(const SelectionGuard&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// BeginPaint for one WM_PAINT, ended on every path out of the handler.
class PaintScope {
 public:
  explicit PaintScope(HWND window) : window_(window), dc_(::BeginPaint(window, &paint_)) {}
  ~PaintScope() { ::EndPaint(window_, &paint_); }
  PaintScope(const PaintScope&) = delete;
  PaintScope& operator=(const PaintScope&) = delete;
  HDC dc() const { return dc_; }
  const PAINTSTRUCT& paint() const { return paint_; }

 private:
  HWND window_;
  PAINTSTRUCT paint_ = {};
  HDC dc_;
};

// A COM interface pointer holding one reference.
template <typename Interface>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() { reset(); }
  ComPtr(ComPtr&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) {
      reset();
      ptr_ = std::exchange(other.ptr_, nullptr);
    }
    return *this;
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;

  Interface* get() const { return ptr_; }
  Interface* operator->() const { return ptr_; }
  explicit operator bool() const { return ptr_ != nullptr; }
  void reset() {
    if (ptr_) std::exchange(ptr_, nullptr)->Release();
  }
  Interface** put() {
    reset();
    return &ptr_;
  }
  void** put_void() { return reinterpret_cast<void**>(put()); }

 private:
  Interface* ptr_ = nullptr;
};

// A menu made by this program (CreatePopupMenu) and not handed to a window.
struct MenuTraits {
  using Value = HMENU;
  static Value Invalid() { return nullptr; }
  static bool IsValid(Value v) { return v != nullptr; }
  static void Close(Value v) { ::DestroyMenu(v); }
};
using UniqueMenu = UniqueResource<MenuTraits>;

// Global memory (GlobalAlloc) that is still this program's: freed unless it
// was released to its new owner, such as the clipboard.
struct GlobalMemoryTraits {
  using Value = HGLOBAL;
  static Value Invalid() { return nullptr; }
  static bool IsValid(Value v) { return v != nullptr; }
  static void Close(Value v) { ::GlobalFree(v); }
};
using UniqueGlobalMemory = UniqueResource<GlobalMemoryTraits>;
