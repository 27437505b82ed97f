// Owners of Win32 handles: each closes what it holds exactly once.
#pragma once

#include <windows.h>

#include <utility>

namespace halcyra {

class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(HANDLE h) : h_(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
  UniqueHandle(UniqueHandle&& other) noexcept : h_(other.Detach()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) {
      Close();
      h_ = other.Detach();
    }
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { Close(); }

  HANDLE Get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }
  HANDLE Detach() { return std::exchange(h_, nullptr); }
  void Close() {
    if (h_) CloseHandle(std::exchange(h_, nullptr));
  }

 private:
  HANDLE h_ = nullptr;
};

// A handle of the service manager or of a service.
class ScHandle {
 public:
  explicit ScHandle(SC_HANDLE h) : h_(h) {}
  ~ScHandle() {
    if (h_) CloseServiceHandle(h_);
  }
  ScHandle(const ScHandle&) = delete;
  ScHandle& operator=(const ScHandle&) = delete;
  SC_HANDLE Get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }

 private:
  SC_HANDLE h_;
};

}  // namespace halcyra
