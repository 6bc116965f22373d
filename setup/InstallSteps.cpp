// Reading the registry of an earlier installation, copying the program files
// into the home folder, and recording the installation in the registry.
#include "setup/InstallSteps.h"
#include "setup/Destination.h"

#include "app/Version.h"
#include "util/DirList.h"
#include "util/Errors.h"
#include "util/FileStream.h"
#include "util/Message.h"
#include "util/Paths.h"
#include "util/Registry.h"
#include "util/System.h"
#include "util/Text.h"
#include "util/Win.h"

namespace setup {

namespace {

// Creates dir with every missing parent, parents first. A trailing "\" is
// ignored and a bare drive ("C:") or a root is never created. Failures of the
// single creations show only in the folder still missing afterwards.
void ForceDirectories(const std::string& path) {
  const std::string dir = util::StripBackslash(path);
  if (dir.size() <= 2 || util::DirectoryExists(dir)) return;
  const std::string parent = util::ExtractFilePath(dir);
  if (!parent.empty() && parent != dir) ForceDirectories(parent);
  CreateDirectoryA(dir.c_str(), nullptr);
}

// The distribution's files as they lie in home after the copy (setup.exe as
// the un-installer), in KiB rounded up: what the system's list of installed
// programs shows as the size. The user's store grows with the mail and is
// not counted beyond the seed it started from.
uint32_t InstalledSizeKiB(const TInstallState& state) {
  util::TStringList entries;
  util::FindFiles(&entries, util::AppendBackslash(state.SourceDir) + "*.*", util::faAnyFile);
  const std::string home = state.Home();
  uint64_t bytes = 0;
  for (const std::string& entry : entries.Lines()) {
    std::string name = util::ExtractFileName(entry);
    if (util::LowerCase(name) == app::SetupFileName) name = app::UninstallerFileName;
    const int64_t size = util::FileSize(home + name);
    if (size > 0) bytes += static_cast<uint64_t>(size);
  }
  const uint64_t kib = (bytes + 1023) / 1024;
  return kib > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(kib);
}

// Today as yyyymmdd, in local time.
std::string InstallDate() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  char text[16];
  wsprintfA(text, "%04u%02u%02u", now.wYear, now.wMonth, now.wDay);
  return text;
}

// The entry of the system's list of installed programs, for this user. Raises
// what the registry object raises.
void WriteUninstallEntry(util::TRegistry& reg, const TInstallState& state) {
  if (!reg.OpenKey(app::UninstallEntryKey, true))
    throw util::ERegistryError("Cannot create the key " + app::UninstallEntryKey);
  const std::string home = state.Home();
  reg.WriteString("DisplayName", app::ProductName);
  reg.WriteString("DisplayVersion", app::VersionSuffix);
  // The maker as the program's version information names it (CompanyName).
  reg.WriteString("Publisher", app::ProductName);
  reg.WriteString("DisplayIcon", home + app::ProgramFileName);
  // Started by the system as a command line: the path quoted for its blanks.
  reg.WriteString("UninstallString", "\"" + home + app::UninstallerFileName + "\"");
  reg.WriteString("InstallLocation", util::StripBackslash(state.AppDir));
  reg.WriteString("InstallDate", InstallDate());
  reg.WriteInteger("EstimatedSize", static_cast<int32_t>(InstalledSizeKiB(state)));
  // One way out: no Modify or Repair buttons for a setup that has neither.
  reg.WriteInteger("NoModify", 1);
  reg.WriteInteger("NoRepair", 1);
  reg.CloseKey();
}

void ShowRegistryError() {
  util::ShowMessage("Unable to write to Win95 registry!\n\nEntries NOT saved!", "Registry Error",
                    util::MsgButtons::Ok, util::MsgOwner::Main());
}

}  // namespace

std::string DefaultAppDir() { return DefaultDestination(); }

