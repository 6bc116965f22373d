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

namespace {
// The choice, with the local application data folder asked for only when
// Program Files is refused: the usual answer then needs no shell (whose DLL
// brings several more along), and the first window comes up without it.
template <class LocalAppData>
std::string ChooseDestination(const std::string& programFiles, LocalAppData localAppData) {
  if (!CanCreateFolderIn(programFiles)) {
    const std::string local = localAppData();
    if (!local.empty()) return util::AppendBackslash(local) + "Programs\\" + app::ProductName;
  }
  return util::AppendBackslash(programFiles) + app::ProductName;
}
}  // namespace

std::string DefaultDestination(const std::string& programFiles, const std::string& localAppData) {
  return ChooseDestination(programFiles, [&] { return localAppData; });
}

std::string DefaultDestination() {
  return ChooseDestination("C:\\Program Files", LocalAppDataFolder);
}

std::string LocalAppDataFolder() { return util::GetShellFolder(CSIDL_LOCAL_APPDATA); }

}  // namespace setup
