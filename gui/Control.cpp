// The simple controls: label, edit, text box, memo, check box, button,
// panel, page book, timer, progress bar; and the procedures of our own
// control classes (container, text box).
#include "gui/Control.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

#include "gui/Application.h"
#include "gui/Dpi.h"
#include "gui/Form.h"
#include "gui/WinClasses.h"
#include "util/Errors.h"
#include "util/Handle.h"
#include "util/LateLoad.h"
#include "util/System.h"
#include "util/Text.h"

namespace gui {

std::string WindowText(HWND hwnd) {
  int n = GetWindowTextLengthA(hwnd);
  std::string s(n + 1, '\0');
  n = GetWindowTextA(hwnd, s.data(), n + 1);
  s.resize(n > 0 ? n : 0);
  return s;
}

namespace {
// A WM_PAINT answered by paint(dc) between BeginPaint and EndPaint; an
// exception in the painting is shown, never left to cross the system.
template <typename Paint>
LRESULT PaintMessage(HWND hwnd, Paint paint) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  Guarded([&] { paint(dc); });
  EndPaint(hwnd, &ps);
  return 0;
}

// A window whose client area is the whole window (no border, edge or
// scroll bar) has no frame to paint: the default WM_NCPAINT would only take
// a window DC to draw nothing (under Wine, a round of server requests per
// window each time it is shown).
bool NoFrame(HWND hwnd) {
  RECT w, c;
  GetWindowRect(hwnd, &w);
  GetClientRect(hwnd, &c);
  return w.right - w.left == c.right && w.bottom - w.top == c.bottom;
}

// Gives a window of a system class our procedure proc, which passes what it
// does not answer on to the class's own, kept in *original (the same for
// every window of the class, so the first window's is kept).
void Subclass(HWND hwnd, WNDPROC proc, WNDPROC* original) {
  auto old = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc)));
  if (!*original) *original = old;
}

// The system's labels and buttons leave WM_NCPAINT to the default procedure
// as well: subclassed with this, the frameless ones skip it too. original is
// where the class's own procedure is kept.
template <WNDPROC* original>
LRESULT CALLBACK FramelessProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCPAINT && NoFrame(hwnd)) return 0;
  return CallWindowProcA(*original, hwnd, msg, wp, lp);
}

template <WNDPROC* original>
void SkipFramePainting(HWND hwnd) {
  Subclass(hwnd, &FramelessProc<original>, original);
}
WNDPROC g_labelProc = nullptr, g_buttonProc = nullptr;

// "\n"-separated lines of a table caption, as CR LF text.
std::string ToCrLf(const std::string& text) {
  util::TStringList l;
  l.SetText(text);
  std::string s = l.Text();
  if (s.size() >= 2) s.resize(s.size() - 2);  // no line break after the last line
  return s;
}
}  // namespace

// --- TControl ---------------------------------------------------------------

TControl::TControl(TForm& form, const ControlDef& def)
    : form_(form), def_(def), caption_(def.caption), color_(def.color) {}

void TControl::CreateWin(const char* cls, DWORD style, DWORD exStyle, HWND parent, int id,
                         const char* text) {
  Place(form_.Dpi());
  style |= WS_CHILD | WS_CLIPSIBLINGS;
  if (!HasFlag(fHidden)) style |= WS_VISIBLE;
  if (HasFlag(fDisabled)) style |= WS_DISABLED;
  hwnd_ = CreateWindowExA(exStyle, cls, text ? text : caption_.c_str(), style, left_, top_,
                          width_, height_, parent,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                          GetModuleHandleA(nullptr), this);
  if (!hwnd_) {
    const DWORD error = GetLastError();
    throw util::EGeneralError(
        util::SystemErrorMessage("Cannot create the control " + name_ + ": ", error));
  }
  SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(ControlFont()), FALSE);
}

void TControl::Create(HWND parent, int id) { CreateWin(kContainerClass, 0, 0, parent, id); }

void TControl::Place(int dpi) {
  left_ = Scale(def_.left, dpi);
  top_ = Scale(def_.top, dpi);
  width_ = Scale(def_.width, dpi);
  height_ = Scale(def_.height, dpi);
}

