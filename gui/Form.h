// Forms: top-level windows built from a layout table of controls, with a
// close query, a first-show hook, a modal run with a modal result, and
// dialog keys (Tab, access keys, Enter = default button, Esc = cancel button).
// The table is written in pixels at 96 dpi: a form is made for the DPI of its
// monitor (sizes, places and fonts scaled by DPI / 96) and lays itself out
// again when it is moved to a monitor of another DPI.
//
// Usage: a form declares its layout as data and binds handlers in code.
//
//   const gui::FormDef kAskForm = {"Ask", 300, 120, gui::Border::Dialog,
//                                  true, gui::Position::OwnerCentre,
//                                  gui::Pt("MS Sans Serif", 8)};
//   const gui::ControlDef kAskControls[] = {
//     // kind                name        parent  left top  w   h   caption
//     {gui::Kind::Label,  "NameLbl",  "",   8,  8, 100, 13, "&Name"},
//     {gui::Kind::Edit,   "NameEdit", "",   8, 24, 200, 21, "", {}, gui::clBlue},
//     {gui::Kind::Button, "OkBtn",    "", 120, 80,  75, 25, "Ok", {},
//      gui::kDefaultColor, gui::fDefault, gui::mrOk},
//     {gui::Kind::Button, "CancelBtn","", 204, 80,  75, 25, "Cancel", {},
//      gui::kDefaultColor, gui::fCancel, gui::mrCancel},
//   };
//
//   class TAskForm : public gui::TForm {
//    public:
//     explicit TAskForm(HWND owner) : TForm(kAskForm, kAskControls, owner) {
//       NameEdit = Get<gui::TEdit>("NameEdit");
//       NameEdit->OnChange = [this] { NameEditChange(); };
//     }
//    protected:
//     void FormCloseQuery(bool& canClose) override { ... }
//    private:
//     void NameEditChange() { ... }
//     gui::TEdit* NameEdit;
//   };
//
//   TAskForm form(ownerHwnd);
//   if (form.ShowModal() == gui::mrOk) ...
//
// A util::EGeneralError (or other std::exception) escaping a handler is
// caught where the framework dispatched the event and shown by
// Application().ShowException; the form stays as it was.
#pragma once
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "gui/Control.h"
#include "gui/Font.h"
#include "util/Win.h"

namespace gui {

// Modal results (the values of IDOK, IDCANCEL, ...).
constexpr int mrNone = 0, mrOk = 1, mrCancel = 2, mrYes = 6, mrNo = 7;

enum class Border {
  Single,  // fixed single border, no minimise/maximise box
  Dialog,  // fixed dialog frame
};
enum class Position {
  ScreenCentre,
  OwnerCentre,  // util::CentreOver the owner (screen centre without owner)
  Default,
};

struct FormDef {
  const char* caption;
  int clientWidth, clientHeight;  // client area in pixels at 96 dpi
  Border border = Border::Single;
  bool systemMenu = true;  // system menu and close box in the title bar
  Position position = Position::ScreenCentre;
  TFontSpec font = Pt("MS Sans Serif", 8);
};

class TForm {
 public:
  // Creates the (hidden) window and every control of the table. owner: the
  // window the form stays above and that ShowModal disables.
  TForm(const FormDef& def, std::span<const ControlDef> controls, HWND owner = nullptr);
  virtual ~TForm();
  TForm(const TForm&) = delete;
  TForm& operator=(const TForm&) = delete;

  HWND Handle() const { return hwnd_; }
  HWND Owner() const { return owner_; }
  static TForm* FromHandle(HWND hwnd);  // nullptr when not one of our forms

  // The control of that name, or nullptr.
  TControl* Find(const std::string& name) const;
  // The control of that name and type; raises EGeneralError when the table
  // has none (a programming error in the form).
  template <class T>
  T* Get(const std::string& name) const {
    T* c = dynamic_cast<T*>(Find(name));
    if (!c) MissingControl(name);
    return c;
  }

  std::string Caption() const;
  void SetCaption(const std::string& text);
  TFontSpec Font() const { return font_; }
  // The DPI the form is laid out for.
  int Dpi() const { return dpi_; }
  // The controls, in table order.
  int ControlCount() const { return static_cast<int>(controls_.size()); }
  TControl* Control(int i) const { return controls_.at(static_cast<size_t>(i)).get(); }

