// Scratch folders for the Win32 tests: makes a relative chain of folders
// below a root (each level, as needed) and gives its path with "\", and
// tells whether a folder really lies inside the Wine prefix before a test
// plants files in it or lets the code under test delete there.
#pragma once
#include <string>
#include <vector>

#include "util/Win.h"

namespace testfolders {

inline std::string MakeDirs(const std::string& root, const std::string& rel) {
  std::string path = root;
  size_t start = 0;
  while (start < rel.size()) {
    size_t end = rel.find('\\', start);
    if (end == std::string::npos) end = rel.size();
    path += rel.substr(start, end - start) + "\\";
    CreateDirectoryA(path.c_str(), nullptr);
    start = end + 1;
  }
  return path;
}

// True when folder exists and, followed link by link, ends where its own
// path says, on drive C: (the prefix's drive_c under Wine). A symbolic link
// on the way, such as a profile folder that a fresh prefix points at the Unix
// home, resolves elsewhere (Z:\...) and makes this false.
inline bool LiesInsidePrefix(const std::string& folder) {
  HANDLE h = CreateFileA(folder.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  std::vector<char> buf(32768, '\0');
  const DWORD n = GetFinalPathNameByHandleA(h, buf.data(), static_cast<DWORD>(buf.size()),
                                            FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  CloseHandle(h);
  if (n == 0 || n >= buf.size()) return false;
  std::string resolved(buf.data(), n);
  if (resolved.compare(0, 4, "\\\\?\\") == 0) resolved.erase(0, 4);

  std::vector<char> full(32768, '\0'), lng(32768, '\0');
  if (!GetFullPathNameA(folder.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr) ||
      !GetLongPathNameA(full.data(), lng.data(), static_cast<DWORD>(lng.size())))
    return false;
  std::string expected(lng.data());
  auto lower = [](std::string s) {
    while (s.size() > 3 && s.back() == '\\') s.pop_back();
    if (!s.empty()) CharLowerBuffA(s.data(), static_cast<DWORD>(s.size()));
    return s;
  };
  resolved = lower(resolved);
  return resolved.compare(0, 3, "c:\\") == 0 && resolved == lower(expected);
}

}  // namespace testfolders
