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

}  // namespace setup
