// The default destination: Program Files where the user can create folders,
// the per-user programs folder elsewhere; and the refusal of a destination
// that is not a folder of the product's own.
#include "setup/Destination.h"

#include <shlobj.h>

#include "app/Version.h"
#include "util/FolderGuard.h"
#include "util/Message.h"
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

std::string ProposedDestination(const std::string& dir) {
  // Without the trailing separators, so that a root gives "C:\Lanternfell".
  std::string folder = dir;
  while (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
  folder += '\\';
  folder += app::ProductName;
  return folder;
}

bool AcceptDestination(const std::string& dir, TDestinationSource source, bool onReview) {
  if (!util::IsProtectedFolder(dir)) return true;
  const bool recorded = source == TDestinationSource::Recorded;
  // "Lanternfell", "\Lanternfell" or "C:Lanternfell" would be made in
  // whatever folder is current, and recorded so for the product.
  const bool full = util::IsAbsoluteFolderPath(util::AppendBackslash(dir));
  std::string proposal;
  if (full) proposal = ProposedDestination(dir);
  // One formatting call: setup.exe has a size budget. wsprintfA writes at
  // most 1024 bytes; a longer path is cut short in the box, nowhere else.
  static const char kEarlier[] = "\n\nThe earlier files stay where they are.";
  char text[1025];
  wsprintfA(text,
            "Setup will not install Lanternfell in\n%s\n\n%s%s a folder of its own, such as\n%s%s",
            dir.c_str(),
            full ? "It is a drive, a system folder or one of your own, like\n"
                   "Documents (or holds one): your files there with Lanternfell's\n"
                   "names would be replaced.\n\n"
                 : "It is no full path.\n\n",
            onReview ? "Click 'Back' to choose" : "Choose",
            full ? proposal.c_str() : "C:\\Program Files\\Lanternfell",
            recorded ? kEarlier : kEarlier + sizeof kEarlier - 1);
  util::ShowMessage(text, app::ProductName, util::MsgButtons::Ok, util::MsgOwner::Main());
  return false;
}

}  // namespace setup
