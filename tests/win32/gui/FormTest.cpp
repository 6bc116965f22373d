// The GUI framework driven through real window messages under Wine: labels,
// edits, check boxes, page books, modal runs, dialog keys, error display.
#include <gtest/gtest.h>

#include <utility>

#include "gui/Application.h"
#include "gui/Form.h"
#include "gui/Pump.h"
#include "tests/support/BoxRecorder.h"
#include "tests/support/FormDriver.h"
#include "util/Errors.h"

namespace {
using gui::Kind;
using testsupport::TBoxRecorder;

const gui::FormDef kTestForm = {"Gui Test", 400, 300, gui::Border::Single, true,
                                gui::Position::ScreenCentre, gui::Pt("MS Sans Serif", 8)};
const gui::ControlDef kTestControls[] = {
    {Kind::Label, "AmpLbl", "", 8, 8, 300, 16, "E-Address && Mail Server"},
    {Kind::Label, "NameLbl", "", 8, 30, 60, 13, "&Name"},
    {Kind::Edit, "NameEdit", "", 80, 28, 150, 21, "", {}, gui::clBlue},
    {Kind::Edit, "OtherEdit", "", 240, 28, 150, 21},
    {Kind::CheckBox, "Check1", "", 8, 60, 150, 17, "&Check", {}, gui::kDefaultColor,
     gui::fChecked},
    {Kind::Panel, "Panel1", "", 8, 84, 384, 160, "", {}, gui::kDefaultColor, gui::fLowered},
    {Kind::PageBook, "Book", "Panel1", 4, 4, 376, 60},
    {Kind::Page, "P0", "Book", 0, 0, 0, 0, "First"},
    {Kind::Label, "P0Lbl", "P0", 4, 4, 100, 13, "on first"},
    {Kind::Page, "P1", "Book", 0, 0, 0, 0, "Second"},
    {Kind::Edit, "P1Edit", "P1", 4, 4, 100, 21},
    {Kind::TextBox, "Text1", "Panel1", 4, 70, 180, 40, "line one\nline two", {}, gui::clBlue,
     gui::fBorder},
    {Kind::Memo, "Memo1", "Panel1", 190, 70, 180, 40, "", {}, gui::clBlue, gui::fReadOnly},
    {Kind::ProgressBar, "Bar", "Panel1", 4, 120, 180, 12, "", {}, gui::kDefaultColor, 0, 10},
    {Kind::Button, "OkBtn", "", 150, 260, 75, 25, "Ok", {}, gui::kDefaultColor, gui::fDefault,
     gui::mrOk},
    {Kind::Button, "CancelBtn", "", 230, 260, 75, 25, "Cancel", {}, gui::kDefaultColor,
     gui::fCancel, gui::mrCancel},
    {Kind::Button, "FailBtn", "", 310, 260, 75, 25, "Fail"},
    {Kind::Timer, "Timer1", "", 0, 0, 0, 0, "", {}, gui::kDefaultColor, gui::fDisabled, 30},
};

class TTestForm : public gui::TForm {
 public:
  explicit TTestForm(HWND owner = nullptr) : TForm(kTestForm, kTestControls, owner) {
    Get<gui::TButton>("FailBtn")->OnClick = [] { throw util::EGeneralError("it failed"); };
  }
  bool closeAllowed = true;
  int closeQueries = 0, shows = 0;
  HWND H(const char* name) const { return Find(name)->Handle(); }

 protected:
  void FormShow() override { ++shows; }
  void FormCloseQuery(bool& canClose) override {
    ++closeQueries;
    canClose = closeAllowed;
  }
};

// Rightmost column of the label's client area painted in another colour
// than the background: where its text ends.
int RightmostInk(HWND label) {
  RECT r;
  GetClientRect(label, &r);
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, r.right, r.bottom);
  HGDIOBJ old = SelectObject(dc, bmp);
  SendMessageA(label, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
  COLORREF bg = GetPixel(dc, r.right - 1, r.bottom - 1);
  int right = -1;
  for (int x = 0; x < r.right; ++x)
    for (int y = 0; y < r.bottom; ++y)
      if (GetPixel(dc, x, y) != bg) right = x;
  SelectObject(dc, old);
  DeleteObject(bmp);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return right;
}

int TextWidth(HWND control, const char* text) {
  HDC dc = GetDC(control);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
  SIZE s;
  GetTextExtentPoint32A(dc, text, static_cast<int>(strlen(text)), &s);
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  return s.cx;
}
}  // namespace

