// CreateShortcut: the program's one use of COM. COM is initialised for the
// thread on first use and left initialised for the rest of the run; ole32 is
// loaded then too.
#include "util/Shortcut.h"

#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

#include "util/LateLoad.h"
#include "util/Text.h"

namespace util {

namespace {

// The three identifiers, defined here rather than taken from libuuid, which
// holds every GUID of the system headers in one object of some 40 KiB.
const GUID kClsidShellLink = {0x00021401, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const GUID kIidShellLinkA = {0x000214EE, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const GUID kIidPersistFile = {0x0000010B, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

// Releases a COM interface pointer when it goes out of scope.
template <typename I>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() {
    if (p_) p_->Release();
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  I* operator->() const { return p_; }
  void** Put() { return reinterpret_cast<void**>(&p_); }

 private:
  I* p_ = nullptr;
};

}  // namespace

HRESULT CreateShortcut(const std::string& target, const std::string& linkFile,
                       const std::string& iconFile, const std::string& description,
                       const std::string& arguments) {
  // ole32 is mapped on the first shortcut, not at start-up: only the last
  // install step needs COM.
  using InitFn = HRESULT(WINAPI*)(LPVOID);
  using CreateFn = HRESULT(WINAPI*)(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID*);
  const auto coInitialize = LateProc<InitFn>("ole32.dll", "CoInitialize");
  const auto coCreateInstance = LateProc<CreateFn>("ole32.dll", "CoCreateInstance");
  if (!coInitialize || !coCreateInstance) return HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
  coInitialize(nullptr);  // S_FALSE when already initialised; both are fine

  ComPtr<IShellLinkA> link;
  HRESULT hr = coCreateInstance(kClsidShellLink, nullptr, CLSCTX_INPROC_SERVER, kIidShellLinkA,
                                link.Put());
  if (FAILED(hr)) return hr;

  const std::string workDir = LowerCase(ExtractFilePath(target));
  link->SetPath(target.c_str());
  link->SetDescription(description.c_str());
  link->SetWorkingDirectory(workDir.c_str());
  link->SetIconLocation(iconFile.c_str(), 0);
  if (!arguments.empty()) link->SetArguments(arguments.c_str());

  ComPtr<IPersistFile> file;
  hr = link->QueryInterface(kIidPersistFile, file.Put());
  if (FAILED(hr)) return hr;

  WCHAR widePath[MAX_PATH] = {0};
  if (MultiByteToWideChar(CP_ACP, 0, linkFile.c_str(), -1, widePath, MAX_PATH) == 0)
    return HRESULT_FROM_WIN32(GetLastError());
  return file->Save(widePath, TRUE);
}

}  // namespace util