  // Shows the form (FormShow runs before it first appears).
  void Show();
  void Hide();
  bool Visible() const;

  // Runs the form modally: disables the owner, loops until ModalResult is not
  // 0 and FormCloseQuery agrees (a refusal resets it to 0), hides the form and
  // returns the result. Closing from the title bar gives mrCancel; a WM_QUIT
  // ends the run with mrCancel at once (no close query) and is posted again.
  int ShowModal();
  bool IsModal() const { return modal_; }
  int ModalResult() const { return modalResult_; }
  void SetModalResult(int mr);

  // Asks the form to close: modal, it sets mrCancel; otherwise FormCloseQuery
  // decides, and on yes the window is hidden and destroyed (the application
  // ends when it is its main form).
  void Close();
  bool Closed() const { return closed_; }

  // The control that gets the focus when the form is shown.
  void SetActiveControl(TControl* c);
  TControl* ActiveControl() const;

  // Hourglass over the whole form while on.
  void SetBusyCursor(bool on);

  // Makes the windows of the page's controls, once (the page book does it
  // when it shows the page, a control when code needs its window).
  void RealizePage(TPage* page);
  // Makes the page's own window, once, without its controls (code asked for
  // its handle before the page was shown).
  void MakePageWindow(TPage* page);

 protected:
  virtual void FormShow() {}
  virtual void FormCloseQuery(bool& /*canClose*/) {}

 private:
  friend class TControl;
  friend void RegisterWindowClasses();
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
  void CreateControls(std::span<const ControlDef> controls);
  void OnCommand(WPARAM wp, LPARAM lp);
  LRESULT OnCtlColor(WPARAM wp, LPARAM lp);
  void OnTimer(WPARAM id);
  void OnClose();
  // WM_DPICHANGED: takes the suggested window rectangle and lays the made
  // controls out again for dpi.
  void OnDpiChanged(int dpi, const RECT* suggested);
  // The caption's icons at the form's DPI, where it is not the system's
  // (the window class has those, and they show when the form has none).
  void SetIconsForDpi();
  bool CloseQuery();
  void FocusControl(HWND control);
  // The active control's window when it is visible, else null.
  HWND ShowableActiveControl() const;
  TButton* FindButton(unsigned flag) const;
  TControl* ByHandle(HWND h) const;  // a made control of this form, or null
  TControl* ById(int id) const;
  [[noreturn]] static void MissingControl(const std::string& name);

  HWND hwnd_ = nullptr;
  HWND owner_ = nullptr;
  TFontSpec font_;
  int dpi_ = 96;
  bool ownIcons_ = false;  // icons set for a DPI other than the system's
  std::vector<std::unique_ptr<TControl>> controls_;
  TControl* activeControl_ = nullptr;
  bool shown_ = false, modal_ = false, closed_ = false, busy_ = false;
  bool focusOnShow_ = false;  // while Show() shows the window
  int modalResult_ = mrNone;
};

// Dispatches one message, with dialog-key handling when it belongs to one of
// our forms. Used by every message loop of the program.
void DispatchFormMessage(MSG& msg);

// Busy cursor on a form for the life of the object.
class TBusyCursor {
 public:
  explicit TBusyCursor(TForm& form) : form_(form) { form_.SetBusyCursor(true); }
  ~TBusyCursor() { form_.SetBusyCursor(false); }
  TBusyCursor(const TBusyCursor&) = delete;
  TBusyCursor& operator=(const TBusyCursor&) = delete;

 private:
  TForm& form_;
};

// LockWindowUpdate for the life of the object: the window is drawn once when
// the lock ends. Only one window can be locked at a time (a second lock is a
// no-op and unlocks nothing).
class TLockUpdate {
 public:
  explicit TLockUpdate(HWND hwnd) : locked_(LockWindowUpdate(hwnd) != 0) {}
  ~TLockUpdate() {
    if (locked_) LockWindowUpdate(nullptr);
  }
  TLockUpdate(const TLockUpdate&) = delete;
  TLockUpdate& operator=(const TLockUpdate&) = delete;
  bool Locked() const { return locked_; }

 private:
  bool locked_;
};

}  // namespace gui