TEST(FormTest, ClientSizeCaptionAndFirstShow) {
  TTestForm form;
  RECT c;
  GetClientRect(form.Handle(), &c);
  EXPECT_EQ(c.right, 400);
  EXPECT_EQ(c.bottom, 300);
  EXPECT_EQ(form.Caption(), "Gui Test");
  // A caption is read back whole, however long.
  const std::string longCaption(700, 'c');
  form.SetCaption(longCaption);
  EXPECT_EQ(form.Caption(), longCaption);
  form.SetCaption("Gui Test");
  LONG style = GetWindowLongA(form.Handle(), GWL_STYLE);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
  EXPECT_EQ(form.shows, 0);
  form.Show();
  form.Hide();
  form.Show();
  EXPECT_EQ(form.shows, 1);  // FormShow runs on the first show only
  EXPECT_TRUE(form.Visible());
  EXPECT_EQ(form.Find("Nope"), nullptr);
  EXPECT_THROW(form.Get<gui::TEdit>("OkBtn"), util::EGeneralError);
}

TEST(LabelTest, DoubleAmpersandShowsOneAndAccessKeyFocusesNextControl) {
  TTestForm form;
  form.Show();
  testsupport::Pump(50);
  HWND amp = form.H("AmpLbl");
  int ink = RightmostInk(amp);
  int single = TextWidth(amp, "E-Address & Mail Server");
  int twice = TextWidth(amp, "E-Address && Mail Server");
  ASSERT_GT(twice - single, 3);
  EXPECT_LE(ink, single);          // no second "&" drawn
  EXPECT_GT(ink, single - 4);      // but the whole text is there
  // Alt+N (the access key of "&Name") moves the focus to the edit after it.
  form.Get<gui::TControl>("OtherEdit")->SetFocus();
  ASSERT_TRUE(testsupport::PumpUntil([&] { return GetFocus() == form.H("OtherEdit"); }, 2000));
  PostMessageA(GetFocus(), WM_SYSCHAR, 'n', 1 << 29);
  EXPECT_TRUE(testsupport::PumpUntil([&] { return GetFocus() == form.H("NameEdit"); }, 2000));
}

TEST(CheckBoxTest, ClickHandlerRunsOnUserClickAndOnCodeChange) {
  TTestForm form;
  form.Show();
  auto* box = form.Get<gui::TCheckBox>("Check1");
  int clicks = 0;
  std::vector<bool> seen;
  box->OnClick = [&] { ++clicks; seen.push_back(box->Checked()); };
  EXPECT_TRUE(box->Checked());
  SendMessageA(box->Handle(), BM_CLICK, 0, 0);  // the user's click
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(box->Checked());
  box->SetChecked(false);  // no change: no click
  EXPECT_EQ(clicks, 1);
  box->SetChecked(true);
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(seen, (std::vector<bool>{false, true}));  // the handler sees the new state
}

TEST(EditTest, ChangeRunsOnTypingButNotOnSetText) {
  TTestForm form;
  form.Show();
  auto* edit = form.Get<gui::TEdit>("NameEdit");
  int changes = 0;
  edit->OnChange = [&] { ++changes; };
  edit->SetText("filled");
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(edit->Text(), "filled");
  edit->SetFocus();
  SendMessageA(edit->Handle(), EM_SETSEL, 6, 6);
  SendMessageA(edit->Handle(), WM_CHAR, 'x', 1);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(edit->Text(), "filledx");
  SendMessageA(edit->Handle(), EM_SETSEL, 0, -1);
  SendMessageA(edit->Handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("pasted"));
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(edit->Text(), "pasted");
}

