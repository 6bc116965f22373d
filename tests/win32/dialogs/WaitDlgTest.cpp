// The wait dialog run modally under Wine: its phases, the confirmed and the
// refused cancel, and shutdown through WM_QUIT.
#include <gtest/gtest.h>

#include "dialogs/WaitDlg.h"
#include "gui/Form.h"
#include "gui/Pump.h"
#include "tests/support/BoxRecorder.h"
#include "tests/support/FormDriver.h"

namespace {
const gui::FormDef kOwnerForm = {"Wait Owner", 457, 305};
const gui::ControlDef kOwnerControls[] = {
    {gui::Kind::Label, "Lbl", "", 8, 8, 100, 13, "owner"},
};

// The wait dialog that is showing now, or nullptr.
dialogs::TWaitForm* Showing() {
  HWND h = FindWindowA(nullptr, "Wait Title");
  if (!h) h = FindWindowA(nullptr, "Installing");
  auto* f = dynamic_cast<dialogs::TWaitForm*>(gui::TForm::FromHandle(h));
  return f && f->Visible() ? f : nullptr;
}

bool CancelUsable() {
  auto* f = Showing();
  return f && f->CancelBtn->Enabled() && f->CancelBtn->Showing();
}

class WaitDlgTest : public ::testing::Test {
 protected:
  void SetUp() override { owner_.Show(); }
  gui::TForm owner_{kOwnerForm, kOwnerControls};
  testsupport::TWatchdog dog_{20000};
};
}  // namespace

TEST_F(WaitDlgTest, CancelWaitsOneSecondThenTheDialogClosesItselfShowingTheMessage) {
  dialogs::TWaitForm form(owner_.Handle());
  form.SetCaption("Wait Title");
  form.SetWaitText("...installing lanternfell...");
  EXPECT_EQ(form.Panel1->Caption(), "...wait...");
  EXPECT_EQ(GetWindowLongA(form.Handle(), GWL_STYLE) & WS_SYSMENU, 0);
  RECT c;
  GetClientRect(form.Handle(), &c);
  EXPECT_EQ(c.right, 257);
  EXPECT_EQ(c.bottom, 107);
  bool disabledAtStart = false, enabledWithMessage = false;
  std::string textAtStart;
  testsupport::When([&] { return form.Visible(); }, [&] {
    disabledAtStart = !form.CancelBtn->Enabled() && !testsupport::Press(form.CancelBtn->Handle());
    textAtStart = form.Panel1->Caption();
    testsupport::When([&] { return form.Timer1->Tag == 1; }, [&] {
      enabledWithMessage = form.CancelBtn->Enabled() &&
                           form.Panel1->Caption() == "...installing lanternfell...";
    });
  });
  EXPECT_EQ(form.ShowModal(), gui::mrOk);
  EXPECT_TRUE(disabledAtStart);
  EXPECT_EQ(textAtStart, "...wait...");
  EXPECT_TRUE(enabledWithMessage);
  EXPECT_EQ(form.BlinkCount(), 6);
  EXPECT_EQ(form.Panel1->Caption(), "...installing lanternfell...");  // visible at the end
  EXPECT_TRUE(IsWindowEnabled(owner_.Handle()));
}

TEST_F(WaitDlgTest, ShowWaitDialogCentresOverTheOwnerAndRunsOut) {
  testsupport::TBoxRecorder boxes(testsupport::Always(util::mrYes));
  bool centred = false;
  testsupport::When([] { return Showing() != nullptr; }, [&] {
    RECT d, o;
    GetWindowRect(Showing()->Handle(), &d);
    GetWindowRect(owner_.Handle(), &o);
    centred = std::abs((d.left + d.right) - (o.left + o.right)) <= 2 &&
              std::abs((d.top + d.bottom) - (o.top + o.bottom)) <= 2;
  });
  EXPECT_TRUE(dialogs::ShowWaitDialog("Wait Title", "msg", owner_.Handle()));
  EXPECT_TRUE(centred);
  EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(WaitDlgTest, CancelAnsweredNoGoesOnAndReturnsTrue) {
  testsupport::TBoxRecorder boxes(testsupport::Always(util::mrNo));
  HWND dialog = nullptr;
  testsupport::When(CancelUsable, [&] {
    dialog = Showing()->Handle();
    testsupport::Press(Showing()->CancelBtn->Handle());
  });
  EXPECT_TRUE(dialogs::ShowWaitDialog("Wait Title", "msg", owner_.Handle()));
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].text, "Cancel process?");
  EXPECT_EQ(boxes.boxes[0].caption, "Lanternfell");
  EXPECT_EQ(boxes.boxes[0].buttons, util::MsgButtons::YesNo);
  EXPECT_EQ(boxes.boxes[0].owner, util::MsgOwner::Window);
  EXPECT_EQ(boxes.boxes[0].ownerWindow, dialog);
}

TEST_F(WaitDlgTest, CancelAnsweredYesReturnsFalse) {
  testsupport::TBoxRecorder boxes(testsupport::Always(util::mrYes));
  int blinksAtCancel = -1;
  dialogs::TWaitForm* seen = nullptr;
  testsupport::When(CancelUsable, [&] {
    seen = Showing();
    blinksAtCancel = seen->BlinkCount();
    testsupport::Press(seen->CancelBtn->Handle());
  });
  EXPECT_FALSE(dialogs::ShowWaitDialog("Wait Title", "msg", owner_.Handle()));
  EXPECT_EQ(boxes.boxes.size(), 1u);
  EXPECT_LT(blinksAtCancel, 6);
}

TEST_F(WaitDlgTest, QuitClosesItWithoutTheQuestion) {
  testsupport::TBoxRecorder boxes(testsupport::Always(util::mrNo));
  testsupport::When(CancelUsable, [] { PostQuitMessage(0); });
  EXPECT_FALSE(dialogs::ShowWaitDialog("Wait Title", "msg", owner_.Handle()));
  EXPECT_TRUE(boxes.boxes.empty());
  EXPECT_TRUE(gui::Terminated());
  testsupport::DrainQuit();
}
