// The wait dialog's layout, timer phases and cancel confirmation.
#include "dialogs/WaitDlg.h"

#include "app/Version.h"
#include "util/Message.h"
#include "util/System.h"

namespace dialogs {

namespace {
const gui::FormDef kWaitForm = {"Installing", 257, 107, gui::Border::Dialog, false,
                                gui::Position::ScreenCentre, gui::Pt("MS Sans Serif", 8)};

const gui::ControlDef kWaitControls[] = {
    {gui::Kind::Panel, "Panel1", "", 8, 8, 241, 57, "...wait...", gui::Px("MS Sans Serif", 13),
     gui::clBlue, gui::fLowered},
    // Esc presses Cancel too; like a click, only once it is enabled.
    {gui::Kind::Button, "CancelBtn", "", 91, 74, 75, 25, "Cancel", {}, gui::kDefaultColor,
     gui::fDisabled | gui::fCancel, gui::mrCancel},
    {gui::Kind::Timer, "Timer1", "", 0, 0, 0, 0, "", {}, gui::kDefaultColor, 0, 1000},
};

constexpr int kPhaseStart = 0, kPhaseBlink = 1;
constexpr int32_t kLastBlink = 5;  // closes when the count goes above this
}  // namespace

TWaitForm::TWaitForm(HWND owner) : TForm(kWaitForm, kWaitControls, owner) {
  Panel1 = Get<gui::TPanel>("Panel1");
  CancelBtn = Get<gui::TButton>("CancelBtn");
  Timer1 = Get<gui::TTimer>("Timer1");
  Timer1->OnTimer = [this] { Timer1Timer(); };
  waitText_.clear();
  Timer1->SetEnabled(true);
  blinkCount_ = 0;
}

void TWaitForm::Timer1Timer() {
  if (Timer1->Tag == kPhaseStart) {
    Timer1->SetEnabled(false);
    CancelBtn->SetEnabled(true);
    Panel1->SetCaption(waitText_);
    Timer1->SetInterval(500);
    Timer1->Tag = kPhaseBlink;
    Timer1->SetEnabled(true);
  } else if (Timer1->Tag == kPhaseBlink) {
    Panel1->SetCaption(Panel1->Caption().empty() ? waitText_ : std::string());
    ++blinkCount_;
    Timer1->SetEnabled(true);
  }
  if (blinkCount_ > kLastBlink) SetModalResult(gui::mrOk);
}

void TWaitForm::FormCloseQuery(bool& canClose) {
  Timer1->SetEnabled(false);
  if (ModalResult() != gui::mrCancel) return;
  int answer = util::ShowMessage("Cancel process?", app::ProductName, util::MsgButtons::YesNo,
                                 util::MsgOwner::Of(Handle()));
  if (answer != util::mrYes) {
    Timer1->SetEnabled(true);
    canClose = false;
  }
}

bool ShowWaitDialog(const std::string& title, const std::string& message, HWND owner) {
  TWaitForm form(owner);
  form.SetCaption(title);
  form.SetWaitText(message);
  util::CentreOver(form.Handle(), owner);
  return form.ShowModal() == gui::mrOk;
}

}  // namespace dialogs
