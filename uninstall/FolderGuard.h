// Guards for the removal's inputs. The home folders and the program group name
// come from registry values that a user, another program or a damaged profile
// may have set; these checks keep the removal from sweeping system folders or
// deleting a Start-menu folder outside the product's own group.
#pragma once
#include <string>
#include <vector>

namespace uninstall {

// True when dir (with or without its trailing "\") has the form of an
// absolute folder path: a drive letter, ":" and "\" (or "/"), or a UNC path
// "\\server\share\...". Drive-relative ("C:x", "\x"), relative ("x\"), empty
// and device paths ("\\?\...", "\\.\...") are not.
bool IsAbsoluteFolderPath(const std::string& dir);

// True when normalised (short form, lower case, trailing "\") names the root
// of a drive ("c:\") or of a network share ("\\server\share\").
bool IsRootForm(const std::string& normalised);

// True when the removal must not delete anything in dir nor remove it:
//   - AppendBackslash(dir) is not an absolute folder path (IsAbsoluteFolderPath);
//   - its full path (GetFullPathNameA resolves ".", "..", "/" and doubled
//     separators) has no normalised form (missing, or no short form), so it
//     cannot be compared;
//   - the normalised form is a drive or share root ("C:" and "C:\" alike);
//   - it is the Windows folder or the system folder, or one of the
//     WellKnownFolders, or contains any of them. A folder inside one of them
//     (Documents\Lanternfell) is an ordinary home.
// The check only asks the file system for names; it never lists a folder.
bool IsProtectedFolder(const std::string& dir);

// The shell's folder locations that are the user's, the system's or every
// program's, as the shell names them now (missing ones left out): the
// profile, Desktop, Documents and the other personal folders, the Start menu
// and its Programs folder, the AppData folders, the Program Files folders
// (on 64-bit Windows the 64-bit ones too), the public folders (their parent,
// the public profile, contains them), Fonts, Windows and system.
std::vector<std::string> WellKnownFolders();

// True when name can be sent as the program group of "[DeleteGroup(name)]"
// without naming anything outside the Programs folder and
// without breaking out of the command: no drive (":"), no leading separator,
// no part made only of dots and blanks (".", "..", ". ."), no control character
// and none of the command's own punctuation ( ) [ ] " ,. The empty name is
// allowed (it names no group).
bool IsSafeGroupName(const std::string& name);

// True when name is the program group that setup makes: ProductName, in any
// letter case. Setup records no other name under "Program Group".
bool IsOwnGroupName(const std::string& name);

}  // namespace uninstall
