// The removal actions. File and registry failures are not reported: what
// cannot be deleted stays and the progress line is written all the same.
#include "uninstall/Removal.h"

#include "app/Version.h"
#include "gui/Pump.h"
#include "uninstall/GroupGuard.h"
#include "util/DirList.h"
#include "util/FileStream.h"
#include "util/FolderGuard.h"
#include "util/Message.h"
#include "util/Paths.h"
#include "util/Registry.h"
#include "util/System.h"
#include "util/Text.h"
#include "util/Win.h"

namespace uninstall {

namespace {

const char kPoolFolder[] = "pool";

// Lists dir (trailing backslash) unless there is nothing there or it is a
// folder that must never be swept; false when it is not to be touched.
bool ListHome(const std::string& dir, util::TStringList& files, util::TStringList& subdirs) {
  if (dir.empty() || !util::DirectoryExists(dir) || util::IsProtectedFolder(dir)) return false;
  util::ListDirectory(dir, files, subdirs);
  return true;
}

}  // namespace

TRemoval::TRemoval(TUninstallState state, AddLine addLine)
    : state_(std::move(state)), addLine_(std::move(addLine)) {}

void TRemoval::SetProgmanLink(std::unique_ptr<TProgmanLink> link) { link_ = std::move(link); }

void TRemoval::Step(const std::string& line) {
  addLine_(line);
  gui::PauseWithMessages(StepPauseMs);
}

void TRemoval::RunRemovals() {
  if (state_.AppFirst) {
    RemoveApp();
    RemoveMix();
  } else {
    RemoveMix();
    RemoveApp();
  }
}

void TRemoval::Finish() {
  addLine_(DoneLine);
  util::PlayBeep(0);
}

void TRemoval::RemoveApp() {
  if (!state_.AppChecked) return;
  Step("Removing " + app::ProductName + "...");
  RemoveProgramGroup();
  DeleteAppFiles();
  DeleteAppKey();
}

void TRemoval::RemoveMix() {
  if (!state_.MixChecked) return;
  Step("Removing Mixmaster...");
  DeleteMixFiles();
  DeleteMixKey();
}

bool TRemoval::RemoveProgramGroup() {
  // No group was made: an empty DeleteGroup has no defined meaning for the
  // shell, so there is nothing to say to it.
  if (state_.GroupName.empty()) {
    Step(GroupDoneLine);
    return true;
  }
  if (!link_) link_ = std::make_unique<TDdeClientConv>();
  // Setup only ever records ProductName as the group; any other name is
  // another program's group ("Startup", "Accessories") and is not ours to
  // delete.
  if (!IsOwnGroupName(state_.GroupName) || !IsSafeGroupName(state_.GroupName) || !link_->Open()) {
    util::ShowMessage("Unable to remove " + app::ProductName + " program group!", "Error");
    return false;
  }
  bool sent = false;
  try {
    sent = link_->Execute("[DeleteGroup(" + state_.GroupName + ")]");
    if (!sent)
      util::ShowMessage("ExecuteMacroLines failed!\nUnable to create Program Group!",
                        "Program Error");
  } catch (...) {
    util::ShowMessage("Exception caught at ExecuteMacro", "Exception");
  }
  link_->Close();
  Step(GroupDoneLine);
  return sent;
}

void TRemoval::DeleteAppFiles() {
  util::TStringList files, subdirs;
  if (ListHome(util::AppendBackslash(state_.AppDir), files, subdirs)) {
    for (const std::string& file : files.Lines()) {
      if (!app::IsStoreFileName(util::ExtractFileName(file))) DeleteFileA(file.c_str());
    }
    // Subfolders are left alone and the home folder itself stays.
  }
  Step(FilesDoneLine);
}

void TRemoval::DeleteMixFiles() {
  const std::string dir = util::AppendBackslash(state_.MixDir);
  util::TStringList files, subdirs;
  if (ListHome(dir, files, subdirs)) {
    // The product's store files are never Mixmaster's to delete: not in a
    // home the two share, nor where the product was removed earlier and left
    // its store behind, as its own removal does.
    for (const std::string& file : files.Lines()) {
      if (!app::IsStoreFileName(util::ExtractFileName(file))) DeleteFileA(file.c_str());
    }
    bool poolGone = true;
    const int pool = subdirs.IndexOf(dir + kPoolFolder);
    if (pool >= 0) {
      std::string poolDir = subdirs[pool];
      const std::string appHome = util::NormaliseDir(state_.AppDir);
      // The product's home in the pool stays whole, with the folders on the
      // way to it: sorting it out is the product's own removal's work. (A
      // pool inside the product's home is Mixmaster's and goes.)
      const std::string normPool = util::NormaliseDir(poolDir);
      const bool homeInPool = appHome == normPool || util::NormalisedInside(appHome, normPool);
      poolGone = util::DeleteDirTree(poolDir, homeInPool ? appHome : std::string());
      subdirs.Delete(pool);
    }
    // Any other subfolder is the user's: the home folder then stays.
    if (poolGone && subdirs.Count() == 0) RemoveDirectoryA(dir.c_str());
  }
  Step(FilesDoneLine);
}

void TRemoval::DeleteAppKey() {
  util::TRegistry reg;
  reg.DeleteKey(app::ProductRegistryKey);
  // With the product gone, its line in the system's list of installed
  // programs goes too (setup writes it with the product's key).
  reg.DeleteKey(app::UninstallEntryKey);
  Step(KeyDoneLine);
}

void TRemoval::DeleteMixKey() {
  util::TRegistry().DeleteKey(app::MixmasterRegistryKey);
  Step(KeyDoneLine);
}

}  // namespace uninstall