TEST(PageBookTest, ShowsOnePageAtATime) {
  TTestForm form;
  form.Show();
  auto* book = form.Get<gui::TPageBook>("Book");
  ASSERT_EQ(book->PageCount(), 2);
  EXPECT_EQ(book->PageIndex(), 0);
  EXPECT_EQ(book->ActivePage(), "First");
  EXPECT_EQ(book->PageName(1), "Second");
  EXPECT_TRUE(IsWindowVisible(form.H("P0Lbl")));
  EXPECT_FALSE(IsWindowVisible(form.H("P1Edit")));
  book->SetActivePage("Second");
  EXPECT_EQ(book->PageIndex(), 1);
  EXPECT_FALSE(IsWindowVisible(form.H("P0Lbl")));
  EXPECT_TRUE(IsWindowVisible(form.H("P1Edit")));
  book->SetPageIndex(2);  // out of range: stays
  EXPECT_EQ(book->PageIndex(), 1);
  book->SetPageIndex(0);
  EXPECT_TRUE(IsWindowVisible(form.H("P0Lbl")));
  EXPECT_FALSE(IsWindowVisible(form.H("P1Edit")));
}

TEST(ModalTest, CloseQueryRefusalResetsResultAndOwnerComesBack) {
  TTestForm owner;
  owner.Show();
  TTestForm form(owner.Handle());
  form.closeAllowed = false;
  testsupport::TWatchdog dog;
  bool ownerDisabled = false;
  int resultAfterRefusal = -1;
  testsupport::When([&] { return form.Visible(); }, [&] {
    ownerDisabled = !IsWindowEnabled(owner.Handle());
    testsupport::Press(form.H("OkBtn"));
    testsupport::When([&] { return form.closeQueries == 1; }, [&] {
      testsupport::After(100, [&] {
        resultAfterRefusal = form.ModalResult();
        form.closeAllowed = true;
        EXPECT_TRUE(form.Visible());
        testsupport::Press(form.H("OkBtn"));
      });
    });
  });
  EXPECT_EQ(form.ShowModal(), gui::mrOk);
  EXPECT_TRUE(ownerDisabled);
  EXPECT_EQ(resultAfterRefusal, gui::mrNone);
  EXPECT_EQ(form.closeQueries, 2);
  EXPECT_TRUE(IsWindowEnabled(owner.Handle()));
  EXPECT_FALSE(form.Visible());
}

TEST(ModalTest, TitleBarCloseGivesCancelAndQuitEndsTheRun) {
  TTestForm form;
  testsupport::TWatchdog dog;
  testsupport::When([&] { return form.Visible(); },
                [&] { PostMessageA(form.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0); });
  EXPECT_EQ(form.ShowModal(), gui::mrCancel);
  EXPECT_EQ(form.closeQueries, 1);

  // A WM_QUIT ends the run at once (no close query) and stays for the main loop.
  form.closeAllowed = false;
  testsupport::When([&] { return form.Visible(); }, [] { PostQuitMessage(3); });
  EXPECT_EQ(form.ShowModal(), gui::mrCancel);
  EXPECT_EQ(form.closeQueries, 1);
  EXPECT_TRUE(gui::Terminated());
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 3u);
  testsupport::DrainQuit();
}

TEST(ModalTest, EnterPressesDefaultAndEscPressesCancel) {
  TTestForm form;
  testsupport::TWatchdog dog;
  auto* edit = form.Get<gui::TEdit>("NameEdit");
  edit->SetFocus();
  testsupport::When([&] { return edit->Focused(); }, [&] { testsupport::PostKey(edit->Handle(), VK_RETURN); });
  EXPECT_EQ(form.ShowModal(), gui::mrOk);

  testsupport::When([&] { return edit->Focused(); }, [&] { testsupport::PostKey(edit->Handle(), VK_ESCAPE); });
  EXPECT_EQ(form.ShowModal(), gui::mrCancel);

  // A disabled default button is not pressed by Enter.
  auto* ok = form.Get<gui::TButton>("OkBtn");
  int okClicks = 0;
  ok->OnClick = [&] { ++okClicks; };
  ok->SetEnabled(false);
  testsupport::When([&] { return edit->Focused(); }, [&] {
    testsupport::PostKey(edit->Handle(), VK_RETURN);
    testsupport::After(150, [&] { testsupport::PostKey(edit->Handle(), VK_ESCAPE); });
  });
  EXPECT_EQ(form.ShowModal(), gui::mrCancel);
  EXPECT_EQ(okClicks, 0);
}

