// The folder selection dialog's layout, start folder and required-file check.
#include "dialogs/DirBrow.h"

#include "util/FileStream.h"
#include "util/Message.h"
#include "util/Paths.h"
#include "util/System.h"
#include "util/Text.h"

namespace dialogs {

namespace {
const gui::FormDef kBrowseForm = {"Select Directory", 401, 215, gui::Border::Dialog, true,
                                  gui::Position::ScreenCentre, gui::Pt("MS Sans Serif", 8)};

using gui::Kind;
const gui::ControlDef kBrowseControls[] = {
    {Kind::DirList, "DirectoryListBox1", "", 16, 16, 177, 116},
    {Kind::FileList, "FileListBox1", "", 208, 16, 177, 148, "", {}, gui::clGray},
    {Kind::DriveCombo, "DriveComboBox1", "", 16, 145, 177, 200},
    {Kind::Button, "OkBtn", "", 224, 178, 75, 25, "Ok", {}, gui::kDefaultColor, gui::fDefault,
     gui::mrOk},
    // Esc presses Cancel, as a user of a dialog expects.
    {Kind::Button, "CancelBtn", "", 312, 178, 75, 25, "Cancel", {}, gui::kDefaultColor,
     gui::fCancel, gui::mrCancel},
};

const char kCancelAnswer[] = "cancel";
}  // namespace

TBrowseDlg::TBrowseDlg(HWND owner) : TForm(kBrowseForm, kBrowseControls, owner) {
  DirectoryListBox1 = Get<gui::TDirList>("DirectoryListBox1");
  FileListBox1 = Get<gui::TFileList>("FileListBox1");
  DriveComboBox1 = Get<gui::TDriveCombo>("DriveComboBox1");
  OkBtn = Get<gui::TButton>("OkBtn");
  CancelBtn = Get<gui::TButton>("CancelBtn");
  DirectoryListBox1->SetFileList(FileListBox1);
  DriveComboBox1->SetDirList(DirectoryListBox1);
  RequiredFile.clear();
}

void TBrowseDlg::FormShow() {
  std::string folder = util::ExtractFilePath(util::GetExePath());
  DirectoryListBox1->SetDirectory(folder);
  util::SetCurrentDir(folder);
}

void TBrowseDlg::FormCloseQuery(bool& canClose) {
  if (ModalResult() == gui::mrCancel) return;
  std::string folder = DirectoryListBox1->Directory();
  // AppendBackslash: a drive root already ends in "\".
  if (!RequiredFile.empty() && !util::FileExists(util::AppendBackslash(folder) + RequiredFile)) {
    util::ShowMessage("The file '" + RequiredFile +
                          "' is not in the directory you have chosen.\nPlease select again.",
                      "Invalid path", util::MsgButtons::Ok, util::MsgOwner::Of(Handle()));
    canClose = false;
    return;
  }
  chosenFolder_ = folder;
}

std::string BrowseForFolder(HWND owner, const std::string& requiredFile) {
  TBrowseDlg dlg(owner);
  util::CentreOver(dlg.Handle(), owner);
  dlg.RequiredFile = requiredFile;
  std::string answer = dlg.ShowModal() == gui::mrCancel ? kCancelAnswer : dlg.ChosenFolder();
  return util::LowerCase(answer);
}

std::string BrowseForAnyFolder(HWND owner) { return BrowseForFolder(owner, std::string()); }

}  // namespace dialogs
