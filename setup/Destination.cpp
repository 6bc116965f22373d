// The default destination: Program Files where the user can create folders,
// the per-user programs folder elsewhere.
#include "setup/Destination.h"

#include <shlobj.h>

#include "app/Version.h"
#include "util/Paths.h"
#include "util/Win.h"

namespace setup {

bool CanCreateFolderIn(const std::string& folder) {
  const std::string base = util::AppendBackslash(folder);
  for (int attempt = 0; attempt < 16; ++attempt) {
    char name[48];
    wsprintfA(name, "~lf-probe-%lu-%lu", GetCurrentProcessId(), GetTickCount() + attempt);
    const std::string probe = base + name;
    if (CreateDirectoryA(probe.c_str(), nullptr)) {
      RemoveDirectoryA(probe.c_str());
      return true;
    }
    // A name taken by chance: try another; any other refusal is the answer.
    if (GetLastError() != ERROR_ALREADY_EXISTS) return false;
  }
  return false;
}

std::string DefaultDestination(const std::string& programFiles, const std::string& localAppData) {
  if (localAppData.empty() || CanCreateFolderIn(programFiles))
    return util::AppendBackslash(programFiles) + app::ProductName;
  return util::AppendBackslash(localAppData) + "Programs\\" + app::ProductName;
}

std::string DefaultDestination() {
  return DefaultDestination("C:\\Program Files", LocalAppDataFolder());
}

std::string LocalAppDataFolder() { return util::GetShellFolder(CSIDL_LOCAL_APPDATA); }

}  // namespace setup