TEST(ErrorDisplayTest, EscapedErrorIsShownWithTheTitleAndTheFormStays) {
  gui::Application().SetTitle("Test Title");
  TBoxRecorder boxes;
  TTestForm form;
  testsupport::TWatchdog dog;
  bool stillThere = false;
  testsupport::When([&] { return form.Visible(); }, [&] {
    testsupport::Press(form.H("FailBtn"));
    testsupport::When([&] { return !boxes.boxes.empty(); }, [&] {
      stillThere = form.Visible() && form.ModalResult() == gui::mrNone;
      testsupport::Press(form.H("CancelBtn"));
    });
  });
  EXPECT_EQ(form.ShowModal(), gui::mrCancel);
  EXPECT_TRUE(stillThere);
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].text, "it failed");
  EXPECT_EQ(boxes.boxes[0].caption, "Test Title");
  EXPECT_EQ(boxes.boxes[0].buttons, util::MsgButtons::Ok);
}

TEST(ApplicationTest, RunEndsWhenTheMainFormClosesAfterItsCloseQuery) {
  TTestForm form;
  gui::Application().SetMainForm(&form);
  EXPECT_EQ(util::MainWindow(), form.Handle());
  form.closeAllowed = false;
  testsupport::TWatchdog dog;
  testsupport::When([&] { return form.Visible(); }, [&] {
    PostMessageA(form.Handle(), WM_CLOSE, 0, 0);
    testsupport::When([&] { return form.closeQueries == 1; }, [&] {
      EXPECT_TRUE(form.Visible());
      form.closeAllowed = true;
      form.Close();
    });
  });
  gui::Application().Run();
  EXPECT_TRUE(form.Closed());
  EXPECT_EQ(form.closeQueries, 2);
  testsupport::Pump(50);  // the window is destroyed after its close
  EXPECT_EQ(form.Handle(), nullptr);
  EXPECT_EQ(util::MainWindow(), nullptr);
  gui::Application().SetMainForm(nullptr);
  gui::SetTerminated(false);
}

TEST(ApplicationTest, DefaultTitleIsTheFileNameAndTheApplicationWindowCarriesTheTitle) {
  gui::TApplication& app = gui::Application();
  app.SetTitle("");
  app.Initialize();
  EXPECT_EQ(app.Title(), "gui_win32_tests");
  ASSERT_NE(app.Handle(), nullptr);
  char text[64] = {};
  GetWindowTextA(app.Handle(), text, sizeof text);
  EXPECT_STREQ(text, "gui_win32_tests");
  app.SetTitle("Gui Title");
  GetWindowTextA(app.Handle(), text, sizeof text);
  EXPECT_STREQ(text, "Gui Title");
  app.Initialize();  // a title once set stays
  EXPECT_EQ(app.Title(), "Gui Title");

  // A form without an owner of its own belongs to the application window
  // (no task-bar button of its own); one with an owner keeps it.
  TTestForm form;
  EXPECT_EQ(GetWindow(form.Handle(), GW_OWNER), app.Handle());
  EXPECT_EQ(form.Owner(), nullptr);
  TTestForm owned(form.Handle());
  EXPECT_EQ(GetWindow(owned.Handle(), GW_OWNER), form.Handle());
}

// The caption's small icon is one handle for the whole program, loaded at
// the small size, in the form's class and the application window's alike
// (a class without one gets its own copy made by the system).
TEST(ApplicationTest, WindowClassesShareOneSmallIconOfTheSmallSize) {
  gui::TApplication& app = gui::Application();
  app.Initialize();
  TTestForm form;
  const auto formIcon = reinterpret_cast<HICON>(GetClassLongPtrA(form.Handle(), GCLP_HICONSM));
  const auto appIcon = reinterpret_cast<HICON>(GetClassLongPtrA(app.Handle(), GCLP_HICONSM));
  ASSERT_NE(formIcon, nullptr);
  EXPECT_EQ(formIcon, appIcon);
  EXPECT_EQ(formIcon, app.SmallIcon());
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(formIcon, &info));
  BITMAP mask{};
  GetObjectA(info.hbmMask, sizeof mask, &mask);
  EXPECT_EQ(mask.bmWidth, GetSystemMetrics(SM_CXSMICON));
  if (info.hbmColor) DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  // Containers show no icon.
  const HWND panel = form.Find("Panel1")->Handle();
  EXPECT_EQ(GetClassLongPtrA(panel, GCLP_HICONSM), 0u);
}

