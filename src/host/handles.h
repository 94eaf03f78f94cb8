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
