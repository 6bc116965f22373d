// Forms: window creation from the layout table, the form's window procedure
// (commands, colours, timers, closing), modal runs and dialog keys.
#include "gui/Form.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

#include "gui/Application.h"
#include "gui/Dpi.h"
#include "gui/FileCtrls.h"
#include "gui/Pump.h"
#include "gui/WinClasses.h"
#include "util/Errors.h"
#include "util/Message.h"
#include "util/System.h"

namespace gui {

namespace {
// Posted to itself by a closing form: the window is destroyed outside the
// handler that asked for the close.
constexpr UINT kDestroyLater = WM_APP + 0x4C46;
constexpr int kFirstControlId = 1000;  // clear of IDOK/IDCANCEL/...
ATOM g_formAtom = 0;

std::unique_ptr<TControl> MakeControl(TForm& form, const ControlDef& def) {
  switch (def.kind) {
    case Kind::Label: return std::make_unique<TLabel>(form, def);
    case Kind::Edit: return std::make_unique<TEdit>(form, def);
    case Kind::TextBox: return std::make_unique<TTextBox>(form, def);
    case Kind::Memo: return std::make_unique<TMemo>(form, def);
    case Kind::CheckBox: return std::make_unique<TCheckBox>(form, def);
    case Kind::Button: return std::make_unique<TButton>(form, def);
    case Kind::Panel: return std::make_unique<TPanel>(form, def);
    case Kind::PageBook: return std::make_unique<TPageBook>(form, def);
    case Kind::Page: return std::make_unique<TPage>(form, def);
    case Kind::Timer: return std::make_unique<TTimer>(form, def);
    case Kind::ProgressBar: return std::make_unique<TProgressBar>(form, def);
    case Kind::DriveCombo: return std::make_unique<TDriveCombo>(form, def);
    case Kind::DirList: return std::make_unique<TDirList>(form, def);
    case Kind::FileList: return std::make_unique<TFileList>(form, def);
  }
  throw util::EGeneralError(std::string("Unknown control kind for ") + def.name);
}
}  // namespace

void RegisterWindowClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  HINSTANCE inst = GetModuleHandleA(nullptr);
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof(wc);
  wc.style = CS_DBLCLKS;
  wc.hInstance = inst;
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  // Forms are windows of a dialog class (DefDlgProc): Tab, access keys,
  // default button and focus restore come from the system's dialog manager.
  wc.lpfnWndProc = TForm::WndProc;
  wc.cbWndExtra = DLGWINDOWEXTRA;
  wc.hIcon = Application().Icon();
  wc.hIconSm = Application().SmallIcon();
  wc.lpszClassName = kFormClass;
  g_formAtom = RegisterClassExA(&wc);
  wc.hIcon = wc.hIconSm = nullptr;
  wc.cbWndExtra = 0;
  wc.lpfnWndProc = ContainerProc;
  wc.lpszClassName = kContainerClass;
  RegisterClassExA(&wc);
}