namespace {
const gui::ControlDef kLazyControls[] = {
    {Kind::PageBook, "Book", "", 8, 8, 300, 200},
    {Kind::Page, "P0", "Book", 0, 0, 0, 0, "First"},
    {Kind::Label, "P0Lbl", "P0", 4, 4, 100, 13, "on first"},
    {Kind::Page, "P1", "Book", 0, 0, 0, 0, "Second"},
    {Kind::Edit, "P1Edit", "P1", 4, 4, 100, 21, "design"},
    {Kind::CheckBox, "P1Check", "P1", 4, 30, 100, 17, "Check", {}, gui::kDefaultColor,
     gui::fChecked},
    {Kind::Panel, "P1Panel", "P1", 4, 50, 200, 60},
    {Kind::Button, "P1Btn", "P1Panel", 4, 4, 75, 25, "Press"},
    {Kind::Page, "P2", "Book", 0, 0, 0, 0, "Third"},
    {Kind::Memo, "P2Memo", "P2", 4, 4, 200, 60, "one", {}, gui::kDefaultColor, gui::fReadOnly},
    {Kind::Button, "OkBtn", "", 220, 220, 75, 25, "Ok"},
};

BOOL CALLBACK CountChild(HWND, LPARAM lp) {
  ++*reinterpret_cast<int*>(lp);
  return TRUE;
}

int ChildCount(HWND parent) {
  int n = 0;
  EnumChildWindows(parent, CountChild, reinterpret_cast<LPARAM>(&n));
  return n;
}
}  // namespace

