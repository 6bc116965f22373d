// Names outside the code page and wide file calls (see Unspellable.h).
#include "tests/support/Unspellable.h"

#include <vector>

#include "util/Win.h"

namespace testsupport {

std::wstring UnspellableName() {
  // "Łukasz", a Chinese user name, "Ψ-user": no single-byte Western or
  // Central European code page, nor a Chinese one, has all three.
  for (const wchar_t* name : {L"\u0141ukasz", L"\u7528\u6237", L"\u03a8-user"}) {
    BOOL usedDefault = FALSE;
    char out[64];
    if (GetACP() == CP_UTF8) return std::wstring();
    const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, name, -1, out, sizeof out,
                                      nullptr, &usedDefault);
    if (n == 0 || usedDefault) return name;
  }
  return std::wstring();
}

std::wstring Widen(const std::string& ansi) {
  const int n = MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, nullptr, 0);
  std::vector<wchar_t> w(n > 0 ? n : 1, L'\0');
  if (n > 0) MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, w.data(), n);
  return w.data();
}

std::string Utf8(const std::wstring& wide) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::vector<char> s(n > 0 ? n : 1, '\0');
  if (n > 0) WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, s.data(), n, nullptr, nullptr);
  return s.data();
}

bool MakeDirW(const std::wstring& path) {
  if (DirectoryExistsW(path)) return true;
  const size_t slash = path.find_last_of(L'\\');
  if (slash != std::wstring::npos && slash > 2) MakeDirW(path.substr(0, slash));
  return CreateDirectoryW(path.c_str(), nullptr) != 0;
}

bool WriteFileW(const std::wstring& path, const std::string& data) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(h, data.data(), static_cast<DWORD>(data.size()), &written, nullptr) &&
                  written == data.size();
  CloseHandle(h);
  return ok;
}

bool FileExistsW(const std::wstring& path) {
  const DWORD a = GetFileAttributesW(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExistsW(const std::wstring& path) {
  const DWORD a = GetFileAttributesW(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

int CountW(const std::wstring& pattern) {
  WIN32_FIND_DATAW data;
  HANDLE h = FindFirstFileW(pattern.c_str(), &data);
  if (h == INVALID_HANDLE_VALUE) return 0;
  int n = 0;
  do {
    const std::wstring name = data.cFileName;
    if (name != L"." && name != L"..") ++n;
  } while (FindNextFileW(h, &data));
  FindClose(h);
  return n;
}

void RemoveTreeW(const std::wstring& path) {
  WIN32_FIND_DATAW data;
  HANDLE h = FindFirstFileW((path + L"\\*").c_str(), &data);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = data.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring child = path + L"\\" + name;
      const bool folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                          !(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
      SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (folder)
        RemoveTreeW(child);
      else
        DeleteFileW(child.c_str());
    } while (FindNextFileW(h, &data));
    FindClose(h);
  }
  RemoveDirectoryW(path.c_str());
}

TSavedValue::TSavedValue(const std::wstring& key, const std::wstring& name,
                         const std::wstring& text)
    : key_(key), name_(name) {
  HKEY k;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k,
                      nullptr) != ERROR_SUCCESS)
    return;
  DWORD size = 0;
  if (RegQueryValueExW(k, name.c_str(), nullptr, &type_, nullptr, &size) == ERROR_SUCCESS) {
    data_.resize(size);
    existed_ = RegQueryValueExW(k, name.c_str(), nullptr, &type_,
                                reinterpret_cast<BYTE*>(data_.data()), &size) == ERROR_SUCCESS;
  }
  RegSetValueExW(k, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                 static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(k);
}

TSavedValue::~TSavedValue() {
  HKEY k;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, key_.c_str(), 0, KEY_ALL_ACCESS, &k) != ERROR_SUCCESS)
    return;
  if (existed_)
    RegSetValueExW(k, name_.c_str(), 0, type_, reinterpret_cast<const BYTE*>(data_.data()),
                   static_cast<DWORD>(data_.size()));
  else
    RegDeleteValueW(k, name_.c_str());
  RegCloseKey(k);
}

}  // namespace testsupport
