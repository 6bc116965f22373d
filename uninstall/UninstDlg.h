// The un-install wizard: four pages (Start, Options, Review, Finish). It finds
// the product's and Mixmaster's installations in the registry, lets the user
// choose what to remove, and runs the removal on its last page.
#pragma once
#include <string>

#include "gui/Form.h"
#include "uninstall/UninstallState.h"

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

  // What the wizard found at its creation (the choice is taken from the
  // boxes when the removal starts).
  bool MixInsideApp() const { return state_.MixInsideApp; }
  bool AppInsideMix() const { return state_.AppInsideMix; }
  bool SameHomeDir() const { return state_.SameHomeDir; }
  bool AppFirst() const { return state_.AppFirst; }
  const std::string& AppDir() const { return state_.AppDir; }
  const std::string& MixDir() const { return state_.MixDir; }

 protected:
  void FormCloseQuery(bool& canClose) override;

 private:
  void UpdateNext();
  void FollowChoice(const gui::TCheckBox* clicked, gui::TCheckBox* follower, bool goesWith);
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

  TUninstallState state_;
};

}  // namespace uninstall
