// Refused destinations and sentinel files (see RefusedFolders.h).
#include "tests/support/RefusedFolders.h"

#include <gtest/gtest.h>

#include "tests/support/TempDir.h"
#include "util/FileStream.h"
#include "util/Paths.h"
#include "util/Registry.h"
#include "util/Win.h"

namespace testsupport {

std::string EnvironmentValue(const char* name) {
  char buf[MAX_PATH * 2] = {};
  const DWORD n = GetEnvironmentVariableA(name, buf, sizeof(buf));
  return n && n < sizeof(buf) ? std::string(buf) : std::string();
}

std::string ShellFolderValue(const char* name) {
  util::TRegistry reg;
  if (!reg.OpenKey("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", false))
    return std::string();
  return reg.ReadString(name);
}

std::vector<TRefusedFolder> RefusedFolders() {
  const std::string windows = util::GetWindowsDir();
  const std::string profile = EnvironmentValue("USERPROFILE");
  std::vector<TRefusedFolder> all = {
      {"drive root", windows.substr(0, 2) + "\\"},
      {"bare drive", windows.substr(0, 2)},
      {"Windows folder", windows},
      {"system folder", util::GetSystemDir()},
      {"profile", profile},
      {"Desktop", ShellFolderValue("Desktop")},
      {"Documents", ShellFolderValue("Personal")},
      {"Start menu", ShellFolderValue("Start Menu")},
      {"Programs", ShellFolderValue("Programs")},
      {"AppData", EnvironmentValue("APPDATA")},
      {"local AppData", ShellFolderValue("Local AppData")},
      {"Program Files", EnvironmentValue("ProgramFiles")},
      {"64-bit Program Files", EnvironmentValue("ProgramW6432")},
      {"public profile", EnvironmentValue("PUBLIC")},
      {"ProgramData", EnvironmentValue("ProgramData")},
      {"folder of all profiles", profile.empty() ? "" : util::ExtractFilePath(profile)},
  };
  std::vector<TRefusedFolder> present;
  for (const TRefusedFolder& f : all)
    if (!f.path.empty() && util::DirectoryExists(f.path)) present.push_back(f);
  return present;
}

const std::vector<std::string>& SentinelNames() {
  static const std::vector<std::string> names = {"ReadMe.txt", "License.txt", "LN.exe"};
  return names;
}

TSentinels::TSentinels(const std::string& folder) {
  // Plant nothing outside the prefix: a fresh prefix may link the user's
  // own folders to the Unix home.
  if (!LiesInsidePrefix(folder)) {
    ADD_FAILURE() << "outside the prefix: " << folder;
    return;
  }
  const std::string dir = util::AppendBackslash(folder);
  for (const std::string& name : SentinelNames()) {
    const std::string path = dir + name;
    if (!util::FileExists(path)) {
      const std::string bytes = "the user's own " + name + "\r\n\x01\xff";
      WriteFileText(path, bytes);
      planted_.push_back(path);
    }
    files_.emplace_back(path, ReadFileText(path));
  }
}

TSentinels::~TSentinels() {
  for (const std::string& path : planted_) DeleteFileA(path.c_str());
}

bool TSentinels::Unchanged() const {
  for (const auto& [path, bytes] : files_)
    if (ReadFileText(path) != bytes) return false;
  return !files_.empty();
}

void TSentinels::ExpectUnchanged() const {
  EXPECT_FALSE(files_.empty());
  for (const auto& [path, bytes] : files_) EXPECT_EQ(ReadFileText(path), bytes) << path;
}

}  // namespace testsupport
