// The un-install wizard: four pages (Start, Options, Review, Finish). It finds
// the product's and Mixmaster's installations in the registry, lets the user
// choose what to remove, and runs the removal on its last page.
#pragma once
#include <string>

#include "gui/Form.h"

namespace uninstall {

class TUninstWiz : public gui::TForm {
 public:
  TUninstWiz();
  ~TUninstWiz() override;

  void NextBtnClick();
  void BackBtnClick();
  void CancelBtnClick();
  void AppEntriesClick();
  void MixEntriesClick();
  void RunUninstall();

  // Relations of the two home folders (normalised; false when one is absent).
  bool MixInsideApp() const;
  bool AppInsideMix() const;
  bool SameHomeDir() const;
  bool AppFirst() const { return FAppFirst; }
  const std::string& AppDir() const { return FAppDir; }
  const std::string& MixDir() const { return FMixDir; }

 protected:
  void FormCloseQuery(bool& canClose) override;

 private:
  void DisableEntry(gui::TCheckBox* box);
  void UpdateNext();
  void MovePage(int delta);
  void FillReview();
  void AddProgress(const std::string& line);

  gui::TPageBook* Notebook;
  gui::TCheckBox* AppEntries;
  gui::TCheckBox* MixEntries;
  gui::TMemo* Memo1;
  gui::TMemo* RichEdit2;
  gui::TLabel* Label4;
  gui::TLabel* Label6;
  gui::TButton* BackBtn;
  gui::TButton* NextBtn;
  gui::TButton* CancelBtn;

  std::string FGroupName, FAppDir, FMixDir;
  std::string NormApp, NormMix;  // normalised forms, empty when not installed
  bool FAppInstalled = false, FMixInstalled = false, FAppFirst = false;
};

}  // namespace uninstall
