// The folders that setup must refuse as a destination, as the system names
// them from sources of its own (environment, the recorded shell folders),
// not through the shell as the guard asks; and sentinel files planted in
// them whose bytes a test asserts unchanged.
#pragma once
#include <string>
#include <utility>
#include <vector>

namespace testsupport {

struct TRefusedFolder {
  std::string kind;  // what the folder is, for the test's messages
  std::string path;
};

// An environment variable's value, or "" when it is not set.
std::string EnvironmentValue(const char* name);
// Where the system recorded one of the user's shell folders (HKCU ...\Explorer\
// Shell Folders): a source beside the environment that does not ask the
// shell as the guard does. "" when there is none.
std::string ShellFolderValue(const char* name);

// A drive root (as "C:\" and as "C:"), the Windows and system folders, the
// profile, Desktop, Documents, Start menu, Programs, AppData, local AppData,
// Program Files itself (and its 64-bit twin where there is one), the public
// profile, ProgramData, and the folder of all profiles, which contains one.
// Missing ones are left out; the test checks that the list is long enough.
std::vector<TRefusedFolder> RefusedFolders();

// Files with the names of a distribution's files, planted in a folder with
// bytes of their own; a file that is there already keeps its bytes and is
// only watched. Every planted file goes again on destruction.
class TSentinels {
 public:
  explicit TSentinels(const std::string& folder);
  ~TSentinels();
  TSentinels(const TSentinels&) = delete;
  TSentinels& operator=(const TSentinels&) = delete;

  // True when every file still holds the bytes it held when planted.
  bool Unchanged() const;
  // Adds a test failure naming every file that changed.
  void ExpectUnchanged() const;

 private:
  std::vector<std::pair<std::string, std::string>> files_;  // path, bytes
  std::vector<std::string> planted_;
};

// The distribution's file names that TSentinels plants.
const std::vector<std::string>& SentinelNames();

}  // namespace testsupport