void ReadRegistrySettings(TInstallState& state) {
  util::TRegistry reg;
  if (reg.OpenKey(app::ProductRegistryKey, false)) {
    state.GroupBox = !reg.ReadString("Program Group").empty();
    std::string dir = reg.ReadString("AppDir");
    if (!dir.empty()) state.AppDir = dir;
    reg.CloseKey();
    state.FoundInstallation = true;
  }
  if (state.AppDir.empty()) state.AppDir = DefaultAppDir();
}

bool CopyOneFile(const std::string& source, const std::string& target) {
  if (CopyFileA(source.c_str(), target.c_str(), FALSE)) return true;
  const DWORD error = GetLastError();
  // "File: " starts a line of its own.
  util::ShowMessage(util::SystemErrorMessage("System Error: ", error) + "\r\nFile: " + source,
                    "Copy Failed", util::MsgButtons::Ok, util::MsgOwner::Main());
  return false;
}

bool CopyProgramFiles(const TInstallState& state) {
  // Before anything else: not even the same-folder case may make a drive or
  // the user's Documents the product's home (the later steps would record it
  // and write a store there).
  if (!AcceptDestination(state.AppDir, TDestinationSource::Entered, true)) return false;
  if (util::SameDir(state.SourceDir, state.AppDir)) return true;

  ForceDirectories(state.AppDir);
  if (!util::DirectoryExists(state.AppDir)) {
    util::ShowMessage(
        "Unable to create the destination folder.\nPlease review your entry for errors or\n"
        "illegal characters.",
        app::ProductName + "Folder Creation Error", util::MsgButtons::Ok, util::MsgOwner::Main());
    return false;
  }

  // Listed after the creation: when home lies inside the source folder it
  // shows up here as a folder and is skipped like any other.
  util::TStringList entries;
  util::FindFiles(&entries, util::AppendBackslash(state.SourceDir) + "*.*", util::faAnyFile);
  const std::string home = state.Home();
  for (const std::string& entry : entries.Lines()) {
    if (util::DirectoryExists(entry)) continue;
    std::string name = util::ExtractFileName(entry);
    const std::string lower = util::LowerCase(name);
    // A rollback journal ("LN.ini.jnl" beside the seed store, "LN.dbc.jnl")
    // belongs to the distribution's copy of its store, not to the product;
    // beside the user's store in home, a whole one would be played back over
    // it the next time the store is opened.
    const size_t ext = app::JournalExt.size();
    if (lower.size() > ext && lower.compare(lower.size() - ext, ext, app::JournalExt) == 0)
      continue;
    if (lower == app::SetupFileName) name = app::UninstallerFileName;
    // A store that came with the distribution never replaces the user's.
    if (app::IsStoreFileName(name) && util::FileExists(home + name)) continue;
    if (!CopyOneFile(entry, home + name)) return false;
  }

  // A first installation gets a fresh store made from the seed; an existing
  // store, plain or encrypted, is never replaced.
  const std::string seed = home + app::SeedStoreFileName;
  const std::string store = home + app::StoreFileName;
  if (util::FileExists(seed) && !util::FileExists(store) &&
      !util::FileExists(home + app::EncryptedStoreFileName))
    return CopyOneFile(seed, store);
  return true;
}

bool WriteRegistrySettings(const TInstallState& state) {
  try {
    util::TRegistry reg;
    // A key that cannot be opened or created is as much a failure as a
    // refused write: nothing would be recorded.
    if (!reg.OpenKey(app::ProductRegistryKey, true)) {
      ShowRegistryError();
      return false;
    }
    reg.WriteString("AppDir", util::StripBackslash(state.AppDir));
    reg.WriteString("Version", app::VersionSuffix);
    if (state.GroupBox) reg.WriteString("Program Group", app::ProductName);
    if (!state.FoundInstallation) {
      reg.WriteInteger("WindowState", 0);
      reg.WriteString("WindowPos", "-1,-1,565,350");
    }
    reg.WriteBool("Update", true);
    reg.CloseKey();
    WriteUninstallEntry(reg, state);
    return true;
  } catch (const util::EGeneralError&) {
    ShowRegistryError();
    return false;
  }
}

}  // namespace setup