TForm::TForm(const FormDef& def, std::span<const ControlDef> controls, HWND owner)
    : owner_(owner), font_(def.font) {
  RegisterWindowClasses();
  DWORD style = WS_CAPTION | WS_CLIPCHILDREN | (def.systemMenu ? WS_SYSMENU : 0);
  DWORD exStyle = WS_EX_CONTROLPARENT;
  if (def.border == Border::Dialog) {
    style |= WS_POPUP | DS_MODALFRAME;
    exStyle |= WS_EX_DLGMODALFRAME;
  } else {
    style |= WS_OVERLAPPED | WS_BORDER;
  }
  // Made for the system's DPI, which is that of the primary monitor, where a
  // form centred on the screen opens; a form that the system puts on another
  // monitor is sized again for that monitor's DPI once it is there.
  dpi_ = SystemDpi();
  auto frameFor = [&](int dpi) {
    RECT r{0, 0, Scale(def.clientWidth, dpi), Scale(def.clientHeight, dpi)};
    AdjustWindowRectForDpi(r, style, exStyle, dpi);
    return SIZE{r.right - r.left, r.bottom - r.top};
  };
  const SIZE frame = frameFor(dpi_);
  const int width = frame.cx, height = frame.cy;
  // Centred on the whole (primary) screen, not its work area, so that a task
  // bar at one edge does not move it off the centre; made there at once
  // rather than moved there once made. Centring over an owner needs the
  // owner's place, and comes after.
  int x = CW_USEDEFAULT, y = CW_USEDEFAULT;
  if (def.position == Position::ScreenCentre || (def.position == Position::OwnerCentre && !owner)) {
    x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  }
  // A form without an owner of its own belongs to the application window,
  // whose task-bar button stands for the whole program.
  HWND windowOwner = owner ? owner : Application().Handle();
  hwnd_ = CreateWindowExA(exStyle, kFormClass, def.caption, style, x, y, width, height, windowOwner,
                          nullptr, GetModuleHandleA(nullptr), this);
  if (!hwnd_) {
    const DWORD error = GetLastError();
    throw util::EGeneralError(util::SystemErrorMessage(
        "Cannot create the window \"" + std::string(def.caption) + "\": ", error));
  }
  if (const int dpi = WindowDpi(hwnd_); dpi != dpi_) {
    dpi_ = dpi;
    const SIZE f = frameFor(dpi_);
    SetWindowPos(hwnd_, nullptr, 0, 0, f.cx, f.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  SetIconsForDpi();
  SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(GetFont(font_, dpi_)), FALSE);
  CreateControls(controls);
  if (def.position == Position::OwnerCentre && owner_) util::CentreOver(hwnd_, owner_);
}

TForm::~TForm() {
  if (hwnd_) {
    HWND h = hwnd_;
    DestroyWindow(h);
  }
}

TForm* TForm::FromHandle(HWND hwnd) {
  if (!hwnd || !g_formAtom || GetClassLongA(hwnd, GCW_ATOM) != g_formAtom) return nullptr;
  return reinterpret_cast<TForm*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

namespace {
// Kinds whose window can wait for its page: their state before the window
// exists is kept in the object (Control.h).
bool WaitsForPage(Kind kind) {
  switch (kind) {
    case Kind::Label:
    case Kind::Edit:
    case Kind::TextBox:
    case Kind::Memo:
    case Kind::CheckBox:
    case Kind::Button:
    case Kind::Panel:
    case Kind::ProgressBar: return true;
    default: return false;
  }
}

// Whether every row inside the page, at any depth, waits for its page: only
// then can the page's own window wait as well.
bool WholePageWaits(std::span<const ControlDef> controls, const char* page) {
  std::vector<const char*> inside{page};
  for (const ControlDef& def : controls) {  // a parent comes before its children
    if (!def.parent || std::none_of(inside.begin(), inside.end(), [&](const char* name) {
          return strcmp(name, def.parent) == 0;
        }))
      continue;
    if (!WaitsForPage(def.kind)) return false;
    inside.push_back(def.name);
  }
  return true;
}
}  // namespace

void TForm::CreateControls(std::span<const ControlDef> controls) {
  int id = kFirstControlId;
  for (const ControlDef& def : controls) {
    TControl* parentCtl = nullptr;
    if (def.parent && *def.parent) {
      parentCtl = Find(def.parent);
      if (!parentCtl)
        throw util::EGeneralError(std::string("No parent ") + def.parent + " for " + def.name);
    }
    std::unique_ptr<TControl> c = MakeControl(*this, def);
    c->parent_ = parentCtl;
    c->id_ = id++;  // its place in controls_ plus kFirstControlId (ById)
    // A control on a page is made when the page is first shown or reached
    // (the first pages at the end of this table); the rest now.
    if (parentCtl && WaitsForPage(def.kind)) {
      auto* page = dynamic_cast<TPage*>(parentCtl);
      c->page_ = page ? page : parentCtl->page_;
    }
    // A page after a book's first is not shown at the start: its window
    // waits too (hidden when it comes), unless something on it cannot wait.
    if (auto* page = dynamic_cast<TPage*>(c.get())) {
      auto* book = dynamic_cast<TPageBook*>(parentCtl);
      if (book && book->PageCount() > 0 && WholePageWaits(controls, def.name)) {
        c->page_ = page;
        c->SetFlag(fHidden, true);
      }
    }
    if (!c->page_) {
      HWND parent = parentCtl ? parentCtl->Handle() : hwnd_;
      if (!parent)
        throw util::EGeneralError(std::string("No parent ") + def.parent + " for " + def.name);
      c->Create(parent, c->id_);
    }
    if (auto* page = dynamic_cast<TPage*>(c.get())) {
      auto* book = dynamic_cast<TPageBook*>(parentCtl);
      if (!book) throw util::EGeneralError(std::string("Page ") + def.name + " outside a page book");
      book->AddPage(page);
    }
    controls_.push_back(std::move(c));
  }
  for (const auto& c : controls_)
    if (auto* book = dynamic_cast<TPageBook*>(c.get()); book && book->PageIndex() >= 0)
      RealizePage(book->Page(book->PageIndex()));
  if (TButton* def = FindButton(fDefault)) {
    SendMessageA(hwnd_, DM_SETDEFID, GetDlgCtrlID(def->Handle()), 0);
  }
}

void TForm::MakePageWindow(TPage* page) {
  if (page->hwnd_) return;
  page->Create(page->parent_->Handle(), page->id_);
}

void TForm::RealizePage(TPage* page) {
  if (!page || page->realized_) return;
  page->realized_ = true;
  MakePageWindow(page);
  // Table order: a parent comes before its children, and the tab order of a
  // page's controls is the order of its rows.
  for (const auto& c : controls_) {
    if (c->page_ != page || c->hwnd_) continue;
    c->Create(c->parent_ ? c->parent_->hwnd_ : hwnd_, c->id_);
  }
}

TControl* TForm::Find(const std::string& name) const {
  for (const auto& c : controls_)
    if (c->Name() == name) return c.get();
  return nullptr;
}

void TForm::MissingControl(const std::string& name) {
  throw util::EGeneralError("The form has no control " + name + " of that kind");
}

std::string TForm::Caption() const { return WindowText(hwnd_); }

void TForm::SetCaption(const std::string& text) { SetWindowTextA(hwnd_, text.c_str()); }

void TForm::Show() {
  if (!hwnd_) return;
  if (!shown_) {
    shown_ = true;
    FormShow();
  }
  // Showing activates the form, and the focus goes to its chosen control
  // (WM_SETFOCUS below) rather than first to the dialog's first control.
  focusOnShow_ = true;
  ShowWindow(hwnd_, SW_SHOWNORMAL);
  focusOnShow_ = false;
  // Still before the first paint: a focus that moves repaints what it
  // leaves and what it reaches (and the default button); done after the
  // paint, that is a second round of painting before the form is still.
  if (HWND c = ShowableActiveControl(); c && GetFocus() != c) FocusControl(c);
  UpdateWindow(hwnd_);
}

HWND TForm::ShowableActiveControl() const {
  if (!activeControl_) return nullptr;
  HWND c = activeControl_->Handle();
  return c && IsWindowVisible(c) ? c : nullptr;
}

void TForm::FocusControl(HWND control) {
  // Through the dialog manager, as Tab would: a push button that gets the
  // focus becomes the one that Enter presses.
  SendMessageA(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
}

void TForm::Hide() {
  if (hwnd_) ShowWindow(hwnd_, SW_HIDE);
}

bool TForm::Visible() const { return hwnd_ && IsWindowVisible(hwnd_); }

void TForm::SetModalResult(int mr) {
  modalResult_ = mr;
  if (modal_ && mr != mrNone && hwnd_) PostMessageA(hwnd_, WM_NULL, 0, 0);  // wake the loop
}

int TForm::ShowModal() {
  struct OwnerGuard {  // the owner comes back even when a handler raises
    HWND owner;
    bool disabled;
    ~OwnerGuard() {
      if (disabled) EnableWindow(owner, TRUE);
    }
  } guard{owner_, owner_ && IsWindowEnabled(owner_)};
  if (guard.disabled) EnableWindow(owner_, FALSE);
  modal_ = true;
  modalResult_ = mrNone;
  struct ModalGuard {
    TForm& f;
    ~ModalGuard() {
      f.modal_ = false;
      if (f.owner_ && f.hwnd_ && GetActiveWindow() == f.hwnd_) SetActiveWindow(f.owner_);
      f.Hide();
    }
  } modalGuard{*this};
  Show();
  MSG msg;
  for (;;) {
    if (!hwnd_) return modalResult_ = mrCancel;  // destroyed under us
    if (modalResult_ != mrNone) {
      if (CloseQuery()) break;
      modalResult_ = mrNone;
      continue;
    }
    BOOL r = GetMessageA(&msg, nullptr, 0, 0);
    if (r == 0 || r == -1) {  // the application is shutting down
      SetTerminated(true);
      PostQuitMessage(r == 0 ? static_cast<int>(msg.wParam) : 0);
      modalResult_ = mrCancel;
      break;
    }
    DispatchFormMessage(msg);
  }
  if (guard.disabled) {  // re-enable before hiding, so the owner gets activated
    EnableWindow(owner_, TRUE);
    guard.disabled = false;
  }
  return modalResult_;
}

bool TForm::CloseQuery() {
  bool canClose = true;
  FormCloseQuery(canClose);
  return canClose;
}

void TForm::Close() {
  if (modal_) {
    SetModalResult(mrCancel);
    return;
  }
  if (closed_ || !CloseQuery()) return;
  closed_ = true;
  Hide();
  PostMessageA(hwnd_, kDestroyLater, 0, 0);
}

// A form holds a few dozen controls: a scan is as quick as a map here and
// keeps the tree code out of the program.
TControl* TForm::ByHandle(HWND h) const {
  if (!h) return nullptr;  // controls of a page not yet made have no handle
  for (const auto& c : controls_)
    if (c->hwnd_ == h) return c.get();
  return nullptr;
}

TControl* TForm::ById(int id) const {
  if (id < kFirstControlId || static_cast<size_t>(id - kFirstControlId) >= controls_.size())
    return nullptr;
  return controls_[static_cast<size_t>(id - kFirstControlId)].get();
}

void TForm::SetActiveControl(TControl* c) {
  activeControl_ = c;
  if (!Visible()) return;
  if (HWND h = ShowableActiveControl()) FocusControl(h);
}

TControl* TForm::ActiveControl() const {
  TControl* focused = ByHandle(GetFocus());
  return focused ? focused : activeControl_;
}

void TForm::SetBusyCursor(bool on) {
  busy_ = on;
  POINT p;
  GetCursorPos(&p);
  HWND under = WindowFromPoint(p);
  if (under == hwnd_ || IsChild(hwnd_, under))
    SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(on ? IDC_WAIT : IDC_ARROW)));
}

TButton* TForm::FindButton(unsigned flag) const {
  for (const auto& c : controls_)
    if (auto* b = dynamic_cast<TButton*>(c.get()))
      if ((flag == fDefault && b->IsDefault()) || (flag == fCancel && b->IsCancel())) return b;
  return nullptr;
}

void TForm::OnCommand(WPARAM wp, LPARAM lp) {
  int id = LOWORD(wp), code = HIWORD(wp);
  TControl* c = nullptr;
  if (lp) c = ByHandle(reinterpret_cast<HWND>(lp));
  else c = ById(id);
  if (!c && (id == IDOK || id == IDCANCEL)) {  // Enter without a default / Esc
    if (TButton* b = FindButton(id == IDOK ? fDefault : fCancel)) b->Press();
    return;
  }
  if (!c) return;
  if (auto* b = dynamic_cast<TButton*>(c); b && code == BN_CLICKED) {
    b->Press();  // never a click that no user could make (a disabled button)
    return;
  }
  c->Command(code);
}

LRESULT TForm::OnCtlColor(WPARAM wp, LPARAM lp) {
  HDC dc = reinterpret_cast<HDC>(wp);
  HWND control = reinterpret_cast<HWND>(lp);
  TControl* c = ByHandle(control);
  // A combo box's inner edit or list: colour it like the combo box.
  if (!c) c = ByHandle(GetParent(control));
  if (!c) return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
  return reinterpret_cast<LRESULT>(c->CtlColor(dc));
}

void TForm::OnTimer(WPARAM id) {
  if (auto* t = dynamic_cast<TTimer*>(ById(static_cast<int>(id)))) t->Tick();
}

void TForm::OnClose() {
  if (modal_) SetModalResult(mrCancel);
  else Close();
}

void TForm::SetIconsForDpi() {
  const bool systemDpi = dpi_ == SystemDpi();
  if (systemDpi && !ownIcons_) return;
  // Back at the system's DPI, no icons of its own: the class's show again.
  ownIcons_ = !systemDpi;
  SendMessageA(hwnd_, WM_SETICON, ICON_BIG,
               reinterpret_cast<LPARAM>(systemDpi ? nullptr : Application().Icon(dpi_)));
  SendMessageA(hwnd_, WM_SETICON, ICON_SMALL,
               reinterpret_cast<LPARAM>(systemDpi ? nullptr : Application().SmallIcon(dpi_)));
}

void TForm::OnDpiChanged(int dpi, const RECT* suggested) {
  if (dpi <= 0) return;
  dpi_ = dpi;
  SetIconsForDpi();
  SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(GetFont(font_, dpi_)), FALSE);
  // Table order: a parent is placed before its children (a page takes its
  // book's new size). Controls not made yet are placed when they are made.
  // Moved without redrawing, the form is drawn once when all are in place.
  for (const auto& c : controls_) c->Relayout();
  if (suggested)
    SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top,
                 suggested->right - suggested->left, suggested->bottom - suggested->top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

LRESULT CALLBACK TForm::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* form = WindowObject<TForm>(hwnd, msg, lp);
  if (msg == WM_NCCREATE && form) form->hwnd_ = hwnd;
  if (!form) return DefDlgProcA(hwnd, msg, wp, lp);
  LRESULT result = 0;
  bool handled = false;
  try {
    result = form->HandleMessage(msg, wp, lp);
    handled = true;
  } catch (const std::exception& e) {
    Application().ShowException(e);
  }
  return handled ? result : 0;
}

