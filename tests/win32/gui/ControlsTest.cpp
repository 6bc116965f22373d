// Text box, memo, timer, progress bar, the linked file controls, plain-text
// paste and the window-update lock, under Wine.
#include <gtest/gtest.h>

#include "util/Win.h"
#include <commctrl.h>
#include <oleacc.h>

#include "gui/Clipboard.h"
#include "gui/FileCtrls.h"
#include "gui/Form.h"
#include "tests/support/FormDriver.h"
#include "util/Paths.h"
#include "util/Text.h"

namespace {
using gui::Kind;

const gui::FormDef kForm = {"Controls Test", 420, 260};
const gui::ControlDef kControls[] = {
    {Kind::TextBox, "Text1", "", 8, 8, 200, 40, "line one\nline two", {}, gui::clBlue,
     gui::fBorder},
    {Kind::Memo, "Memo1", "", 8, 56, 200, 50, "", {}, gui::clBlue, gui::fReadOnly},
    {Kind::Edit, "Edit1", "", 220, 8, 190, 21},
    {Kind::ProgressBar, "Bar", "", 220, 40, 190, 12, "", {}, gui::kDefaultColor, 0, 10},
    {Kind::Timer, "Timer1", "", 0, 0, 0, 0, "", {}, gui::kDefaultColor, gui::fDisabled, 20},
    {Kind::DirList, "Dirs", "", 8, 112, 180, 110},
    {Kind::FileList, "Files", "", 200, 112, 180, 110, "", {}, gui::clGray},
    {Kind::DriveCombo, "Drives", "", 8, 228, 180, 200},
};

// A folder tree for the file controls: Root\Sub A, Root\Sub B, Root\f1.txt.
class FileCtrlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = util::GetTempDir() + "LfGuiFiles";
    CreateDirectoryA(root_.c_str(), nullptr);
    CreateDirectoryA((root_ + "\\Sub A").c_str(), nullptr);
    CreateDirectoryA((root_ + "\\Sub B").c_str(), nullptr);
    Touch(root_ + "\\f1.txt");
    Touch(root_ + "\\Sub B\\inner.txt");
  }
  void TearDown() override {
    DeleteFileA((root_ + "\\f1.txt").c_str());
    DeleteFileA((root_ + "\\Sub B\\inner.txt").c_str());
    RemoveDirectoryA((root_ + "\\Sub A").c_str());
    RemoveDirectoryA((root_ + "\\Sub B").c_str());
    RemoveDirectoryA(root_.c_str());
  }
  static void Touch(const std::string& path) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(h);
  }
  std::string root_;
};

std::vector<std::string> Items(const gui::TFileList& list) {
  std::vector<std::string> v;
  for (int i = 0; i < list.Count(); ++i) v.push_back(list.Item(i));
  return v;
}
}  // namespace

TEST(TextBoxTest, LinesColourAndMemoOperations) {
  gui::TForm form(kForm, kControls);
  form.Show();
  auto* text = form.Get<gui::TTextBox>("Text1");
  EXPECT_EQ(text->Lines(), (std::vector<std::string>{"line one", "line two"}));
  text->Add("three");
  EXPECT_EQ(text->Text(), "line one\r\nline two\r\nthree");
  text->SetText("a\r\n\r\nb");
  EXPECT_EQ(text->Lines(), (std::vector<std::string>{"a", "", "b"}));
  text->SetColor(gui::clGray);
  EXPECT_EQ(text->Color(), gui::clGray);
  text->Clear();
  EXPECT_TRUE(text->Lines().empty());

  auto* memo = form.Get<gui::TMemo>("Memo1");
  memo->Add("first");
  memo->Add("second");
  EXPECT_EQ(memo->Lines(), (std::vector<std::string>{"first", "second"}));
  for (int i = 0; i < 20; ++i) memo->Add("more");
  EXPECT_GT(SendMessageA(memo->Handle(), EM_GETFIRSTVISIBLELINE, 0, 0), 0);  // followed the end
  for (int i = 0; i < 10; ++i) memo->Scroll(SB_PAGEUP);
  EXPECT_EQ(SendMessageA(memo->Handle(), EM_GETFIRSTVISIBLELINE, 0, 0), 0);
  memo->Clear();
  EXPECT_TRUE(memo->Lines().empty());

  auto* bar = form.Get<gui::TProgressBar>("Bar");
  bar->SetPosition(7);
  EXPECT_EQ(bar->Position(), 7);
  EXPECT_EQ(SendMessageA(bar->Handle(), PBM_GETRANGE, FALSE, 0), 10);  // table maximum
}

