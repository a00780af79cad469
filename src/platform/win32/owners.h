// ===========================================================================
//  PLATFORM SEAM (Win32): owners of the system's resources. Each gives its
//  resource back when it goes out of scope, on every path.
// ===========================================================================
#pragma once

#include <windows.h>
#include <wininet.h>

#include <utility>

namespace win32 {

// A handle closed by `close` (nothing is closed for a null handle).
template <typename Handle, auto close>
class Owned {
 public:
  Owned() = default;
  explicit Owned(Handle handle) : handle_(handle) {}
  ~Owned() { reset(); }
  Owned(Owned&& other) noexcept : handle_(std::exchange(other.handle_, Handle{})) {}
  Owned& operator=(Owned&& other) noexcept {
    if (this != &other) reset(std::exchange(other.handle_, Handle{}));
    return *this;
  }
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != Handle{}; }
  void reset(Handle handle = Handle{}) {
    if (handle_ != Handle{}) close(handle_);
    handle_ = handle;
  }

 private:
  Handle handle_{};
};

namespace owners_detail {
template <typename Object>
void deleteObject(Object object) {
  DeleteObject(object);
}
inline void deleteDc(HDC dc) { DeleteDC(dc); }
inline void closeInternetHandle(HINTERNET handle) { InternetCloseHandle(handle); }
}  // namespace owners_detail

// A brush, pen, font or bitmap of our own.
template <typename Object>
using GdiObject = Owned<Object, &owners_detail::deleteObject<Object>>;
// A memory device context (CreateCompatibleDC).
using MemoryDc = Owned<HDC, &owners_detail::deleteDc>;
// A WinInet session, connection or request.
using InternetHandle = Owned<HINTERNET, &owners_detail::closeInternetHandle>;

// An object selected into a device context, the previous one put back at the end.
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~Selection() {
    if (previous_ != nullptr && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
  }
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// A COM interface pointer holding one reference.
template <typename Interface>
class ComPtr {
 public:
  ComPtr() = default;
  // Takes over the reference the pointer carries.
  explicit ComPtr(Interface* taken) : pointer_(taken) {}
  ~ComPtr() { reset(); }
  ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) {
      reset();
      pointer_ = std::exchange(other.pointer_, nullptr);
    }
    return *this;
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;

  Interface* get() const { return pointer_; }
  Interface* operator->() const { return pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }
  void reset() {
    if (pointer_ != nullptr) std::exchange(pointer_, nullptr)->Release();
  }
  // The slot a creating or querying call fills; what was held is released first.
  void** put() {
    reset();
    return reinterpret_cast<void**>(&pointer_);
  }

 private:
  Interface* pointer_ = nullptr;
};

// Counts a scope in: the count is one higher for as long as it lasts.
class ScopedCount {
 public:
  explicit ScopedCount(int& count) : count_(count) { ++count_; }
  ~ScopedCount() { --count_; }
  ScopedCount(const ScopedCount&) = delete;
  ScopedCount& operator=(const ScopedCount&) = delete;

 private:
  int& count_;
};

}  // namespace win32