// A page's controls get their windows when the page is first shown or when
// code needs one of them; what code set before is what the windows show.
TEST(PageBookTest, PageControlsAreMadeWhenFirstShownOrReachedAndKeepTheirState) {
  gui::TForm form(kTestForm, kLazyControls);
  auto* book = form.Get<gui::TPageBook>("Book");
  HWND p0 = form.Get<gui::TPage>("P0")->Handle(), p1 = form.Get<gui::TPage>("P1")->Handle(),
       p2 = form.Get<gui::TPage>("P2")->Handle();
  EXPECT_EQ(ChildCount(p0), 1);  // the first page shows from the start
  EXPECT_EQ(ChildCount(p1), 0);
  EXPECT_EQ(ChildCount(p2), 0);

  // State set on the second page's controls before they exist.
  auto* edit = form.Get<gui::TEdit>("P1Edit");
  auto* check = form.Get<gui::TCheckBox>("P1Check");
  auto* btn = form.Get<gui::TButton>("P1Btn");
  int clicks = 0;
  check->OnClick = [&] { ++clicks; };
  EXPECT_EQ(edit->Text(), "design");
  edit->SetText("typed before");
  EXPECT_TRUE(check->Checked());
  check->SetChecked(false);  // its click event runs as for a made box
  EXPECT_EQ(clicks, 1);
  btn->SetEnabled(false);
  btn->SetCaption("Later");
  EXPECT_FALSE(btn->Enabled());
  EXPECT_FALSE(btn->Showing());
  EXPECT_EQ(ChildCount(p1), 0);

  book->SetPageIndex(1);
  EXPECT_EQ(ChildCount(p1), 4);
  char text[64];
  GetWindowTextA(edit->Handle(), text, sizeof text);
  EXPECT_STREQ(text, "typed before");
  EXPECT_EQ(SendMessageA(check->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_FALSE(IsWindowEnabled(btn->Handle()));
  GetWindowTextA(btn->Handle(), text, sizeof text);
  EXPECT_STREQ(text, "Later");
  EXPECT_EQ(GetParent(btn->Handle()), form.Find("P1Panel")->Handle());
  // Tab order follows the rows: edit, check box, then the panel's button.
  EXPECT_EQ(GetWindow(edit->Handle(), GW_HWNDNEXT), check->Handle());

  // Reached by code, the third page's memo is made without the page showing.
  auto* memo = form.Get<gui::TMemo>("P2Memo");
  memo->Add("two");
  EXPECT_EQ(ChildCount(p2), 1);
  EXPECT_EQ(memo->Lines(), (std::vector<std::string>{"one", "two"}));
  form.Show();
  EXPECT_FALSE(memo->Showing());
  book->SetPageIndex(2);
  EXPECT_TRUE(memo->Showing());
  EXPECT_EQ(ChildCount(p2), 1);
}

namespace {
BOOL CALLBACK CountDirectChild(HWND hwnd, LPARAM lp) {
  auto* c = reinterpret_cast<std::pair<HWND, int>*>(lp);
  if (GetParent(hwnd) == c->first) ++c->second;
  return TRUE;
}

int DirectChildCount(HWND parent) {
  std::pair<HWND, int> c{parent, 0};
  EnumChildWindows(parent, CountDirectChild, reinterpret_cast<LPARAM>(&c));
  return c.second;
}
}  // namespace

// Only the first page's window is there at the start; another page's comes
// when it is shown or when code asks for its handle, and then alone, hidden.
TEST(PageBookTest, LaterPagesGetTheirWindowsWhenShownOrAskedFor) {
  gui::TForm form(kTestForm, kLazyControls);
  auto* book = form.Get<gui::TPageBook>("Book");
  auto* p1 = form.Get<gui::TPage>("P1");
  auto* p2 = form.Get<gui::TPage>("P2");
  HWND bookHwnd = book->Handle();
  EXPECT_EQ(DirectChildCount(bookHwnd), 1);
  EXPECT_FALSE(p1->Visible());

  book->SetPageIndex(2);
  EXPECT_EQ(DirectChildCount(bookHwnd), 2);
  HWND h2 = p2->Handle();
  EXPECT_EQ(GetParent(h2), bookHwnd);
  EXPECT_TRUE(GetWindowLongA(h2, GWL_STYLE) & WS_VISIBLE);
  RECT page, client;
  GetWindowRect(h2, &page);
  GetClientRect(bookHwnd, &client);
  EXPECT_EQ(page.right - page.left, client.right);
  EXPECT_EQ(page.bottom - page.top, client.bottom);

  HWND h1 = p1->Handle();  // asked for: the page alone, not shown
  EXPECT_EQ(DirectChildCount(bookHwnd), 3);
  EXPECT_FALSE(GetWindowLongA(h1, GWL_STYLE) & WS_VISIBLE);
  EXPECT_EQ(DirectChildCount(h1), 0);
  book->SetPageIndex(1);  // shown: its controls come, the others hide
  EXPECT_TRUE(GetWindowLongA(h1, GWL_STYLE) & WS_VISIBLE);
  EXPECT_FALSE(GetWindowLongA(h2, GWL_STYLE) & WS_VISIBLE);
  EXPECT_EQ(ChildCount(h1), 4);
  EXPECT_EQ(book->ActivePage(), "Second");
}

namespace {
// Counts the WM_SETFOCUS a subclassed window receives.
int g_focusCount = 0;
WNDPROC g_countedProc = nullptr;
LRESULT CALLBACK CountFocusProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_SETFOCUS) ++g_focusCount;
  return CallWindowProcA(g_countedProc, h, m, w, l);
}
}  // namespace

// A form shown with a chosen control gives that control the focus at once:
// the first control in the tab order never takes it on the way (the dialog
// manager would select all of its text and leave it so).
TEST(FormTest, ShowFocusesTheChosenControlWithoutPassingTheFirst) {
  TTestForm form;
  auto* first = form.Get<gui::TEdit>("NameEdit");
  first->SetText("typed");
  HWND firstHwnd = first->Handle();
  g_focusCount = 0;
  g_countedProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(firstHwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountFocusProc)));
  form.Get<gui::TControl>("CancelBtn")->SetFocus();
  form.Show();
  testsupport::Pump(50);
  EXPECT_EQ(GetFocus(), form.H("CancelBtn"));
  EXPECT_EQ(g_focusCount, 0);
  DWORD from = 1, to = 1;
  SendMessageA(firstHwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&from),
               reinterpret_cast<LPARAM>(&to));
  EXPECT_EQ(to - from, 0u) << "the first edit's text was selected";
  SetWindowLongPtrA(firstHwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_countedProc));
  // Without a chosen control the dialog's first control gets it, as before.
  TTestForm plain;
  plain.Show();
  testsupport::Pump(50);
  EXPECT_EQ(GetFocus(), plain.H("NameEdit"));
}