void TControl::Relayout() {
  if (!hwnd_) return;
  Place(form_.Dpi());
  SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(ControlFont()), FALSE);
  SetWindowPos(hwnd_, nullptr, left_, top_, width_, height_,
               SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
}

HWND TControl::Handle() const {
  Realize();
  return hwnd_;
}

void TControl::Realize() const {
  if (hwnd_ || !page_) return;
  // A page not shown yet makes its own window alone; a control, its page.
  if (page_ == this) return form_.MakePageWindow(page_);
  form_.RealizePage(page_);
}

// A control of a page not yet shown answers from its kept state (page_ set,
// no window); a control that has no window of its own at all (a timer) is
// neither enabled nor visible as a window.
std::string TControl::Caption() const { return hwnd_ ? WindowText(hwnd_) : caption_; }

void TControl::SetCaption(const std::string& text) {
  if (hwnd_) SetWindowTextA(hwnd_, text.c_str());
  else caption_ = text;
}

bool TControl::Enabled() const {
  return hwnd_ ? IsWindowEnabled(hwnd_) != 0 : page_ && !HasFlag(fDisabled);
}
void TControl::SetEnabled(bool on) {
  if (hwnd_) EnableWindow(hwnd_, on);
  else SetFlag(fDisabled, !on);
}

