// The folder guard: roots, the system's folders and the shell's well-known
// folders, compared in the form that GetShortPathNameA gives.
#include "util/FolderGuard.h"

#include <cstring>
#include <vector>

#include "util/Paths.h"
#include "util/Text.h"
#include "util/Win.h"
// After windows.h; WIN32_LEAN_AND_MEAN leaves it out.
#include <shlobj.h>

namespace util {

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }
bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// dir (comparable) is the folder itself or one of its ancestors.
bool IsOrContains(const std::string& dir, const std::string& systemFolder) {
  const std::string s = ComparableFolder(systemFolder);
  return !s.empty() && (dir == s || NormalisedInside(s, dir));
}

// The shell's folders that hold what belongs to the user, to the system or
// to every program: the profile and its well-known folders, the Start menu,
// the AppData folders, the Program Files folders, the public ones.
// clang-format off
const unsigned char kShellFolders[] = {  // every CSIDL here is below 256
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
    const std::string folder = GetShellFolder(csidl, TUnspellable::Quiet);
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
  const size_t n = dir.size();
  if (n >= 3 && IsDriveLetter(dir[0]) && dir[1] == ':' && IsSeparator(dir[2])) return true;
  // UNC: two separators, a server name, a separator and a share name. The
  // device forms "\\?\" and "\\.\" are not folder paths of this kind.
  if (n < 5 || !IsSeparator(dir[0]) || !IsSeparator(dir[1])) return false;
  size_t end = 2;  // the end of the server name
  while (end < n && !IsSeparator(dir[end])) ++end;
  if (end == 2 || (end == 3 && (dir[2] == '?' || dir[2] == '.'))) return false;
  return end + 1 < n && !IsSeparator(dir[end + 1]);
}

bool IsRootForm(const std::string& normalised) {
  const size_t n = normalised.size();
  if (n == 3 && IsDriveLetter(normalised[0]) && normalised[1] == ':' && normalised[2] == '\\')
    return true;
  if (n < 2 || normalised[0] != '\\' || normalised[1] != '\\') return false;
  // "\\server\share\": after the server and the share at most one more
  // separator, and nothing after it.
  int separators = 0;
  for (size_t i = 2; i < n; ++i) {
    if (IsSeparator(normalised[i]) && ++separators == 2 && i + 1 != n) return false;
  }
  return separators <= 2;
}

std::string ComparableFolder(const std::string& dir) {
  std::string path = AppendBackslash(dir);
  if (!IsAbsoluteFolderPath(path)) return std::string();
  // Resolved without the trailing "\", so that the last part loses its
  // trailing dots and blanks as CreateDirectoryA would drop them ("Desktop."
  // is made as "Desktop"). A root keeps it: "C:" alone would be the drive's
  // current folder.
  if (path.size() > 3) path.pop_back();
  // Fixed buffers and the system's calls rather than string pieces: the
  // guard is part of setup.exe, which has a size budget.
  char full[MAX_PATH * 2];
  char shortForm[MAX_PATH * 2];
  DWORD n = GetFullPathNameA(path.c_str(), sizeof full - 1, full, nullptr);
  if (n == 0 || n >= sizeof full - 1) return std::string();
  if (full[n - 1] != '\\') {
    full[n++] = '\\';
    full[n] = '\0';
  }
  // Shorter and shorter heads that end in "\", down to the root ("C:\",
  // "\\server\share\"; "\\" is never asked): the first that exists gives
  // its short form, and the missing rest follows as written.
  char* result = full;  // nothing of it exists (a missing drive or server): as written
  for (DWORD cut = n; cut >= 3;) {
    const char saved = full[cut];
    full[cut] = '\0';
    DWORD m = GetShortPathNameA(full, shortForm, sizeof shortForm);
    full[cut] = saved;
    if (m && m + 1 + (n - cut) < sizeof shortForm) {
      if (shortForm[m - 1] != '\\') shortForm[m++] = '\\';
      memcpy(shortForm + m, full + cut, n - cut + 1);  // with the NUL
      result = shortForm;
      break;
    }
    do --cut;
    while (cut > 0 && full[cut - 1] != '\\');
  }
  return LowerCase(result);
}

bool IsProtectedFolder(const std::string& dir) {
  const std::string normalised = ComparableFolder(dir);
  if (normalised.empty() || IsRootForm(normalised)) return true;
  // The Windows and system folders are in the shell's list (CSIDL_WINDOWS,
  // CSIDL_SYSTEM) with the others.
  return AnyWellKnownFolder([&](const char* known) { return IsOrContains(normalised, known); });
}

}  // namespace util
