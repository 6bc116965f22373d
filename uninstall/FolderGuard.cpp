// Checks that keep the removal inside the product's and Mixmaster's own
// folders and inside the Start menu's Programs folder.
#include "uninstall/FolderGuard.h"

#include <vector>

#include "app/Version.h"
#include "util/Paths.h"
#include "util/Text.h"
#include "util/Win.h"
// After windows.h; WIN32_LEAN_AND_MEAN leaves it out.
#include <shlobj.h>

namespace uninstall {

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }
bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Splits at "\" and "/"; empty parts (doubled or trailing separators) are kept.
std::vector<std::string> SplitParts(const std::string& s) {
  std::vector<std::string> parts(1);
  for (char c : s) {
    if (IsSeparator(c))
      parts.emplace_back();
    else
      parts.back() += c;
  }
  return parts;
}

// dir is the folder itself or one of its ancestors (both normalised).
bool IsOrContains(const std::string& dir, const std::string& systemFolder) {
  const std::string s = util::NormaliseDir(systemFolder);
  return !s.empty() && (dir == s || util::NormalisedInside(s, dir));
}

// The shell's folders that hold what belongs to the user, to the system or
// to every program: the profile and its well-known folders, the Start menu,
// the AppData folders, the Program Files folders, the public ones.
// clang-format off
const int kShellFolders[] = {
    // the user's own
    CSIDL_PROFILE, CSIDL_DESKTOPDIRECTORY, CSIDL_PERSONAL, CSIDL_MYMUSIC, CSIDL_MYPICTURES,
    CSIDL_MYVIDEO, CSIDL_FAVORITES, CSIDL_STARTMENU, CSIDL_PROGRAMS, CSIDL_STARTUP, CSIDL_SENDTO,
    CSIDL_RECENT, CSIDL_TEMPLATES, CSIDL_APPDATA, CSIDL_LOCAL_APPDATA, CSIDL_INTERNET_CACHE,
    CSIDL_COOKIES, CSIDL_HISTORY, CSIDL_ADMINTOOLS,
    // every user's
    CSIDL_COMMON_APPDATA, CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_COMMON_DOCUMENTS,
    CSIDL_COMMON_STARTMENU, CSIDL_COMMON_PROGRAMS, CSIDL_COMMON_STARTUP, CSIDL_COMMON_TEMPLATES,
    CSIDL_COMMON_MUSIC, CSIDL_COMMON_PICTURES, CSIDL_COMMON_VIDEO, CSIDL_COMMON_FAVORITES,
    CSIDL_COMMON_ADMINTOOLS,
    // the programs' and the system's
    CSIDL_PROGRAM_FILES, CSIDL_PROGRAM_FILESX86, CSIDL_PROGRAM_FILES_COMMON,
    CSIDL_PROGRAM_FILES_COMMONX86, CSIDL_FONTS, CSIDL_RESOURCES, CSIDL_WINDOWS, CSIDL_SYSTEM,
    CSIDL_SYSTEMX86,
};
// clang-format on

// A 32-bit program on 64-bit Windows is shown "Program Files (x86)" under
// both Program Files names, and the shell will not name the 64-bit programs'
// folders to it; the system hands them over in these variables instead.
const char* const kNativeProgramFolders[] = {"ProgramW6432", "CommonProgramW6432"};

// Calls visit(path) for each well-known folder the system names now, until
// visit returns true; returns whether one did.
template <typename Visit>
bool AnyWellKnownFolder(Visit visit) {
  for (int csidl : kShellFolders) {
    // One whose name has no ANSI spelling cannot hold a folder that the
    // registry or the user names in ANSI: nothing to compare, nothing to say.
    const std::string folder = util::GetShellFolder(csidl, util::TUnspellable::Quiet);
    if (!folder.empty() && visit(folder.c_str())) return true;
  }
  char path[MAX_PATH * 2];
  for (const char* name : kNativeProgramFolders) {
    const DWORD n = GetEnvironmentVariableA(name, path, sizeof(path));
    if (n && n < sizeof(path) && visit(path)) return true;
  }
  return false;
}

}  // namespace

std::vector<std::string> WellKnownFolders() {
  std::vector<std::string> folders;
  AnyWellKnownFolder([&](const char* path) {
    folders.push_back(path);
    return false;
  });
  return folders;
}

bool IsAbsoluteFolderPath(const std::string& dir) {
  if (dir.size() >= 3 && IsDriveLetter(dir[0]) && dir[1] == ':' && IsSeparator(dir[2])) return true;
  // UNC: two separators, a server name, a separator and a share name. The
  // device forms "\\?\" and "\\.\" are not folder paths of this kind.
  if (dir.size() < 5 || !IsSeparator(dir[0]) || !IsSeparator(dir[1])) return false;
  const std::vector<std::string> parts = SplitParts(dir.substr(2));
  return parts.size() >= 2 && !parts[0].empty() && parts[0] != "?" && parts[0] != "." &&
         !parts[1].empty();
}

bool IsRootForm(const std::string& normalised) {
  if (normalised.size() == 3 && IsDriveLetter(normalised[0]) && normalised[1] == ':' &&
      normalised[2] == '\\')
    return true;
  if (normalised.size() < 2 || normalised[0] != '\\' || normalised[1] != '\\') return false;
  // "\\server\share\" splits into server, share and the empty part after the
  // trailing backslash; anything deeper has more parts.
  const std::vector<std::string> parts = SplitParts(normalised.substr(2));
  return parts.size() <= 3 && (parts.size() < 3 || parts[2].empty());
}

bool IsProtectedFolder(const std::string& dir) {
  const std::string withSlash = util::AppendBackslash(dir);
  if (!IsAbsoluteFolderPath(withSlash)) return true;
  const std::string full = util::FullPath(withSlash);
  if (full.empty()) return true;
  const std::string normalised = util::NormaliseDir(full);
  if (normalised.empty() || IsRootForm(normalised)) return true;
  if (IsOrContains(normalised, util::GetWindowsDir()) ||
      IsOrContains(normalised, util::GetSystemDir()))
    return true;
  return AnyWellKnownFolder([&](const char* known) { return IsOrContains(normalised, known); });
}

bool IsSafeGroupName(const std::string& name) {
  if (name.empty()) return true;
  if (IsSeparator(name[0])) return false;
  for (unsigned char c : name) {
    if (c < 32 || c == ':' || c == '(' || c == ')' || c == '[' || c == ']' || c == '"' || c == ',')
      return false;
  }
  // The system drops trailing dots and blanks from a name, so a part made of
  // nothing else ("..", ". .", "...") may climb out of the Programs folder.
  for (const std::string& part : SplitParts(name)) {
    if (!part.empty() && part.find_first_not_of(". ") == std::string::npos) return false;
  }
  return true;
}

bool IsOwnGroupName(const std::string& name) {
  return util::LowerCase(name) == util::LowerCase(app::ProductName);
}

}  // namespace uninstall