bool TControl::Visible() const {
  return hwnd_ ? (GetWindowLongA(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0
               : page_ && !HasFlag(fHidden);
}
void TControl::SetVisible(bool on) {
  if (hwnd_) ShowWindow(hwnd_, on ? SW_SHOW : SW_HIDE);
  else SetFlag(fHidden, !on);
}
bool TControl::Showing() const { return hwnd_ && IsWindowVisible(hwnd_); }

void TControl::SetFocus() { form_.SetActiveControl(this); }
bool TControl::Focused() const { return hwnd_ && GetFocus() == hwnd_; }

void TControl::SetColor(COLORREF c) {
  color_ = c;
  if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

HFONT TControl::ControlFont() const {
  return GetFont(def_.font.face ? def_.font : form_.Font(), form_.Dpi());
}

COLORREF TControl::TextColor() const {
  return color_ != kDefaultColor ? color_ : GetSysColor(COLOR_WINDOWTEXT);
}

// Fields (edits, lists) are drawn on the window colour with their own opaque
// text background; the rest on the face colour, the text transparent.
HBRUSH TControl::CtlColor(HDC dc) {
  SetTextColor(dc, TextColor());
  const int background = IsField() ? COLOR_WINDOW : COLOR_BTNFACE;
  if (!IsField()) SetBkMode(dc, TRANSPARENT);
  SetBkColor(dc, GetSysColor(background));
  return GetSysColorBrush(background);
}

// --- TLabel -----------------------------------------------------------------

void TLabel::Place(int dpi) {
  TControl::Place(dpi);
  if (def_.width <= 0 || def_.height <= 0) {  // size to the caption, in its font
    util::ScreenDC dc(GetDC(nullptr));
    HGDIOBJ old = SelectObject(dc.Get(), ControlFont());
    RECT r{0, 0, 0, 0};
    DrawTextA(dc.Get(), Caption().c_str(), -1, &r, DT_CALCRECT | DT_SINGLELINE);
    SelectObject(dc.Get(), old);
    if (def_.width <= 0) width_ = r.right;
    if (def_.height <= 0) height_ = r.bottom;
  }
}

void TLabel::Create(HWND parent, int id) {
  // No SS_NOPREFIX: "&X" underlines X and is an access key, "&&" shows "&".
  CreateWin("STATIC", SS_LEFT, 0, parent, id);
  SkipFramePainting<&g_labelProc>(hwnd_);
}

// --- TEdit ------------------------------------------------------------------

void TEdit::Create(HWND parent, int id) {
  DWORD style = WS_TABSTOP | ES_AUTOHSCROLL | ((def_.flags & fReadOnly) ? ES_READONLY : 0);
  CreateWin("EDIT", style, WS_EX_CLIENTEDGE, parent, id);
}

void TEdit::Command(int code) {
  if (code == EN_CHANGE && !silent_ && OnChange) OnChange();
}

void TEdit::SetText(const std::string& text) {
  silent_ = true;
  TControl::SetCaption(text);
  silent_ = false;
}

// --- TTextBox ---------------------------------------------------------------

namespace {
LRESULT CALLBACK TextBoxProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
WNDPROC g_staticProc = nullptr;
}  // namespace

TTextBox::TTextBox(TForm& form, const ControlDef& def) : TControl(form, def) {
  util::TStringList l;
  l.SetText(def_.caption);
  lines_ = l.Lines();
}

void TTextBox::Create(HWND parent, int id) {
  CreateWin("STATIC", SS_LEFT | SS_NOPREFIX, (def_.flags & fBorder) ? WS_EX_CLIENTEDGE : 0, parent,
            id, "");
  SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  Subclass(hwnd_, TextBoxProc, &g_staticProc);
}

void TTextBox::SetLines(std::vector<std::string> lines) {
  lines_ = std::move(lines);
  if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

void TTextBox::SetText(const std::string& text) {
  util::TStringList l;
  l.SetText(text);
  SetLines(l.Lines());
}

std::string TTextBox::Text() const {
  std::string s;
  for (size_t i = 0; i < lines_.size(); ++i) s += (i ? "\r\n" : "") + lines_[i];
  return s;
}

void TTextBox::Add(const std::string& line) {
  lines_.push_back(line);
  if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

void TTextBox::Clear() { SetLines({}); }

void TTextBox::Paint(HDC dc) {
  RECT client;
  GetClientRect(hwnd_, &client);
  bool bordered = def_.flags & fBorder;
  FillRect(dc, &client, GetSysColorBrush(bordered ? COLOR_WINDOW : COLOR_BTNFACE));
  HGDIOBJ old = SelectObject(dc, ControlFont());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, TextColor());
  const UINT fmt = DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS | DT_EDITCONTROL;
  const int margin = bordered ? Scale(2, form_.Dpi()) : 0, width = client.right - 2 * margin;
  std::vector<int> heights;
  for (const auto& line : lines_) {
    RECT r{0, 0, width, 0};
    DrawTextA(dc, line.empty() ? " " : line.c_str(), -1, &r, fmt | DT_CALCRECT);
    heights.push_back(r.bottom);
  }
  // Too long for the box: start late enough that the last paragraph shows.
  size_t first = 0;
  int total = 0;
  for (int h : heights) total += h;
  while (first + 1 < heights.size() && total > client.bottom - 2 * margin) total -= heights[first++];
  int y = margin;
  for (size_t i = first; i < lines_.size(); ++i) {
    RECT r{margin, y, margin + width, y + heights[i]};
    DrawTextA(dc, lines_[i].c_str(), -1, &r, fmt);
    y += heights[i];
  }
  SelectObject(dc, old);
}

namespace {
// A text box is the system's static control with our painting and our text:
// to the system it is what it looks like, a read-only text. Its text (for
// GetWindowText from anywhere, and for screen readers, whose standard object
// for a static control is a read-only text named by that text) is its
// paragraphs joined by CR LF.
LRESULT CALLBACK TextBoxProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* box = reinterpret_cast<TTextBox*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (box && box->Handle()) {
    switch (msg) {
      case WM_GETTEXTLENGTH:
      case WM_GETTEXT: {
        const std::string text = box->Text();
        if (msg == WM_GETTEXTLENGTH) return static_cast<LRESULT>(text.size());
        if (wp == 0 || !lp) return 0;
        const size_t n = std::min(text.size(), static_cast<size_t>(wp) - 1);
        memcpy(reinterpret_cast<char*>(lp), text.data(), n);
        reinterpret_cast<char*>(lp)[n] = '\0';
        return static_cast<LRESULT>(n);
      }
      case WM_SETTEXT:
        box->SetText(lp ? reinterpret_cast<const char*>(lp) : "");
        return TRUE;
      case WM_ERASEBKGND: return 1;  // WM_PAINT fills the whole box
      case WM_NCPAINT:
        if (NoFrame(hwnd)) return 0;
        break;
      case WM_PAINT: return PaintMessage(hwnd, [&](HDC dc) { box->Paint(dc); });
    }
  }
  return CallWindowProcA(g_staticProc, hwnd, msg, wp, lp);
}
}  // namespace

// --- TMemo ------------------------------------------------------------------

namespace {
WNDPROC g_editProc = nullptr;

// A read-only memo keeps the arrow and page keys for scrolling but leaves
// Tab, Enter and Esc to the form: a multi-line edit would take them all and
// answer Esc with a close request to its parent (a page), Enter with a
// default-button search among its parent's children, where the form's
// buttons are not.
LRESULT CALLBACK ReadOnlyMemoProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  LRESULT r = CallWindowProcA(g_editProc, hwnd, msg, wp, lp);
  if (msg == WM_GETDLGCODE) {
    r &= ~(DLGC_WANTALLKEYS | DLGC_WANTTAB | DLGC_WANTMESSAGE);
    // Tab and Esc, and Enter, are the form's.
    auto* m = reinterpret_cast<const MSG*>(lp);
    if (m && m->message == WM_KEYDOWN &&
        (m->wParam == VK_TAB || m->wParam == VK_ESCAPE || m->wParam == VK_RETURN))
      r &= ~DLGC_WANTCHARS;
  }
  return r;
}
}  // namespace

void TMemo::Create(HWND parent, int id) {
  const bool readOnly = def_.flags & fReadOnly;
  DWORD style = WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
                (readOnly ? ES_READONLY : ES_WANTRETURN);
  CreateWin("EDIT", style, WS_EX_CLIENTEDGE, parent, id, ToCrLf(caption_).c_str());
  if (readOnly) Subclass(hwnd_, ReadOnlyMemoProc, &g_editProc);
}

void TMemo::Add(const std::string& line) {
  Realize();
  int len = GetWindowTextLengthA(hwnd_);
  SendMessageA(hwnd_, EM_SETSEL, len, len);
  std::string text = (len > 0 ? "\r\n" : "") + line;
  SendMessageA(hwnd_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

void TMemo::Clear() { SetCaption(""); }

std::vector<std::string> TMemo::Lines() const {
  util::TStringList l;
  l.SetText(Caption());
  return l.Lines();
}

void TMemo::Scroll(int sbCode) { SendMessageA(Handle(), EM_SCROLL, sbCode, 0); }

// --- TCheckBox --------------------------------------------------------------

void TCheckBox::Create(HWND parent, int id) {
  CreateWin("BUTTON", WS_TABSTOP | BS_AUTOCHECKBOX, 0, parent, id);
  SkipFramePainting<&g_buttonProc>(hwnd_);
  if (HasFlag(fChecked)) SendMessageA(hwnd_, BM_SETCHECK, BST_CHECKED, 0);
}

void TCheckBox::Command(int code) {
  if (code == BN_CLICKED && OnClick) OnClick();
}

bool TCheckBox::Checked() const {
  if (!hwnd_) return HasFlag(fChecked);
  return SendMessageA(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TCheckBox::SetChecked(bool on) {
  if (Checked() == on) return;
  if (hwnd_) SendMessageA(hwnd_, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
  else SetFlag(fChecked, on);
  if (OnClick) OnClick();
}

// --- TButton ----------------------------------------------------------------

void TButton::Create(HWND parent, int id) {
  DWORD style = WS_TABSTOP | ((def_.flags & fDefault) ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
  CreateWin("BUTTON", style, 0, parent, id);
  SkipFramePainting<&g_buttonProc>(hwnd_);
}

void TButton::Click() {
  if (modalResult_ != 0) form_.SetModalResult(modalResult_);
  if (OnClick) OnClick();
}

bool TButton::Press() {
  if (!hwnd_ || !IsWindowEnabled(hwnd_) || !IsWindowVisible(hwnd_)) return false;
  Click();
  return true;
}

// --- Containers -------------------------------------------------------------

void TPanel::Create(HWND parent, int id) {
  CreateWin(kContainerClass, 0, WS_EX_CONTROLPARENT, parent, id);
}

void TPanel::SetCaption(const std::string& text) {
  TControl::SetCaption(text);
  if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

void TPanel::Paint(HDC dc) {
  RECT r;
  GetClientRect(hwnd_, &r);
  if (!(def_.flags & fNoBevel))
    DrawEdge(dc, &r, (def_.flags & fLowered) ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
  std::string text = Caption();
  if (text.empty()) return;
  HGDIOBJ old = SelectObject(dc, ControlFont());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, TextColor());
  DrawTextA(dc, text.c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(dc, old);
}

LRESULT CALLBACK ContainerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* panel = WindowObject<TPanel>(hwnd, msg, lp);
  switch (msg) {
    // Children's notifications belong to the form.
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    // A multi-line edit asks its parent, as it would a dialog, for the next
    // control (Tab), the default button (Enter)...
    case WM_NEXTDLGCTL:
    case DM_GETDEFID: return SendMessageA(GetAncestor(hwnd, GA_ROOT), msg, wp, lp);
    // ...and answers Esc with a close request to its parent. Here that is a
    // page or panel, which must not close: Esc presses the form's cancel
    // button, as it does anywhere else in the form.
    case WM_CLOSE:
      SendMessageA(GetAncestor(hwnd, GA_ROOT), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
      return 0;
    case WM_NCPAINT:
      if (NoFrame(hwnd)) return 0;
      break;
    case WM_PAINT:
      return PaintMessage(hwnd, [&](HDC dc) {
        if (panel && panel->Handle()) panel->Paint(dc);
      });
    case WM_SETTEXT: {
      LRESULT r = DefWindowProcA(hwnd, msg, wp, lp);
      InvalidateRect(hwnd, nullptr, TRUE);
      return r;
    }
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

// A page fills its book (the table gives it no size of its own; a book has
// no frame, so its client area is its whole place).
void TPage::Place(int /*dpi*/) {
  const RECT book = ParentControl()->Bounds();
  left_ = top_ = 0;
  width_ = book.right - book.left;
  height_ = book.bottom - book.top;
}

void TPageBook::AddPage(TPage* page) {
  pages_.push_back(page);
  if (pages_.size() == 1) index_ = 0;
  // A page whose window waits is made hidden when it comes.
  if (HWND h = WindowIfMade(*page)) ShowWindow(h, pages_.size() == 1 ? SW_SHOW : SW_HIDE);
}

void TPageBook::SetPageIndex(int i) {
  if (i < 0 || i >= PageCount()) return;
  form_.RealizePage(pages_[i]);
  index_ = i;
  ShowWindow(pages_[i]->Handle(), SW_SHOW);
  for (int k = 0; k < PageCount(); ++k)
    if (HWND h = WindowIfMade(*pages_[k]); h && k != i) ShowWindow(h, SW_HIDE);
}

std::string TPageBook::ActivePage() const {
  return index_ >= 0 ? pages_[index_]->PageName() : std::string();
}

void TPageBook::SetActivePage(const std::string& name) {
  for (int k = 0; k < PageCount(); ++k)
    if (pages_[k]->PageName() == name) return SetPageIndex(k);
}

// --- TTimer -----------------------------------------------------------------

void TTimer::Create(HWND parent, int id) {
  owner_ = GetAncestor(parent, GA_ROOT);
  id_ = id;
  if (def_.value > 0) interval_ = static_cast<unsigned>(def_.value);
  SetEnabled(!HasFlag(fDisabled));
}

void TTimer::Apply() {
  if (!owner_) return;
  KillTimer(owner_, id_);
  if (running_) SetTimer(owner_, id_, interval_, nullptr);
}

void TTimer::SetEnabled(bool on) {
  running_ = on;
  Apply();
}

void TTimer::SetInterval(unsigned ms) {
  interval_ = ms;
  Apply();
}

void TTimer::Tick() {
  if (running_ && OnTimer) OnTimer();
}

// --- TProgressBar -----------------------------------------------------------

void TProgressBar::Create(HWND parent, int id) {
  // The progress class lives in comctl32, which nothing else needs: it is
  // loaded and registered with a progress bar (again for each: harmless),
  // not at start-up.
  using InitFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  if (auto init = util::LateProc<InitFn>("comctl32.dll", "InitCommonControlsEx")) {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_PROGRESS_CLASS};
    init(&icc);
  }
  CreateWin(PROGRESS_CLASSA, 0, 0, parent, id, "");
  SetRange(0, def_.value > 0 ? def_.value : 100);
}

void TProgressBar::SetRange(int min, int max) { SendMessageA(Handle(), PBM_SETRANGE32, min, max); }
int TProgressBar::Position() const {
  return static_cast<int>(SendMessageA(Handle(), PBM_GETPOS, 0, 0));
}
void TProgressBar::SetPosition(int pos) { SendMessageA(Handle(), PBM_SETPOS, pos, 0); }

}  // namespace gui
