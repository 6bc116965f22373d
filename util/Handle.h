// A small move-only owner for Win32 handles. Closing keeps GetLastError, so
// cleanup on an error path does not hide the error that caused it.
#pragma once
#include <utility>

#include "util/Win.h"

namespace util {

// Traits give the handle type, its invalid value and how to close it.
template <typename Traits>
class UniqueHandle {
  using T = typename Traits::Type;
  static T Invalid() { return Traits::Invalid(); }


 public:
  UniqueHandle() = default;
  explicit UniqueHandle(T h) : h_(h) {}
  ~UniqueHandle() { Reset(); }
  UniqueHandle(UniqueHandle&& o) noexcept : h_(o.Release()) {}
  UniqueHandle& operator=(UniqueHandle&& o) noexcept {
    if (this != &o) Reset(o.Release());
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  T Get() const { return h_; }
  T* Put() { Reset(); return &h_; }
  bool Valid() const { return h_ != Invalid(); }
  explicit operator bool() const { return Valid(); }
  T Release() { return std::exchange(h_, Invalid()); }
  void Reset() { Reset(Invalid()); }
  void Reset(T h) {
    if (h_ != Invalid()) {
      DWORD err = GetLastError();
      Traits::Close(h_);
      SetLastError(err);
    }
    h_ = h;
  }

 private:
  T h_ = Invalid();
};

struct NullHandleTraits {
  using Type = HANDLE;
  static HANDLE Invalid() { return nullptr; }
  static void Close(HANDLE h) { CloseHandle(h); }
};
struct FileHandleTraits {
  using Type = HANDLE;
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) { CloseHandle(h); }
};
struct FindHandleTraits {
  using Type = HANDLE;
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) { FindClose(h); }
};
struct KeyHandleTraits {
  using Type = HKEY;
  static HKEY Invalid() { return nullptr; }
  static void Close(HKEY h) { RegCloseKey(h); }
};
// The screen's device context (GetDC(nullptr)), given back with ReleaseDC.
struct ScreenDCTraits {
  using Type = HDC;
  static HDC Invalid() { return nullptr; }
  static void Close(HDC h) { ReleaseDC(nullptr, h); }
};

// Process, thread and pipe handles (null when absent).
using Handle = UniqueHandle<NullHandleTraits>;
// File handles (INVALID_HANDLE_VALUE when absent).
using FileHandle = UniqueHandle<FileHandleTraits>;
using FindHandle = UniqueHandle<FindHandleTraits>;
using KeyHandle = UniqueHandle<KeyHandleTraits>;
using ScreenDC = UniqueHandle<ScreenDCTraits>;

}  // namespace util
