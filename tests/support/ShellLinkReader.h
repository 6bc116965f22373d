// Reads a .LNK file back through IShellLinkA, for checking what was written.
#pragma once
#include <string>

namespace testsupport {

struct TLinkFields {
  bool loaded = false;
  std::string path, description, workingDir, iconFile, arguments;
  int iconIndex = -1;
};

TLinkFields ReadShortcut(const std::string& linkFile);

}  // namespace testsupport
