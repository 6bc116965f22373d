// The setup wizard: four pages (Start, Address, Review, Done) with Back, Next
// and Cancel. It pre-fills itself from an earlier installation and, on
// "Install", runs the install steps in order.
#pragma once
#include <string>

#include "gui/Form.h"
#include "setup/InstallSteps.h"

namespace setup {

// The wizard's pages, in the order of its page book.
enum class TSetupPage { Start, Address, Review, Done };

class TSetupForm : public gui::TForm {
 public:
  TSetupForm();

  void NextBtnClick();
  void BackBtnClick();
  void CancelBtnClick();
  void BrowseBtnClick();
  void EAddrChange();
  void HostChange();

  // What the controls hold, as the install steps take it.
  TInstallState State() const;
  bool FoundInstallation() const { return FoundInstallation_; }
  // The distribution folder: the folder of the running setup.exe. Tests that
  // run the form inside another program point it at a folder of their own.
  const std::string& SourceDir() const { return SourceDir_; }
  void SetSourceDir(const std::string& dir) { SourceDir_ = dir; }
  int PageIndex() const { return Notebook1->PageIndex(); }

 protected:
  void FormShow() override;
  void FormCloseQuery(bool& canClose) override;

 private:
  bool InstallAction();
  TSetupPage Page() const;
  // One page forward (+1) or back (-1), with the buttons as the new page
  // wants them.
  void MovePage(int delta);
  void FillReview();
  bool AddressFilled() const;  // both EAddr and Host hold text (blanks count)
  void UpdateNextForAddress();
  // AcceptDestination of the AppDIR text, named as the earlier installation's
  // folder while it is the one read from the registry.
  bool AcceptAppDir(bool onReview) const;

  gui::TLabel* Appname;
  gui::TLabel* Copyright;
  gui::TPageBook* Notebook1;
  gui::TEdit* AppDIR;
  gui::TCheckBox* GroupBox;
  gui::TEdit* EAddr;
  gui::TEdit* Host;
  gui::TTextBox* RichEdit3;
  gui::TTextBox* RichEdit4;
  gui::TCheckBox* RunQuickBox;
  gui::TButton* BackBtn;
  gui::TButton* NextBtn;
  gui::TButton* CancelBtn;

  bool FoundInstallation_ = false;
  std::string RecordedAppDir_;  // AppDIR as the earlier installation left it
  std::string SourceDir_;
  std::string ProgramFile_, StoreFile_;
};

}  // namespace setup
