// Owners of Win32 resources: each releases what it holds exactly once, with the release that
// its kind of resource needs, and can be moved but not copied.
#pragma once

#include <windows.h>

#include <objbase.h>

#include <utility>

namespace halcyra {

// `Release` is the system's own release call of the resource kind; its result is not looked at,
// because there is nothing left to do about a resource that would not go.
template <typename Resource, auto Release>
class UniqueResource {
 public:
  UniqueResource() = default;
  explicit UniqueResource(Resource resource) : resource_(resource) {}
  UniqueResource(UniqueResource&& other) noexcept : resource_(other.Detach()) {}
  UniqueResource& operator=(UniqueResource&& other) noexcept {
    if (this != &other) Reset(other.Detach());
    return *this;
  }
  UniqueResource(const UniqueResource&) = delete;
  UniqueResource& operator=(const UniqueResource&) = delete;
  ~UniqueResource() { Close(); }

  Resource Get() const { return resource_; }
  explicit operator bool() const { return resource_ != Resource{}; }
  Resource Detach() { return std::exchange(resource_, Resource{}); }
  void Close() { Reset(Resource{}); }
  void Reset(Resource resource) {
    if (resource_ != Resource{}) Release(resource_);
    resource_ = resource;
  }

 private:
  Resource resource_{};
};

// A kernel handle; the "no file" answer of CreateFile (INVALID_HANDLE_VALUE) holds nothing.
class UniqueHandle : public UniqueResource<HANDLE, &CloseHandle> {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(HANDLE h) : UniqueResource(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
};

// A search of a folder's entries; a failed FindFirstFile (INVALID_HANDLE_VALUE) holds nothing.
class UniqueFind : public UniqueResource<HANDLE, &FindClose> {
 public:
  UniqueFind() = default;
  explicit UniqueFind(HANDLE h) : UniqueResource(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
};

// A handle of the service manager or of a service.
using ScHandle = UniqueResource<SC_HANDLE, &CloseServiceHandle>;
using UniqueMenu = UniqueResource<HMENU, &DestroyMenu>;
using UniqueIcon = UniqueResource<HICON, &DestroyIcon>;
using UniqueRegistryKey = UniqueResource<HKEY, &RegCloseKey>;
// Memory the system handed out with LocalAlloc: security descriptors, SID texts.
using UniqueLocal = UniqueResource<HLOCAL, &LocalFree>;
// Memory the shell handed out with CoTaskMemAlloc: known-folder paths, item id lists.
template <typename Pointer>
using UniqueCoTaskMem = UniqueResource<Pointer, &CoTaskMemFree>;

// A memory device context made for drawing off screen.
using UniqueMemoryDc = UniqueResource<HDC, &DeleteDC>;

// A window's device context, given back to its window.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~WindowDc() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC Get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// A GDI object of one kind (font, brush, bitmap).
template <typename Object>
class UniqueGdiObject : public UniqueResource<HGDIOBJ, &DeleteObject> {
 public:
  UniqueGdiObject() = default;
  explicit UniqueGdiObject(Object object) : UniqueResource(object) {}
  Object Get() const { return static_cast<Object>(UniqueResource::Get()); }
};

// A COM interface pointer: released once.
template <typename Interface>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) {
      Close();
      pointer_ = std::exchange(other.pointer_, nullptr);
    }
    return *this;
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ~ComPtr() { Close(); }

  Interface* operator->() const { return pointer_; }
  Interface* Get() const { return pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }
  // Where a creating call writes the new pointer; whatever was held goes first.
  void** Out() {
    Close();
    return reinterpret_cast<void**>(&pointer_);
  }
  void Close() {
    if (pointer_) std::exchange(pointer_, nullptr)->Release();
  }

 private:
  Interface* pointer_ = nullptr;
};

}  // namespace halcyra
