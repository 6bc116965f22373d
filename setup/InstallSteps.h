// The setup wizard's work as plain functions over the state it collects:
// reading an earlier installation, and the four install steps that a click on
// "Install" runs in order, each only when the one before it succeeded.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "app/Version.h"
#include "util/Paths.h"

namespace setup {

// What the wizard's controls hold when it calls a step.
struct TInstallState {
  std::string AppDir;              // text of AppDIR: the home folder, "\" optional
  std::string Address;             // text of EAddr, untrimmed
  std::string Host;                // text of Host, untrimmed
  bool GroupBox = true;            // "Create Program &Group" checked
  bool FoundInstallation = false;  // the product's registry key existed at start
  std::string SourceDir;           // folder of the running setup.exe

  // The home folder with its trailing "\", as file names are joined to it.
  std::string Home() const { return util::AppendBackslash(AppDir); }
};

// Home folder used when no earlier installation names one: DefaultDestination
// (Destination.h), a folder the running user can create.
std::string DefaultAppDir();
// The mail-to-news gateway that the default article is addressed to.
inline const std::string NewsGatewayAddress = "mail2news@gateway.example.net";
// Where the user's Start-menu Programs folder is recorded (HKCU).
inline const std::string ShellFoldersKey =
    "Software\\MicroSoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// Step results: true on success; on failure the step has already shown its
// own message box (owned by the main window) and returns false.

// --- Reading the existing installation (while the wizard is created) -------
// From HKCU\Software\Lanternfell, when the key exists: GroupBox = "Program
// Group" is non-empty, AppDir = "AppDir" when non-empty (as stored),
// FoundInstallation = true. An AppDir still empty afterwards becomes
// DefaultAppDir. A value of the wrong type raises ERegistryError.
void ReadRegistrySettings(TInstallState& state);
// Address and Host from the "From: " and "Host: " fields of the default
// message in home\LN.dbc; nothing happens without that file. A store that
// cannot be opened (held by the running product) raises EFOpenError.
void ReadStoredDefaults(TInstallState& state);

// --- Install steps, in the order the wizard runs them -----------------------
// Refuses, before anything is created, a home that is not a folder of the
// product's own (AcceptDestination, Destination.h). Then creates home with
// its missing parents and copies every file of SourceDir into it
// ("setup.exe", in any case, as "UninstLN.exe"); folders are skipped, and so
// is a store file of the distribution (app::IsStoreFileName: LN.dbc, LN.pgp,
// LN.pgp.bak, in any case) where home already has one, and every rollback
// journal of the distribution (a name ending in app::JournalExt, in any case:
// "LN.ini.jnl" beside the seed, "LN.dbc.jnl").
// On a first installation (no LN.dbc, no LN.pgp) the seed LN.ini becomes
// LN.dbc. Does nothing more when home is SourceDir itself. Stops at the
// first failed copy.
bool CopyProgramFiles(const TInstallState& state);
// Copies one file over any existing target; on failure shows "Copy Failed"
// with the system's error text and the source path.
bool CopyOneFile(const std::string& source, const std::string& target);
// Records the installation under HKCU\Software\Lanternfell: AppDir, Version,
// Program Group (box checked), WindowState and WindowPos (first installation
// only), Update = 1. Then the product's entry in the system's list of
// installed programs (app::UninstallEntryKey): DisplayName, DisplayVersion,
// Publisher, DisplayIcon (home\LN.exe), UninstallString (the quoted
// home\UninstLN.exe), InstallLocation, InstallDate (yyyymmdd), EstimatedSize
// (KiB of the distribution's files in home, rounded up), NoModify and
// NoRepair = 1. A key that cannot be opened or a refused write shows
// "Registry Error"; values written before it stay.
bool WriteRegistrySettings(const TInstallState& state);
// Writes the default message and the default article into home\LN.dbc,
// replacing earlier ones. Skipped (true) for an encrypted store (LN.pgp
// without LN.dbc). Errors the store raises are not caught.
bool StoreDefaultTemplates(const TInstallState& state);
// With GroupBox checked: makes the folder Programs\Lanternfell with its five
// shortcuts and, on a first installation, opens it in an Explorer window.
// Always true: what cannot be made is left out silently.
bool CreateProgramGroup(const TInstallState& state);

// --- Pieces the steps are made of, exposed for the wizard and for tests -----
// The user's Programs folder, lower-cased: the "Programs" value of
// ShellFoldersKey, or, when that is missing or empty, the shell's own
// Programs folder (SHGetFolderPathW), or failing that the Windows folder +
// "\start menu\programs". A folder whose name the ANSI code page cannot
// spell comes in its short form (util::AnsiPath).
std::string ProgramsFolder();
// The group folder: ProgramsFolder() + "\" + ProductName.
std::string ProgramGroupFolder();

// Starts a program without waiting; true when it started. The steps start
// Explorer through this seam so tests can watch the command line instead of
// opening windows. An empty starter restores dialogs::StartProgram; returns
// the previous one.
using ProgramStarter = std::function<bool(const std::string& commandLine, uint16_t show)>;
ProgramStarter SetProgramStarter(ProgramStarter starter);

}  // namespace setup
