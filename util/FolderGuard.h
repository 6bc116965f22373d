// The folder guard: the folders in which the product is never put and from
// which nothing is ever deleted. Setup checks a destination before it creates
// or copies anything, and the removal checks a home folder before it deletes
// anything there. Both folders come from what a user typed or picked, or from
// registry values that a user, another program or a damaged profile may have
// set.
#pragma once
#include <string>
#include <vector>

namespace util {

// True when dir (with or without its trailing "\") has the form of an
// absolute folder path: a drive letter, ":" and "\" (or "/"), or a UNC path
// "\\server\share\...". Drive-relative ("C:x", "\x"), relative ("x\"), empty
// and device paths ("\\?\...", "\\.\...") are not.
bool IsAbsoluteFolderPath(const std::string& dir);

// True when normalised (short form, lower case, trailing "\") names the root
// of a drive ("c:\") or of a network share ("\\server\share\").
bool IsRootForm(const std::string& normalised);

// The comparable form of a folder that need not exist: the full path
// (GetFullPathNameA resolves ".", "..", "/" and doubled separators; trailing
// dots and blanks of the last part go, as the system drops them when it
// makes the folder), of which the longest existing part is turned into its
// short form; all in lower case, with a trailing "\". "C:" is the drive's
// root. Empty when AppendBackslash(dir) is not an absolute folder path or has
// no full form.
std::string ComparableFolder(const std::string& dir);

// True when the product must not be put into dir, nor anything deleted in it:
//   - AppendBackslash(dir) is not an absolute folder path (IsAbsoluteFolderPath),
//     or it has no comparable form (ComparableFolder);
//   - it is a drive or share root ("C:" and "C:\" alike);
//   - it is the Windows folder or the system folder, or one of the
//     WellKnownFolders, or contains any of them. A folder inside one of them
//     (Documents\Lanternfell) is an ordinary one.
// A folder that does not exist yet is judged by where it would be made: the
// existing part of its path in short form, the rest as written. The check
// only asks the file system for names; it never lists or creates a folder.
bool IsProtectedFolder(const std::string& dir);

// The shell's folder locations that are the user's, the system's or every
// program's, as the shell names them now (missing ones left out): the
// profile, Desktop, Documents and the other personal folders, the Start menu
// and its Programs folder, the AppData folders, the Program Files folders
// (on 64-bit Windows the 64-bit ones too), the public folders (their parent,
// the public profile, contains them), Fonts, Windows and system.
std::vector<std::string> WellKnownFolders();

}  // namespace util
