// Guards for the program group name that the removal sends to Program
// Manager. The name comes from a registry value that a user, another program
// or a damaged profile may have set; these checks keep the removal from
// deleting a Start-menu folder outside the product's own group. (The home
// folders are guarded by util/FolderGuard.h, which setup shares.)
#pragma once
#include <string>

namespace uninstall {

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
