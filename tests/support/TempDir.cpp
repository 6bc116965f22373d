// Helpers of the install-step tests (see InstallTestUtil.h).
#include "tests/support/TempDir.h"

#include <stdexcept>

#include "app/Version.h"
#include "tests/support/Folders.h"
#include "util/FileStream.h"
#include "util/Paths.h"
#include "util/Registry.h"
#include "util/Win.h"

namespace lftest {

TTempDir::TTempDir() {
  static int counter = 0;
  const std::string base = util::AppendBackslash(util::GetTempDir()) + "lf-install-" +
                           util::IntToStr(GetCurrentProcessId()) + "-";
  do {
    path_ = base + util::IntToStr(++counter) + "\\";
  } while (util::DirectoryExists(path_));
  MakeDir(path_);
  // The tests plant files here and let the code under test delete in it:
  // never anywhere outside the prefix.
  if (!testfolders::LiesInsidePrefix(path_))
    throw std::runtime_error("scratch folder outside the Wine prefix: " + path_);
}

TTempDir::~TTempDir() { ForceRemoveTree(path_); }

void WriteFileText(const std::string& path, const std::string& data) {
  ASSERT_TRUE(util::WriteWholeFile(path, data)) << path;
}

std::string ReadFileText(const std::string& path) {
  std::string data;
  EXPECT_TRUE(util::ReadWholeFile(path, data)) << path;
  return data;
}

void MakeDir(const std::string& path) {
  ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr) || util::DirectoryExists(path)) << path;
}

void ForceRemoveTree(const std::string& path) {
  const std::string dir = util::AppendBackslash(path);
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((dir + "*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      std::string name = data.cFileName;
      if (name == "." || name == "..") continue;
      std::string full = dir + name;
      // A link goes itself; what it points at is not the test's.
      if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        if (!RemoveDirectoryA(full.c_str())) DeleteFileA(full.c_str());
        continue;
      }
      SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        ForceRemoveTree(full);
      else
        DeleteFileA(full.c_str());
    } while (FindNextFileA(find, &data));
    FindClose(find);
  }
  SetFileAttributesA(dir.c_str(), FILE_ATTRIBUTE_DIRECTORY);
  RemoveDirectoryA(dir.c_str());
}

void DeleteProductKey() {
  // A link key (made by the registry-failure test) is removed as itself.
  HKEY link;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, app::ProductRegistryKey.c_str(), REG_OPTION_OPEN_LINK,
                    KEY_ALL_ACCESS, &link) == ERROR_SUCCESS) {
    using NtDeleteKeyFn = LONG(WINAPI*)(HANDLE);
    auto del = reinterpret_cast<NtDeleteKeyFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtDeleteKey")));
    DWORD type = 0;
    bool isLink = RegQueryValueExA(link, "SymbolicLinkValue", nullptr, &type, nullptr,
                                   nullptr) == ERROR_SUCCESS && type == REG_LINK;
    if (isLink && del) del(link);
    RegCloseKey(link);
  }
  util::TRegistry reg;
  reg.DeleteKey(app::ProductRegistryKey);
}

std::string Normalised(const std::string& path) {
  return util::LowerCase(util::GetShortPath(path));
}

}  // namespace lftest
