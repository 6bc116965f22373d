// Path helpers. Folders a wizard keeps carry a trailing backslash; two folders
// are compared only in normalised form: short (8.3) form, then lower case.
#pragma once
#include <string>

#ifdef _WIN32
#include "util/AnsiPath.h"
#endif

namespace util {

// Empty stays empty; otherwise one "\" is added unless the last one is "\".
std::string AppendBackslash(const std::string& path);
// Removes exactly one trailing "\" ("C:\" gives "C:").
std::string StripBackslash(const std::string& path);

#ifdef _WIN32
// The system's short form of an existing path; empty when there is none.
std::string GetShortPath(const std::string& path);
// The system's full form of a path (GetFullPathNameA: ".", "..", "/" and
// doubled separators resolved, a relative path taken from the current
// folder); empty when there is none. The path need not exist.
std::string FullPath(const std::string& path);
// The folders the system names below come in their ANSI spelling, or in
// their short form where the ANSI code page cannot spell them; one that has
// neither is reported once and given as "" (AnsiPath.h).
// The Windows folder, without a trailing "\" unless it is a drive root.
std::string GetWindowsDir();
// The system folder (System32 or its 32-bit stand-in).
std::string GetSystemDir();
// The temporary folder, with its trailing "\".
std::string GetTempDir();
// The process's current directory (without a trailing "\" unless a root).
std::string GetCurrentDir();
bool SetCurrentDir(const std::string& path);
// The full path of the running executable.
std::string GetExePath();
// The folder of the running executable, in the form GetCurrentDir gives
// (without a trailing "\" unless a root); empty when the system cannot say.
std::string GetExeDir();
// A shell folder by its CSIDL (flags such as CSIDL_FLAG_CREATE included),
// through SHGetFolderPathW looked up on first use; "" when the shell has
// none. Quiet: a folder without an ANSI spelling is given as "" unreported.
std::string GetShellFolder(int csidl, TUnspellable unspellable = TUnspellable::Report);

// AppendBackslash, short form, lower case; empty when the folder is missing.
std::string NormaliseDir(const std::string& dir);
// Both normalised forms non-empty and equal.
bool SameDir(const std::string& a, const std::string& b);
// inner's normalised form is longer than outer's and begins with it.
bool DirInside(const std::string& inner, const std::string& outer);
// Pure forms of the two relations on already normalised texts.
bool NormalisedInside(const std::string& inner, const std::string& outer);
#endif

}  // namespace util
