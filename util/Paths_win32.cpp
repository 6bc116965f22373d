// Path helpers that ask the system: short names, system folders.
#include <vector>

#include "util/AnsiPath.h"
#include "util/LateLoad.h"
#include "util/Paths.h"
#include "util/Text.h"
#include "util/Win.h"

namespace util {

namespace {
// The two-call pattern: ask for the length (n counts the NUL), then fill a
// buffer of n + 1 bytes stated as n. One function for every system call,
// each through a small adapter (setup.exe has a size budget).
using TFill = DWORD (*)(const char* arg, char* buf, DWORD n);
std::string TwoCall(TFill call, const char* arg = nullptr) {
  DWORD n = call(arg, nullptr, 0);
  if (n == 0) return std::string();
  std::vector<char> buf(n + 1, '\0');
  DWORD got = call(arg, buf.data(), n);
  if (got == 0 || got >= n + 1) return std::string();
  return std::string(buf.data());
}

// The same for a system function that gives UTF-16; the text is made ANSI
// through AnsiPath. One function for all of them (a captureless lambda each).
std::string TwoCallWide(DWORD (*call)(wchar_t*, DWORD)) {
  DWORD n = call(nullptr, 0);
  if (n == 0) return std::string();
  std::vector<wchar_t> buf(n + 1, L'\0');
  DWORD got = call(buf.data(), n);
  if (got == 0 || got >= n + 1) return std::string();
  return AnsiPath(buf.data());
}
}  // namespace

std::string GetShortPath(const std::string& path) {
  if (path.empty()) return std::string();
  return TwoCall([](const char* p, char* b, DWORD n) { return GetShortPathNameA(p, b, n); },
                 path.c_str());
}

std::string FullPath(const std::string& path) {
  return TwoCall([](const char* p, char* b, DWORD n) { return GetFullPathNameA(p, n, b, nullptr); },
                 path.c_str());
}

// The folders the system names are taken in UTF-16 and made ANSI at the one
// boundary for it (AnsiPath.h): a name the code page cannot spell would
// otherwise arrive with "?" in it.
std::string GetWindowsDir() {
  return TwoCallWide([](wchar_t* b, DWORD n) -> DWORD { return GetWindowsDirectoryW(b, n); });
}

std::string GetSystemDir() {
  return TwoCallWide([](wchar_t* b, DWORD n) -> DWORD { return GetSystemDirectoryW(b, n); });
}

std::string GetTempDir() {
  return TwoCallWide([](wchar_t* b, DWORD n) -> DWORD { return GetTempPathW(n, b); });
}

std::string GetCurrentDir() {
  return TwoCallWide([](wchar_t* b, DWORD n) -> DWORD { return GetCurrentDirectoryW(n, b); });
}

bool SetCurrentDir(const std::string& path) { return SetCurrentDirectoryA(path.c_str()) != 0; }

std::string GetExePath() {
  std::vector<wchar_t> buf(MAX_PATH);
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0) return std::string();
    if (n < buf.size()) return AnsiPath(buf.data());
    buf.resize(buf.size() * 2);
  }
}

std::string GetExeDir() {
  const std::string folder = ExtractFilePath(GetExePath());
  return folder.size() > 3 ? StripBackslash(folder) : folder;
}

std::string GetShellFolder(int csidl, TUnspellable unspellable) {
  // shell32 is mapped only by the steps that need a shell folder, not at
  // start-up (it drags several more DLLs in).
  using Fn = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPWSTR);
  const auto getFolder = LateProc<Fn>("shell32.dll", "SHGetFolderPathW");
  wchar_t path[MAX_PATH] = {0};
  if (getFolder && SUCCEEDED(getFolder(nullptr, csidl, nullptr, 0 /* SHGFP_TYPE_CURRENT */, path)))
    return AnsiPath(path, unspellable);
  return std::string();
}

std::string NormaliseDir(const std::string& dir) {
  if (dir.empty()) return std::string();
  return LowerCase(GetShortPath(AppendBackslash(dir)));
}

bool NormalisedInside(const std::string& inner, const std::string& outer) {
  return !inner.empty() && !outer.empty() && inner.size() > outer.size() &&
         inner.compare(0, outer.size(), outer) == 0;
}

bool SameDir(const std::string& a, const std::string& b) {
  std::string na = NormaliseDir(a), nb = NormaliseDir(b);
  return !na.empty() && na == nb;
}

bool DirInside(const std::string& inner, const std::string& outer) {
  return NormalisedInside(NormaliseDir(inner), NormaliseDir(outer));
}

}  // namespace util
