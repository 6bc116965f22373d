// Names that the running system's ANSI code page cannot spell, for the tests
// of folders such as a Chinese user's profile on a Western system, and the
// wide-character file calls those tests need to make and check them.
#pragma once
#include <string>

namespace testsupport {

// A short folder name with a letter outside the ANSI code page (a Polish,
// Chinese or Greek one, whichever the code page lacks), or "" when the code
// page spells them all (UTF-8 as the system's code page).
std::wstring UnspellableName();

// The UTF-16 form of an ANSI text (its code page), and the UTF-8 form of a
// UTF-16 one.
std::wstring Widen(const std::string& ansi);
std::string Utf8(const std::wstring& wide);

// Wide-character file calls: folders with their missing parents, files with
// a text, existence, the number of entries matching a pattern, and a tree's
// removal (links not followed: test cleanup).
bool MakeDirW(const std::wstring& path);
bool WriteFileW(const std::wstring& path, const std::string& data);
bool FileExistsW(const std::wstring& path);
bool DirectoryExistsW(const std::wstring& path);
int CountW(const std::wstring& pattern);
void RemoveTreeW(const std::wstring& path);

// A value of a key under HKEY_CURRENT_USER set to a text (REG_SZ) for as
// long as the object lives; then the value as it was comes back (or goes
// again, when there was none).
class TSavedValue {
 public:
  TSavedValue(const std::wstring& key, const std::wstring& name, const std::wstring& text);
  ~TSavedValue();
  TSavedValue(const TSavedValue&) = delete;
  TSavedValue& operator=(const TSavedValue&) = delete;

 private:
  std::wstring key_, name_;
  bool existed_ = false;
  unsigned long type_ = 0;
  std::string data_;
};

// HKCU's user shell folders (where the shell looks for the user's folders)
// and the copy of them that older programs read.
inline const wchar_t kUserShellFolders[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
inline const wchar_t kShellFolders[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

}  // namespace testsupport