TEST(TextBoxTest, GivesItsWholeTextToTheSystemAndToAccessibilityTools) {
  gui::TForm form(kForm, kControls);
  form.Show();
  auto* text = form.Get<gui::TTextBox>("Text1");
  HWND h = text->Handle();
  char buf[64];
  EXPECT_EQ(GetWindowTextLengthA(h), 18);
  EXPECT_EQ(GetWindowTextA(h, buf, sizeof buf), 18);
  EXPECT_STREQ(buf, "line one\r\nline two");
  EXPECT_EQ(text->Caption(), "line one\r\nline two");
  // A short buffer gets what fits, ended by NUL.
  EXPECT_EQ(SendMessageA(h, WM_GETTEXT, 5, reinterpret_cast<LPARAM>(buf)), 4);
  EXPECT_STREQ(buf, "line");
  text->SetLines({"", "after an empty one"});
  EXPECT_EQ(text->Caption(), "\r\nafter an empty one");
  // Text set from outside becomes its paragraphs.
  SetWindowTextA(h, "x\ny\r\nz");
  EXPECT_EQ(text->Lines(), (std::vector<std::string>{"x", "y", "z"}));

  // To an accessibility tool it is a read-only text named by its text: its
  // real class is the system's static control, whose standard object has
  // the static-text role (Wine's has the generic client role) and the window
  // text as its name.
  char cls[32] = {};
  RealGetWindowClassA(h, cls, sizeof cls);
  EXPECT_STREQ(cls, "Static");
  ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
  IAccessible* acc = nullptr;
  ASSERT_TRUE(SUCCEEDED(AccessibleObjectFromWindow(h, OBJID_CLIENT, IID_IAccessible,
                                                   reinterpret_cast<void**>(&acc))));
  ASSERT_NE(acc, nullptr);
  VARIANT self;
  VariantInit(&self);
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  VARIANT role;
  VariantInit(&role);
  ASSERT_TRUE(SUCCEEDED(acc->get_accRole(self, &role)));
  EXPECT_EQ(role.vt, VT_I4);
  EXPECT_TRUE(role.lVal == ROLE_SYSTEM_STATICTEXT || role.lVal == ROLE_SYSTEM_CLIENT) << role.lVal;
  BSTR name = nullptr;
  ASSERT_TRUE(SUCCEEDED(acc->get_accName(self, &name)));
  ASSERT_NE(name, nullptr);
  EXPECT_EQ(std::wstring(name), L"x\r\ny\r\nz");
  SysFreeString(name);
  acc->Release();
  CoUninitialize();
}

namespace {
const gui::ControlDef kFrameControls[] = {
    {Kind::Panel, "Flat", "", 8, 8, 200, 100, "", {}, gui::kDefaultColor, gui::fNoBevel},
    {Kind::TextBox, "Framed", "Flat", 8, 8, 150, 40, "\nframed", {}, gui::clBlue, gui::fBorder},
    {Kind::TextBox, "Frameless", "Flat", 8, 56, 150, 40, "\nframeless"},
    {Kind::Label, "Lbl", "", 220, 8, 100, 13, "&Label"},
    {Kind::Button, "Btn", "", 220, 30, 75, 25, "Button"},
    {Kind::CheckBox, "Chk", "", 220, 60, 100, 17, "Check"},
};

// The colour of a window's top-left pixel, frame included, as painted.
COLORREF CornerPixel(HWND hwnd) {
  HDC dc = GetWindowDC(hwnd);
  const COLORREF c = GetPixel(dc, 0, 0);
  ReleaseDC(hwnd, dc);
  return c;
}
}  // namespace

