// The Start-menu program group: a folder named after the product in the
// user's Programs folder, holding five shortcuts to the installed files.
#include "app/Version.h"
#include "dialogs/StartProgram.h"
#include "setup/InstallSteps.h"
#include "util/FileStream.h"
#include "util/Paths.h"
#include "util/Registry.h"
#include "util/Shortcut.h"
#include "util/Text.h"
#include "util/Win.h"

#include <shlobj.h>

namespace setup {

namespace {

ProgramStarter g_starter;

bool StartWithoutWaiting(const std::string& commandLine, uint16_t show) {
  return g_starter ? g_starter(commandLine, show) : dialogs::StartProgram(commandLine, show);
}

// The shell's own Programs folder (created when missing), or "".
std::string ShellProgramsFolder() {
  return util::GetShellFolder(CSIDL_PROGRAMS | CSIDL_FLAG_CREATE);
}

struct TShortcutSpec {
  std::string linkName;  // file name in the group folder
  std::string target;    // file name in home
  std::string description;
};

}  // namespace

ProgramStarter SetProgramStarter(ProgramStarter starter) {
  ProgramStarter old = std::move(g_starter);
  g_starter = std::move(starter);
  return old;
}

std::string ProgramsFolder() {
  std::string programs;
  {
    util::TRegistry reg;
    // Quiet: a recorded folder that is not usable (not made yet, so without
    // a short form) is the shell's to make and, failing that, to report.
    if (reg.OpenKey(ShellFoldersKey, true))
      programs = reg.ReadFolder("Programs", util::TUnspellable::Quiet);
  }
  // Without the value the group would land in the root of the current drive;
  // the shell knows the real folder.
  if (programs.empty()) programs = ShellProgramsFolder();
  if (programs.empty()) programs = util::GetWindowsDir() + "\\start menu\\programs";
  return util::LowerCase(programs);
}

std::string ProgramGroupFolder() { return ProgramsFolder() + "\\" + app::ProductName; }

bool CreateProgramGroup(const TInstallState& state) {
  if (!state.GroupBox) return true;
  const std::string group = ProgramGroupFolder();
  if (!util::DirectoryExists(group)) CreateDirectoryA(group.c_str(), nullptr);

  const std::string baseName = util::ChangeFileExt(app::ProgramFileName, "");
  const TShortcutSpec shortcuts[] = {
      {"License.LNK", "License.txt", "License"},
      {app::ProductName + ".LNK", app::ProgramFileName, app::ProductName},
      {"Uninstall " + baseName + ".LNK", app::UninstallerFileName,
       "Uninstall " + app::ProductName},
      {"QuickStart.LNK", app::QuickStartFileName, "Quick Start"},
      {"ReadMe.LNK", "ReadMe.txt", "Read Me"},
  };
  const std::string home = state.Home();
  for (const TShortcutSpec& s : shortcuts) {
    const std::string target = util::LowerCase(home + s.target);
    util::CreateShortcut(target, group + "\\" + s.linkName, target, s.description, "");
  }

  if (!state.FoundInstallation) StartWithoutWaiting("explorer.exe " + group, 5);
  return true;
}

}  // namespace setup
