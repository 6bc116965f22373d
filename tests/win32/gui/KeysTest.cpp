// Dialog keys typed through the system's keyboard input into controls that
// lie on pages and panels: Esc, Tab, Shift+Tab and Enter must act on the
// form, whichever control (a multi-line edit too) has the focus.
#include <gtest/gtest.h>

#include "gui/Form.h"
#include "gui/Pump.h"
#include "tests/support/FormDriver.h"

namespace {
using gui::Kind;

const gui::FormDef kKeysForm = {"Keys Test", 320, 200, gui::Border::Single, true,
                                gui::Position::ScreenCentre, gui::Pt("MS Sans Serif", 8)};
const gui::ControlDef kKeysControls[] = {
    {Kind::Panel, "Panel1", "", 8, 8, 304, 150},
    {Kind::PageBook, "Book", "Panel1", 4, 4, 296, 142},
    {Kind::Page, "P0", "Book", 0, 0, 0, 0, "First"},
    {Kind::Edit, "PEdit", "P0", 4, 4, 200, 21},
    {Kind::Memo, "PMemo", "P0", 4, 30, 280, 60, "one\ntwo", {}, gui::clBlue, gui::fReadOnly},
    {Kind::Page, "P1", "Book", 0, 0, 0, 0, "Second"},
    {Kind::Memo, "P1Memo", "P1", 4, 4, 280, 60, "", {}, gui::clBlue, gui::fReadOnly},
    {Kind::Button, "OkBtn", "", 150, 168, 75, 25, "Ok", {}, gui::kDefaultColor, gui::fDefault},
    {Kind::Button, "CancelBtn", "", 235, 168, 75, 25, "Cancel", {}, gui::kDefaultColor,
     gui::fCancel},
};

class TKeysForm : public gui::TForm {
 public:
  TKeysForm() : TForm(kKeysForm, kKeysControls) {
    Get<gui::TButton>("OkBtn")->OnClick = [this] { ++okClicks; };
    Get<gui::TButton>("CancelBtn")->OnClick = [this] { Close(); };
  }
  bool closeAllowed = false;
  int closeQueries = 0, okClicks = 0;
  gui::TControl* C(const char* name) const { return Find(name); }

 protected:
  void FormCloseQuery(bool& canClose) override {
    ++closeQueries;
    canClose = closeAllowed;
  }
};

// Shows the form in front and puts the focus on the named control.
void Focus(TKeysForm& form, const char* name) {
  form.Show();
  SetForegroundWindow(form.Handle());
  form.C(name)->SetFocus();
  ASSERT_TRUE(testsupport::PumpUntil([&] { return form.C(name)->Focused(); }, 3000)) << name;
}

TEST(DialogKeysTest, EscInMultiLineEditOnAPagePressesCancelAndKeepsThePage) {
  TKeysForm form;
  testsupport::TWatchdog dog;
  Focus(form, "PMemo");
  testsupport::TypeKey(VK_ESCAPE);
  ASSERT_TRUE(testsupport::PumpUntil([&] { return form.closeQueries == 1; }, 3000));
  testsupport::Pump(100);
  // Refused: everything is where it was, the page and its memo included.
  EXPECT_TRUE(IsWindow(form.C("P0")->Handle()));
  EXPECT_TRUE(form.C("P0")->Showing());
  EXPECT_TRUE(form.C("PMemo")->Showing());
  EXPECT_FALSE(form.Closed());

  // The close request with which an edit answers Esc reaches the page
  // itself: it presses Cancel too, and the page stays.
  PostMessageA(form.C("P0")->Handle(), WM_CLOSE, 0, 0);
  ASSERT_TRUE(testsupport::PumpUntil([&] { return form.closeQueries == 2; }, 3000));
  EXPECT_TRUE(IsWindow(form.C("P0")->Handle()));

  // A disabled Cancel is not pressed by Esc: nothing asks, nothing closes.
  form.C("CancelBtn")->SetEnabled(false);
  Focus(form, "PMemo");
  testsupport::TypeKey(VK_ESCAPE);
  testsupport::Pump(200);
  EXPECT_EQ(form.closeQueries, 2);
  EXPECT_TRUE(IsWindow(form.C("P0")->Handle()));

  // Allowed, Esc on the second page's memo closes the form.
  form.C("CancelBtn")->SetEnabled(true);
  form.closeAllowed = true;
  form.Get<gui::TPageBook>("Book")->SetPageIndex(1);
  Focus(form, "P1Memo");
  testsupport::TypeKey(VK_ESCAPE);
  EXPECT_TRUE(testsupport::PumpUntil([&] { return form.Closed(); }, 3000));
  EXPECT_EQ(form.closeQueries, 3);
}

TEST(DialogKeysTest, TabAndShiftTabLeaveTheMultiLineEditAndEnterPressesTheDefault) {
  TKeysForm form;
  testsupport::TWatchdog dog;
  Focus(form, "PMemo");
  testsupport::TypeKey(VK_TAB);
  EXPECT_TRUE(testsupport::PumpUntil([&] { return form.C("OkBtn")->Focused(); }, 3000));

  Focus(form, "PMemo");
  testsupport::TypeKey(VK_TAB, true);
  EXPECT_TRUE(testsupport::PumpUntil([&] { return form.C("PEdit")->Focused(); }, 3000));

  Focus(form, "PMemo");
  testsupport::TypeKey(VK_RETURN);
  EXPECT_TRUE(testsupport::PumpUntil([&] { return form.okClicks == 1; }, 3000));
  EXPECT_EQ(form.Get<gui::TMemo>("PMemo")->Lines(), (std::vector<std::string>{"one", "two"}));
  EXPECT_EQ(form.closeQueries, 0);
}

}  // namespace
