// Scratch folders and files (see TempDir.h).
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>
#include <vector>

#include "util/FileStream.h"
#include "util/Text.h"

#ifdef _WIN32
#include "util/DirList.h"
#include "util/Paths.h"
#include "util/Win.h"
#else
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#endif

namespace testsupport {

namespace {

#ifdef _WIN32
constexpr char kSep = '\\';
std::string TempRoot() { return util::GetTempDir(); }
int ProcessId() { return static_cast<int>(GetCurrentProcessId()); }
bool MakeOneDir(const std::string& path) { return CreateDirectoryA(path.c_str(), nullptr) != 0; }
#else
constexpr char kSep = '/';
std::string TempRoot() {
  for (const char* name : {"TEMP", "TMP", "TMPDIR"})
    if (const char* v = std::getenv(name); v && *v) return std::string(v) + kSep;
  return "/tmp/";
}
int ProcessId() { return static_cast<int>(getpid()); }
bool MakeOneDir(const std::string& path) { return mkdir(path.c_str(), 0755) == 0; }
#endif

}  // namespace

TTempDir::TTempDir() {
  static int counter = 0;
  const std::string base = TempRoot() + "lf-test-" + std::to_string(ProcessId()) + "-";
  for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
    const std::string candidate = base + std::to_string(++counter) + kSep;
    if (MakeOneDir(candidate.substr(0, candidate.size() - 1))) path_ = candidate;
  }
  if (path_.empty()) throw std::runtime_error("cannot make a temporary folder under " + base);
#ifdef _WIN32
  if (!LiesInsidePrefix(path_)) {
    RemoveTree(path_);
    throw std::runtime_error("scratch folder outside the Wine prefix: " + path_);
  }
#endif
}

TTempDir::~TTempDir() { RemoveTree(path_); }

std::string TTempDir::Dir(const std::string& rel) const {
  std::string path = path_;
  size_t start = 0;
  while (start < rel.size()) {
    size_t end = rel.find_first_of("\\/", start);
    if (end == std::string::npos) end = rel.size();
    if (end > start) {
      path += rel.substr(start, end - start) + kSep;
      MakeOneDir(path);
    }
    start = end + 1;
  }
  EXPECT_TRUE(util::DirectoryExists(path)) << path;
  return path;
}

std::string TTempDir::File(const std::string& rel, const std::string& text) const {
  const std::string path = path_ + rel;
  EXPECT_TRUE(util::WriteWholeFile(path, text)) << path;
  return path;
}

std::string TTempDir::Read(const std::string& rel) const {
  std::string text;
  return util::ReadWholeFile(path_ + rel, text) ? text : std::string("<missing>");
}

bool TTempDir::Exists(const std::string& rel) const {
  const std::string path = path_ + rel;
  return util::FileExists(path) || util::DirectoryExists(path);
}

void TTempDir::Clear() const {
  RemoveTree(path_);
  MakeDir(path_);
}

void WriteFileText(const std::string& path, const std::string& data) {
  ASSERT_TRUE(util::WriteWholeFile(path, data)) << path;
}

std::string ReadFileText(const std::string& path) {
  std::string data;
  EXPECT_TRUE(util::ReadWholeFile(path, data)) << path;
  return data;
}

void MakeDir(const std::string& path) {
  ASSERT_TRUE(MakeOneDir(path) || util::DirectoryExists(path)) << path;
}

#ifdef _WIN32

void RemoveTree(const std::string& path) {
  const std::string dir = util::AppendBackslash(path);
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((dir + "*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      std::string name = data.cFileName;
      if (name == "." || name == "..") continue;
      std::string full = dir + name;
      if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        if (!RemoveDirectoryA(full.c_str())) DeleteFileA(full.c_str());
        continue;
      }
      SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveTree(full);
      else
        DeleteFileA(full.c_str());
    } while (FindNextFileA(find, &data));
    FindClose(find);
  }
  SetFileAttributesA(dir.c_str(), FILE_ATTRIBUTE_DIRECTORY);
  RemoveDirectoryA(dir.c_str());
}

bool LiesInsidePrefix(const std::string& folder) {
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

std::string Normalised(const std::string& path) {
  return util::LowerCase(util::GetShortPath(path));
}

util::TStringList FileNames(const std::string& dir) {
  util::TStringList paths, names;
  util::FindFiles(&paths, util::AppendBackslash(dir) + "*.*", util::faAnyFile);
  for (const auto& p : paths.Lines()) names.Add(util::ExtractFileName(p));
  return names;
}

#else

void RemoveTree(const std::string& path) {
  std::error_code ignored;
  std::filesystem::remove_all(path, ignored);
}

#endif

}  // namespace testsupport
