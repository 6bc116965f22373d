// The un-installer's removal actions, independent of the wizard window: the
// product's program group, files and registry key, and Mixmaster's files,
// "pool" folder, home folder and registry key, each step reported as one
// progress line.
#pragma once
#include <functional>
#include <memory>
#include <string>

#include "uninstall/ProgmanLink.h"
#include "uninstall/UninstallState.h"

namespace uninstall {

// Progress lines, exactly as the progress list shows them.
inline const std::string GroupDoneLine = "   program group...done";
inline const std::string FilesDoneLine = "   program files...done";
inline const std::string KeyDoneLine = "   registry key...done";
inline const std::string DoneLine = "Done!";

// Pause after each progress line, with window messages processed meanwhile.
constexpr unsigned StepPauseMs = 300;

class TRemoval {
 public:
  using AddLine = std::function<void(const std::string&)>;
  // The wizard's state as it is at the moment of the removal: the homes, the
  // group, the order and what is chosen.
  TRemoval(TUninstallState state, AddLine addLine);

  // Replaces the DDE conversation with Program Manager (tests; another
  // service). The default is TDdeClientConv on "PROGMAN".
  void SetProgmanLink(std::unique_ptr<TProgmanLink> link);

  // Both items in the chosen order; each does nothing when not chosen.
  void RunRemovals();
  // The end of the progress list: "Done!" and the default sound. The form
  // changes its own labels before calling it.
  void Finish();

  // "Removing Lanternfell...", program group, files, registry key.
  void RemoveApp();
  // "Removing Mixmaster...", files, registry key.
  void RemoveMix();

  // Sends "[DeleteGroup(" + GroupName + ")]" to Program Manager. An empty
  // GroupName (no group was made) opens no conversation, sends nothing and
  // writes the progress line. When the name is not the product's own
  // (IsOwnGroupName), or no conversation opens, shows "Unable to remove ...
  // program group!" and writes no progress line; otherwise the line follows,
  // also after a failed send. True when nothing is left to do: the command
  // was handed over, or there was no group.
  bool RemoveProgramGroup();
  // Deletes the files of AppDir but the message store files; subfolders and
  // the folder itself stay. A protected folder (util::IsProtectedFolder) is skipped.
  void DeleteAppFiles();
  // Deletes the files of MixDir and its "pool" tree, then the folder itself
  // when nothing else is left. A protected folder is skipped. The product's
  // store files (app::IsStoreFileName) in MixDir stay (the two may share a home,
  // or the product, removed earlier, left its store there), and so does the
  // product's home (AppDir) when it lies in the pool, with its content and
  // every folder on the way to it; the pool and Mixmaster's home then stay.
  void DeleteMixFiles();
  // Delete the registry keys whole (HKEY_CURRENT_USER); the product's
  // removes its entry in the system's list of installed programs with it
  // (app::UninstallEntryKey), Mixmaster's leaves it.
  void DeleteAppKey();
  void DeleteMixKey();

 private:
  // Adds a line, lets window messages run and waits StepPauseMs.
  void Step(const std::string& line);

  TUninstallState state_;
  AddLine addLine_;
  std::unique_ptr<TProgmanLink> link_;
};

}  // namespace uninstall
