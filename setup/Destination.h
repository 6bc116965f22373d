// The destination folder: the default of a fresh installation, and the check
// that keeps the product out of folders that are not its own.
//
// The default destination of a fresh installation. setup.exe runs as the
// invoking user (no elevation) and records everything for that user, so the
// default must be a folder that user can create: "C:\Program Files\" +
// product where the user may create folders there (older systems, an
// administrator, Wine), otherwise the user's own programs folder under the
// local application data folder, where per-user installations go.
#pragma once
#include <string>

namespace setup {

// Whether the user running this process can create a folder in folder. Asks
// the file system by creating a uniquely named empty folder there and
// removing it again at once: nothing is left behind.
bool CanCreateFolderIn(const std::string& folder);

// programFiles + "\" + product when CanCreateFolderIn(programFiles), else
// localAppData + "\Programs\" + product. Without a local application data
// folder (empty), the Program Files folder stays.
std::string DefaultDestination(const std::string& programFiles, const std::string& localAppData);
// The same for "C:\Program Files" and the user's local application data folder,
// which is asked for only when Program Files is refused.
std::string DefaultDestination();

// The user's local application data folder from the shell, or "".
std::string LocalAppDataFolder();

// Where the destination the wizard checks came from, for the refusal's words.
enum class TDestinationSource {
  Entered,   // typed or picked with "&Browse" on the Start page
  Recorded,  // the folder of the earlier installation, read from the registry
};

// The folder of its own that a refusal proposes: dir without its trailing
// separators, "\" and ProductName ("C:\" and "C:" give "C:\Lanternfell").
std::string ProposedDestination(const std::string& dir);

// True when the product may be installed in dir. False, after a message box
// (no icon, OK, caption ProductName, owned by the wizard) that names the
// folder, when util::IsProtectedFolder refuses it: a drive root, the Windows
// or system folder, one of the user's or every user's well-known folders, a
// Program Files folder itself, a folder that contains one of them, or a path
// that is not a full folder path. The box proposes ProposedDestination(dir)
// ("C:\Program Files\Lanternfell" for a path without its drive); for a
// Recorded folder it says that the earlier files stay where they are; with
// onReview it tells the user to go Back to change the folder. Nothing is
// created or written.
bool AcceptDestination(const std::string& dir, TDestinationSource source, bool onReview);

}  // namespace setup