// Windows without a frame skip the frame painting; one with a frame (the
// bordered text box's sunken edge) still gets it, when shown and when
// painted again.
TEST(TextBoxTest, ABorderedBoxKeepsItsEdgeAndAFramelessOneIsFaceToTheCorner) {
  gui::TForm form(kForm, kFrameControls);
  form.Show();
  HWND framed = form.Find("Framed")->Handle(), frameless = form.Find("Frameless")->Handle();
  const auto painted = [&] {
    return !GetUpdateRect(form.Handle(), nullptr, FALSE) &&
           !GetUpdateRect(framed, nullptr, FALSE) && !GetUpdateRect(frameless, nullptr, FALSE);
  };
  for (int round = 0; round < 2; ++round) {
    ASSERT_TRUE(testsupport::PumpUntil(painted));
    const COLORREF edge = CornerPixel(framed);
    EXPECT_NE(edge, GetSysColor(COLOR_WINDOW)) << round;
    EXPECT_NE(edge, GetSysColor(COLOR_BTNFACE)) << round;
    EXPECT_EQ(CornerPixel(frameless), GetSysColor(COLOR_BTNFACE)) << round;
    RedrawWindow(form.Handle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  }
  // Labels and buttons, which skip it too, stay the system's controls to
  // everyone outside: their classes, texts and clicks.
  char cls[32] = {};
  RealGetWindowClassA(form.Find("Lbl")->Handle(), cls, sizeof cls);
  EXPECT_STREQ(cls, "Static");
  RealGetWindowClassA(form.Find("Btn")->Handle(), cls, sizeof cls);
  EXPECT_STREQ(cls, "Button");
  EXPECT_EQ(gui::WindowText(form.Find("Lbl")->Handle()), "&Label");
  int clicks = 0;
  form.Get<gui::TButton>("Btn")->OnClick = [&] { ++clicks; };
  SendMessageA(form.Find("Btn")->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(clicks, 1);
  auto* check = form.Get<gui::TCheckBox>("Chk");
  SendMessageA(check->Handle(), BM_CLICK, 0, 0);
  EXPECT_TRUE(check->Checked());
}

TEST(TimerTest, RunsItsHandlerWhileEnabledAndKeepsItsTag) {
  gui::TForm form(kForm, kControls);
  auto* timer = form.Get<gui::TTimer>("Timer1");
  EXPECT_FALSE(timer->Enabled());
  EXPECT_EQ(timer->Interval(), 20u);
  int ticks = 0;
  timer->OnTimer = [&] {
    if (++ticks == 3) timer->SetEnabled(false);
  };
  timer->Tag = 5;
  timer->SetEnabled(true);
  EXPECT_TRUE(testsupport::PumpUntil([&] { return ticks == 3; }, 5000));
  testsupport::Pump(150);
  EXPECT_EQ(ticks, 3);  // stopped
  EXPECT_EQ(timer->Tag, 5);
}

TEST_F(FileCtrlsTest, FolderListShowsChainAndSubfoldersAndDrivesTheFileList) {
  gui::TForm form(kForm, kControls);
  form.Show();
  auto* dirs = form.Get<gui::TDirList>("Dirs");
  auto* files = form.Get<gui::TFileList>("Files");
  auto* drives = form.Get<gui::TDriveCombo>("Drives");
  dirs->SetFileList(files);
  drives->SetDirList(dirs);
  EXPECT_FALSE(dirs->SetDirectory(root_ + "\\missing"));
  ASSERT_TRUE(dirs->SetDirectory(root_ + "\\"));
  EXPECT_TRUE(util::SameText(dirs->Directory(), root_));
  EXPECT_EQ(dirs->ItemPath(0), root_.substr(0, 3));  // the drive root comes first
  int subA = dirs->IndexOf(root_ + "\\Sub A"), subB = dirs->IndexOf(root_ + "\\Sub B");
  ASSERT_GE(subA, 0);
  EXPECT_EQ(subB, subA + 1);
  EXPECT_EQ(subB, dirs->Count() - 1);
  EXPECT_EQ(Items(*files), (std::vector<std::string>{"f1.txt"}));
  EXPECT_EQ(drives->Drive(), util::LowerCase(root_.substr(0, 1))[0]);

  // A click on "Sub B" makes it the current folder; the list stays as it was.
  RECT item;
  SendMessageA(dirs->Handle(), LB_GETITEMRECT, subB, reinterpret_cast<LPARAM>(&item));
  LPARAM at = MAKELPARAM(item.left + 20, (item.top + item.bottom) / 2);
  SendMessageA(dirs->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageA(dirs->Handle(), WM_LBUTTONUP, 0, at);
  EXPECT_TRUE(util::SameText(dirs->Directory(), root_ + "\\Sub B"));
  EXPECT_EQ(Items(*files), (std::vector<std::string>{"inner.txt"}));
  EXPECT_EQ(dirs->IndexOf(root_ + "\\Sub A"), subA);
  // A double-click opens it: it is now the last of the chain.
  SendMessageA(dirs->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, at);
  SendMessageA(dirs->Handle(), WM_LBUTTONUP, 0, at);
  EXPECT_EQ(dirs->IndexOf(root_ + "\\Sub A"), -1);
  EXPECT_EQ(dirs->IndexOf(root_ + "\\Sub B"), dirs->Count() - 1);

  // Choosing drive c: in the selector switches the folder list to drive c.
  int c = -1;
  for (int i = 0; i < drives->Count(); ++i)
    if (drives->Item(i).rfind("c:", 0) == 0) c = i;
  ASSERT_GE(c, 0);
  SendMessageA(drives->Handle(), CB_SETCURSEL, c, 0);
  SendMessageA(form.Handle(), WM_COMMAND,
               MAKEWPARAM(GetDlgCtrlID(drives->Handle()), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(drives->Handle()));
  EXPECT_EQ(util::LowerCase(dirs->Directory().substr(0, 2)), "c:");
}

TEST(ClipboardTest, PastePlainTextReplacesTheSelection) {
  gui::TForm form(kForm, kControls);
  auto* edit = form.Get<gui::TEdit>("Edit1");
  edit->SetText("abcXYZ");
  ASSERT_TRUE(OpenClipboard(form.Handle()));
  EmptyClipboard();
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, 4);
  memcpy(GlobalLock(mem), "123", 4);
  GlobalUnlock(mem);
  SetClipboardData(CF_TEXT, mem);
  CloseClipboard();
  SendMessageA(edit->Handle(), EM_SETSEL, 3, 6);
  gui::PastePlainText(edit->Handle());
  EXPECT_EQ(edit->Text(), "abc123");
}

TEST(LockUpdateTest, LocksOneWindowAtATime) {
  gui::TForm form(kForm, kControls);
  form.Show();
  gui::TForm other(kForm, kControls);
  other.Show();
  {
    gui::TLockUpdate lock(form.Handle());
    EXPECT_TRUE(lock.Locked());
    gui::TLockUpdate second(other.Handle());
    EXPECT_FALSE(second.Locked());  // and its end unlocks nothing
  }
  gui::TLockUpdate again(other.Handle());  // the first lock ended
  EXPECT_TRUE(again.Locked());
}

// The rule of Control.h: from code, the check box's SetChecked (on a change),
// the button's Click, the drive selector's SetDrive and the folder list's
// SetDirectory run their control's event; the edit's SetText and the common
// setters do not.
TEST_F(FileCtrlsTest, OnlyTheSettersThatTheFormsRelyOnRunTheirEvents) {
  const gui::FormDef def = {"Setter Events", 300, 120};
  const gui::ControlDef rows[] = {
      {Kind::CheckBox, "Chk", "", 8, 8, 100, 17, "Check"},
      {Kind::Button, "Btn", "", 8, 30, 75, 25, "Press"},
      {Kind::Edit, "Edit1", "", 8, 60, 100, 21},
  };
  gui::TForm small(def, rows);
  auto* check = small.Get<gui::TCheckBox>("Chk");
  auto* button = small.Get<gui::TButton>("Btn");
  auto* edit = small.Get<gui::TEdit>("Edit1");
  int checks = 0, presses = 0, edits = 0;
  check->OnClick = [&] { ++checks; };
  button->OnClick = [&] { ++presses; };
  edit->OnChange = [&] { ++edits; };
  check->SetChecked(true);
  check->SetChecked(true);  // no change: no event
  button->Click();
  edit->SetText("filled by code");
  for (gui::TControl* c : {static_cast<gui::TControl*>(check), static_cast<gui::TControl*>(button),
                           static_cast<gui::TControl*>(edit)}) {
    c->SetCaption("other");
    c->SetEnabled(false);
    c->SetEnabled(true);
    c->SetVisible(false);
    c->SetVisible(true);
    c->SetColor(gui::clBlue);
  }
  EXPECT_EQ(checks, 1);
  EXPECT_EQ(presses, 1);
  EXPECT_EQ(edits, 0);

  gui::TForm form(kForm, kControls);
  auto* dirs = form.Get<gui::TDirList>("Dirs");
  auto* drives = form.Get<gui::TDriveCombo>("Drives");
  dirs->SetFileList(form.Get<gui::TFileList>("Files"));
  drives->SetDirList(dirs);
  int dirChanges = 0, driveChanges = 0;
  dirs->OnChange = [&] { ++dirChanges; };
  drives->OnChange = [&] { ++driveChanges; };
  ASSERT_TRUE(dirs->SetDirectory(root_));
  EXPECT_EQ(dirChanges, 1);
  EXPECT_EQ(driveChanges, 0);  // the selector only follows the folder's drive
  drives->SetDrive('c');
  EXPECT_EQ(driveChanges, 1);
  EXPECT_EQ(dirChanges, 2);  // the folder list opened the drive's folder
  EXPECT_EQ(util::LowerCase(dirs->Directory().substr(0, 2)), "c:");
}