LRESULT TForm::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND: OnCommand(wp, lp); return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN: return OnCtlColor(wp, lp);
    case WM_TIMER: OnTimer(wp); return 0;
    case kDpiChangedMessage: OnDpiChanged(HIWORD(wp), reinterpret_cast<const RECT*>(lp)); return 0;
    case WM_CLOSE: OnClose(); return 0;
    case WM_SETFOCUS:
      // Being shown, the form hands the focus straight to its chosen control;
      // the dialog manager would give it to the first control, which would
      // take it (selecting its text, making a caret) only to lose it again.
      if (focusOnShow_) {
        focusOnShow_ = false;
        if (HWND c = ShowableActiveControl()) {
          FocusControl(c);
          return 0;
        }
      }
      break;
    case WM_SETCURSOR:
      if (!busy_) break;
      SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
      return TRUE;
    case kDestroyLater: DestroyWindow(hwnd_); return 0;
    case WM_NCDESTROY: {
      LRESULT r = DefDlgProcA(hwnd_, msg, wp, lp);
      SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
      hwnd_ = nullptr;
      closed_ = true;
      if (Application().MainForm() == this) util::SetMainWindow(nullptr);
      return r;
    }
  }
  return DefDlgProcA(hwnd_, msg, wp, lp);
}

void DispatchFormMessage(MSG& msg) {
  if (msg.hwnd) {
    HWND root = GetAncestor(msg.hwnd, GA_ROOT);
    if (root && TForm::FromHandle(root) && IsDialogMessageA(root, &msg)) return;
  }
  TranslateMessage(&msg);
  DispatchMessageA(&msg);
}

}  // namespace gui
