// Every form of the program laid out at the display scale of the run: the
// Wine prefix's DPI, which run-dpi-tests sets before it starts this binary
// (LF_TEST_DPI names it; 96 without). The binary carries setup.exe's own
// manifest, so it runs with the DPI awareness that setup.exe declares.
// At every DPI: the caption's icons are of the DPI's sizes, each control's
// rectangle is its table row scaled by DPI / 96 (within a pixel), its font's
// height is scaled, no label's or button's caption is wider than the control
// in its font, and no paragraph of a text box breaks into more lines than at
// 96 dpi; a form told that it moved to a monitor of another DPI takes the
// suggested rectangle and lays out its controls for that DPI, and back again
// to exactly where they were.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "dialogs/DirBrow.h"
#include "dialogs/WaitDlg.h"
#include "gui/Dpi.h"
#include "gui/Form.h"
#include "setup/SetupDlg.h"
#include "tests/support/WizardFixture.h"
#include "uninstall/UninstDlg.h"

namespace {

int RunDpi() {
  const char* e = std::getenv("LF_TEST_DPI");
  return e && *e ? std::atoi(e) : gui::kBaseDpi;
}

// The client sizes of the forms' tables (pixels at 96 dpi).
constexpr SIZE kSetupClient{457, 305}, kUninstClient{458, 305}, kWaitClient{257, 107},
    kBrowseClient{401, 215};

// Where a control is, in its parent's client area.
RECT PlaceInParent(HWND h) {
  RECT r;
  GetWindowRect(h, &r);
  MapWindowPoints(nullptr, GetParent(h), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

SIZE TextSize(HWND h, HFONT font, const std::string& text, UINT format) {
  HDC dc = GetDC(h);
  HGDIOBJ old = SelectObject(dc, font);
  RECT r{0, 0, 0, 0};
  DrawTextA(dc, text.c_str(), -1, &r, format | DT_CALCRECT | DT_SINGLELINE);
  SelectObject(dc, old);
  ReleaseDC(h, dc);
  return {r.right, r.bottom};
}

// The number of lines that the text takes, word-wrapped at width in font.
int Lines(HWND h, HFONT font, const std::string& text, int width) {
  HDC dc = GetDC(h);
  HGDIOBJ old = SelectObject(dc, font);
  TEXTMETRICA tm;
  GetTextMetricsA(dc, &tm);
  RECT r{0, 0, width, 0};
  DrawTextA(dc, text.empty() ? " " : text.c_str(), -1, &r,
            DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS | DT_EDITCONTROL | DT_CALCRECT);
  SelectObject(dc, old);
  ReleaseDC(h, dc);
  return r.bottom / tm.tmHeight;
}

// The width of the icon's image.
int IconWidth(HICON icon) {
  ICONINFO ii{};
  if (!icon || !GetIconInfo(icon, &ii)) return 0;
  BITMAP bm{};
  GetObjectA(ii.hbmColor ? ii.hbmColor : ii.hbmMask, sizeof bm, &bm);
  if (ii.hbmColor) DeleteObject(ii.hbmColor);
  if (ii.hbmMask) DeleteObject(ii.hbmMask);
  return bm.bmWidth;
}

// The caption's icon of the window (its own, else its class's).
HICON WindowIcon(HWND h, bool small) {
  auto icon = reinterpret_cast<HICON>(SendMessageA(h, WM_GETICON, small ? ICON_SMALL : ICON_BIG, 0));
  if (!icon) icon = reinterpret_cast<HICON>(GetClassLongPtrA(h, small ? GCLP_HICONSM : GCLP_HICON));
  return icon;
}

// Makes every page's controls (each page shown once) and returns to the
// page that was showing.
void MakeEveryPage(gui::TForm& form) {
  for (int i = 0; i < form.ControlCount(); ++i) {
    auto* book = dynamic_cast<gui::TPageBook*>(form.Control(i));
    if (!book) continue;
    const int shown = book->PageIndex();
    for (int p = 0; p < book->PageCount(); ++p) book->SetPageIndex(p);
    book->SetPageIndex(shown);
  }
}

// The rectangles of every control's window, in table order.
std::vector<RECT> Places(const gui::TForm& form) {
  std::vector<RECT> places;
  for (int i = 0; i < form.ControlCount(); ++i) {
    HWND h = form.Control(i)->Handle();
    places.push_back(h ? PlaceInParent(h) : RECT{});
  }
  return places;
}

bool SamePlaces(const std::vector<RECT>& a, const std::vector<RECT>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (!EqualRect(&a[i], &b[i])) return false;
  return true;
}

// The whole check of one form at dpi.
void ExpectLaidOutAt(gui::TForm& form, SIZE client96, int dpi) {
  SCOPED_TRACE(form.Caption() + " at " + std::to_string(dpi) + " dpi");
  EXPECT_EQ(form.Dpi(), dpi);
  RECT c;
  GetClientRect(form.Handle(), &c);
  EXPECT_NEAR(c.right, client96.cx * dpi / 96.0, 1);
  EXPECT_NEAR(c.bottom, client96.cy * dpi / 96.0, 1);
  EXPECT_EQ(IconWidth(WindowIcon(form.Handle(), true)), gui::SystemMetricForDpi(SM_CXSMICON, dpi));
  EXPECT_EQ(IconWidth(WindowIcon(form.Handle(), false)), gui::SystemMetricForDpi(SM_CXICON, dpi));
  MakeEveryPage(form);
  int checkedLabels = 0;
  for (int i = 0; i < form.ControlCount(); ++i) {
    gui::TControl* ctl = form.Control(i);
    const gui::ControlDef& row = ctl->Def();
    SCOPED_TRACE(ctl->Name());
    if (row.kind == gui::Kind::Timer) continue;
    HWND h = ctl->Handle();
    ASSERT_NE(h, nullptr);
    RECT want;
    if (row.kind == gui::Kind::Page) {
      GetClientRect(GetParent(h), &want);  // a page fills its book
    } else {
      want = {0, 0, 0, 0};
      const double k = dpi / 96.0;
      want.left = static_cast<LONG>(row.left * k + 0.5);
      want.top = static_cast<LONG>(row.top * k + 0.5);
      want.right = static_cast<LONG>((row.left + row.width) * k + 0.5);
      want.bottom = static_cast<LONG>((row.top + row.height) * k + 0.5);
    }
    const RECT got = PlaceInParent(h);
    EXPECT_NEAR(got.left, want.left, 1);
    EXPECT_NEAR(got.top, want.top, 1);
    EXPECT_NEAR(got.right, want.right, 1);
    // A drive selector's height is that of its open list; closed, it is as
    // high as the system makes it for its font.
    if (row.kind != gui::Kind::DriveCombo) {
      EXPECT_NEAR(got.bottom, want.bottom, 1);
    }

    // Containers paint their captions in the font; the system's controls
    // were given it.
    const HFONT font = ctl->ControlFont();
    const bool container = row.kind == gui::Kind::Panel || row.kind == gui::Kind::PageBook ||
                           row.kind == gui::Kind::Page;
    if (!container) {
      EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(h, WM_GETFONT, 0, 0)), font);
    }
    LOGFONTA lf{};
    GetObjectA(font, sizeof lf, &lf);
    const gui::TFontSpec spec = row.font.face ? row.font : form.Font();
    EXPECT_NEAR(-lf.lfHeight, gui::FontHeight(spec, 96) * dpi / 96.0, 1);

    // A text box breaks its paragraphs into as many lines as at 96 dpi.
    if (row.kind == gui::Kind::TextBox) {
      auto* box = static_cast<gui::TTextBox*>(ctl);
      const int margin = (row.flags & gui::fBorder) ? 2 : 0;
      const HFONT font96 = gui::GetFont(spec, 96);
      RECT client;
      GetClientRect(h, &client);
      for (const std::string& line : box->Lines()) {
        EXPECT_EQ(Lines(h, font96, line, row.width - 2 * margin),
                  Lines(h, font, line, client.right - 2 * gui::Scale(margin, dpi)))
            << '"' << line << '"';
      }
    }
    if (row.kind == gui::Kind::Label || row.kind == gui::Kind::Button) {
      const std::string text = ctl->Caption();
      RECT client;
      GetClientRect(h, &client);
      const SIZE s = TextSize(h, font, text, 0);
      EXPECT_LE(s.cx, client.right) << '"' << text << '"';
      EXPECT_LE(s.cy, client.bottom) << '"' << text << '"';
      ++checkedLabels;
    }
  }
  EXPECT_GT(checkedLabels, 0);
}

// The window rectangle that the system suggests for the form at dpi: the
// same place, the client area scaled, around it the frame the window has.
// (Windows scales the frame of a per-monitor aware window too; Wine draws
// every frame at the system's DPI.)
RECT SuggestedRect(const gui::TForm& form, SIZE client96, int dpi) {
  RECT w, c;
  GetWindowRect(form.Handle(), &w);
  GetClientRect(form.Handle(), &c);
  const int frameX = (w.right - w.left) - c.right, frameY = (w.bottom - w.top) - c.bottom;
  return {w.left, w.top, w.left + gui::Scale(client96.cx, dpi) + frameX,
          w.top + gui::Scale(client96.cy, dpi) + frameY};
}

void MoveToDpi(gui::TForm& form, SIZE client96, int dpi, RECT* suggested) {
  *suggested = SuggestedRect(form, client96, dpi);
  SendMessageA(form.Handle(), gui::kDpiChangedMessage, MAKEWPARAM(dpi, dpi),
               reinterpret_cast<LPARAM>(suggested));
}

class DpiTest : public testsupport::WizardFixture {};

TEST_F(DpiTest, TheRunsDpiIsTheSystemsAndTheManifestAsksForPerMonitorAwareness) {
  EXPECT_EQ(gui::SystemDpi(), RunDpi());
  HDC screen = GetDC(nullptr);
  EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSY), RunDpi());
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(GetAwarenessFromDpiAwarenessContext(GetThreadDpiAwarenessContext()),
            DPI_AWARENESS_PER_MONITOR_AWARE);
  // What the system reads from the manifest (this binary carries setup.exe's).
  auto setting = [](const wchar_t* ns, const wchar_t* name) {
    wchar_t buf[128] = L"";
    SIZE_T n = 0;
    if (!QueryActCtxSettingsW(0, nullptr, ns, name, buf, 128, &n)) return std::wstring(L"(none)");
    return std::wstring(buf);
  };
  EXPECT_EQ(setting(L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness"),
            L"PerMonitorV2, PerMonitor");
  EXPECT_EQ(setting(L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware"),
            L"true/pm");
}

TEST_F(DpiTest, BothWizardsAndBothDialogsAreLaidOutForTheDpi) {
  const int dpi = RunDpi();
  {
    setup::TSetupForm form;
    ExpectLaidOutAt(form, kSetupClient, dpi);
  }
  {
    uninstall::TUninstWiz form;
    ExpectLaidOutAt(form, kUninstClient, dpi);
  }
  {
    dialogs::TWaitForm form(nullptr);
    ExpectLaidOutAt(form, kWaitClient, dpi);
  }
  {
    dialogs::TBrowseDlg form(nullptr);
    ExpectLaidOutAt(form, kBrowseClient, dpi);
  }
}

TEST_F(DpiTest, AFormMovedToAnotherDpiTakesTheSuggestedRectangleAndLaysItselfOutAgain) {
  const int dpi = RunDpi(), other = dpi == 96 ? 144 : 96;
  {
    // Moved before its later pages were first shown: those are made at the
    // new DPI, the first page's controls laid out again.
    setup::TSetupForm form;
    RECT suggested;
    MoveToDpi(form, kSetupClient, other, &suggested);
    RECT w;
    GetWindowRect(form.Handle(), &w);
    EXPECT_TRUE(EqualRect(&w, &suggested));
    ExpectLaidOutAt(form, kSetupClient, other);
  }
  {
    // There and back: every control where it was, to the pixel.
    uninstall::TUninstWiz form;
    MakeEveryPage(form);
    const std::vector<RECT> before = Places(form);
    RECT w0, suggested;
    GetWindowRect(form.Handle(), &w0);
    MoveToDpi(form, kUninstClient, other, &suggested);
    ExpectLaidOutAt(form, kUninstClient, other);
    EXPECT_FALSE(SamePlaces(Places(form), before));
    MoveToDpi(form, kUninstClient, dpi, &suggested);
    ExpectLaidOutAt(form, kUninstClient, dpi);
    EXPECT_TRUE(SamePlaces(Places(form), before));
    RECT w1;
    GetWindowRect(form.Handle(), &w1);
    EXPECT_TRUE(EqualRect(&w0, &w1));
  }
  {
    dialogs::TBrowseDlg form(nullptr);
    RECT suggested;
    MoveToDpi(form, kBrowseClient, other, &suggested);
    ExpectLaidOutAt(form, kBrowseClient, other);
  }
}

}  // namespace
