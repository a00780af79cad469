// Owners of the system's resources. Each gives its resource back when it goes
// out of scope, on every path.
#pragma once

#include <windows.h>
// After windows.h: OleInitialize, SysFreeString.
#include <ole2.h>

#include <utility>

namespace win32 {

// What counts as "no handle": null for most handles, INVALID_HANDLE_VALUE
// for what CreateFile opens.
template <typename Handle>
struct NullIsNone {
  static Handle none() { return Handle{}; }
};
struct InvalidValueIsNone {
  static HANDLE none() { return INVALID_HANDLE_VALUE; }
};

// One handle, given back by `close` when the owner goes or takes another
// (nothing is closed for "no handle").
template <typename Handle, auto close, typename None = NullIsNone<Handle>>
class Owned {
 public:
  Owned() = default;
  explicit Owned(Handle handle) : handle_(handle) {}
  ~Owned() { reset(); }
  Owned(Owned&& other) noexcept : handle_(other.release()) {}
  Owned& operator=(Owned&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != None::none(); }
  void reset(Handle handle = None::none()) {
    const Handle old = std::exchange(handle_, handle);
    if (old != None::none()) close(old);
  }
  // Gives the handle up without closing it: the caller owns it now.
  [[nodiscard]] Handle release() { return std::exchange(handle_, None::none()); }
  // The slot an opening call fills; what was held is closed first.
  Handle* put() {
    reset();
    return &handle_;
  }

 private:
  Handle handle_ = None::none();
};

namespace owners_detail {
template <typename Object>
void deleteObject(Object object) {
  DeleteObject(object);
}
inline void deleteDc(HDC dc) { DeleteDC(dc); }
inline void closeHandle(HANDLE handle) { CloseHandle(handle); }
inline void closeKey(HKEY key) { RegCloseKey(key); }
inline void destroyWindow(HWND window) { DestroyWindow(window); }
inline void freeString(BSTR text) { SysFreeString(text); }
}  // namespace owners_detail

// A brush, pen, font or bitmap of our own.
template <typename Object>
using GdiObject = Owned<Object, &owners_detail::deleteObject<Object>>;
// A memory device context (CreateCompatibleDC).
using MemoryDc = Owned<HDC, &owners_detail::deleteDc>;
// An event, mutex, process or thread.
using KernelHandle = Owned<HANDLE, &owners_detail::closeHandle>;
// An open file.
using FileHandle = Owned<HANDLE, &owners_detail::closeHandle, InvalidValueIsNone>;
// An open registry key.
using RegistryKey = Owned<HKEY, &owners_detail::closeKey>;
// A window of our own that nothing else destroys.
using OwnedWindow = Owned<HWND, &owners_detail::destroyWindow>;
// A string allocated for COM (SysAllocString).
using ComString = Owned<BSTR, &owners_detail::freeString>;

// Closes a file now. False when closing failed: data not yet written is lost.
inline bool closeFile(FileHandle& file) {
  const HANDLE handle = file.release();
  return handle == INVALID_HANDLE_VALUE || CloseHandle(handle) != FALSE;
}

// A window's device context (GetDC; null for the screen's), released at the end.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~WindowDc() {
    if (dc_ != nullptr) ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;

  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HWND window_;
  HDC dc_;
};

// OLE on this thread for as long as the object lives, when it could be had
// (OleInitialize succeeded; a thread already in the multithreaded apartment
// cannot have it).
class OleSession {
 public:
  OleSession() : result_(OleInitialize(nullptr)) {}
  ~OleSession() {
    if (SUCCEEDED(result_)) OleUninitialize();
  }
  OleSession(const OleSession&) = delete;
  OleSession& operator=(const OleSession&) = delete;

  bool ready() const { return SUCCEEDED(result_); }

 private:
  HRESULT result_;
};

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

}  // namespace win32
