// A system library loaded when a task first needs it. The program runs all day, and libraries
// that only a rarely used task calls (the open-file dialog, the Internet cache, the digest
// provider) cost memory for as long as they are loaded: under Wine, each of the three brings
// megabytes of host libraries with it.
#pragma once

#include <windows.h>

#include <string>

namespace halcyra {

// The loaded module's function of that name as the type of its declaration (for example
// `FunctionOf<decltype(GetOpenFileNameW)>(module, "GetOpenFileNameW")`), or null: a function
// looked up at run time because older systems lack it.
template <typename Declared>
Declared* FunctionOf(HMODULE module, const char* name) {
  if (!module) return nullptr;
  return reinterpret_cast<Declared*>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

class LoadedLibrary {
 public:
  // `name`: a library of the system folder; it is looked for there alone, never in the
  // program's folder or the current one.
  explicit LoadedLibrary(const wchar_t* name) {
    wchar_t folder[MAX_PATH];
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    module_ = LoadLibraryW((std::wstring(folder, length) + L"\\" + name).c_str());
  }
  ~LoadedLibrary() {
    if (module_) FreeLibrary(module_);
  }
  LoadedLibrary(const LoadedLibrary&) = delete;
  LoadedLibrary& operator=(const LoadedLibrary&) = delete;

  explicit operator bool() const { return module_ != nullptr; }

  // The library's function of that name (see FunctionOf), or null.
  template <typename Declared>
  Declared* Function(const char* name) const {
    return FunctionOf<Declared>(module_, name);
  }

 private:
  HMODULE module_ = nullptr;
};

}  // namespace halcyra
