// The folder selection dialog: a folder list linked with a drive selector
// and a file list; it can insist that the chosen folder holds a given file.
#pragma once
#include <string>

#include "gui/FileCtrls.h"
#include "gui/Form.h"

namespace dialogs {

class TBrowseDlg : public gui::TForm {
 public:
  explicit TBrowseDlg(HWND owner);

  // A file that must exist in the chosen folder; empty: any folder.
  std::string RequiredFile;
  // The folder of DirectoryListBox1 when the dialog was accepted.
  const std::string& ChosenFolder() const { return chosenFolder_; }

  gui::TDirList* DirectoryListBox1;
  gui::TFileList* FileListBox1;
  gui::TDriveCombo* DriveComboBox1;
  gui::TButton* OkBtn;
  gui::TButton* CancelBtn;

 protected:
  // Opens the running program's folder and makes it the current directory.
  void FormShow() override;
  // Unless cancelled: refuses (with "Invalid path") a folder without the
  // required file, else stores the chosen folder.
  void FormCloseQuery(bool& canClose) override;

 private:
  std::string chosenFolder_;
};

// The chosen folder in lower case, or "cancel" when the user cancelled.
std::string BrowseForFolder(HWND owner, const std::string& requiredFile);
std::string BrowseForAnyFolder(HWND owner);

}  // namespace dialogs
