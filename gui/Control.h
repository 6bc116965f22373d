// The controls of a form: thin objects around their HWND, made from the rows
// of the form's layout table (ControlDef, see Form.h). A row stays as the
// table gives it, in pixels at 96 dpi; the control holds the live state: its
// place at the form's DPI, and its caption and flags as code changes them.
// A control's window may be made after the control (the controls of a page
// wait for its first showing, see TControl): until then properties are kept
// in the object and reach the window when it is made; once it exists they
// write straight through to it.
//
// Events are std::function members that the form's handlers are bound to.
// They run on what the user does. From code, only these setters run their
// control's event, and the forms rely on exactly this:
//   TCheckBox::SetChecked    OnClick, when the state changes
//   TButton::Click           OnClick (code pressing the button)
//   TDriveCombo::SetDrive    OnChange (and the linked folder list's)
//   TDirList::SetDirectory   OnChange (the folder it opens is selected)
// and these do not: TEdit::SetText and SetCaption (forms fill fields without
// running their rules), every control's SetCaption, SetEnabled, SetVisible
// and SetColor, the timer's and the page book's setters.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "gui/Font.h"
#include "util/Win.h"

namespace gui {

class TForm;

// The whole text of a window (GetWindowText, of any length).
std::string WindowText(HWND hwnd);

enum class Kind {
  Label,        // STATIC text; "&X" is an access key focusing the next control
  Edit,         // single-line edit
  TextBox,      // read-only multi-line text of paragraphs (caption lines split at "\n")
  Memo,         // multi-line edit (add lines, clear, scroll)
  CheckBox,
  Button,
  Panel,        // container, raised (default), lowered (fLowered) or flat (fNoBevel)
  PageBook,     // container of Page rows, one shown at a time
  Page,         // a page of a PageBook; its caption is the page name
  Timer,        // no window; value = interval in ms
  ProgressBar,  // value = maximum of the range (0 gives 100)
  DriveCombo,   // drive selector (FileCtrls.h)
  DirList,      // folder list (FileCtrls.h)
  FileList,     // file list (FileCtrls.h)
};

enum Flags : unsigned {
  fDisabled = 1 << 0,  // created disabled (a timer: created stopped)
  fHidden = 1 << 1,
  fChecked = 1 << 2,   // check box starts checked
  fDefault = 1 << 3,   // button pressed by Enter
  fCancel = 1 << 4,    // button pressed by Esc
  fReadOnly = 1 << 5,  // edit or memo
  fBorder = 1 << 6,    // sunken border (text box)
  fLowered = 1 << 7,   // panel bevel
  fNoBevel = 1 << 8,   // panel without bevel
};

// One row of a layout table. Coordinates are pixels at 96 dpi in the
// parent's client area (the form scales them to its DPI); parent "" is the
// form. For a Page row, parent is the PageBook and the place is ignored
// (pages fill the book). A label of width or height 0 takes its caption's.
struct ControlDef {
  Kind kind;
  const char* name;
  const char* parent;
  int left, top, width, height;
  const char* caption = "";
  TFontSpec font = {};            // face nullptr: the form's font
  COLORREF color = kDefaultColor; // text colour
  unsigned flags = 0;
  int value = 0;  // Button: modal result; Timer: interval; ProgressBar: maximum
};

class TPage;

// Base of every control. Owns nothing: the window belongs to its parent.
//
// The controls of a page are made when the page is first shown or when code
// first needs one of their windows (Handle(), focus, memo lines), whichever
// comes first: until then caption, enabled, visible and checked state live in
// the object and reach the window when it is made. The window of a page after
// a book's first waits the same way (its Handle() makes it alone, hidden).
class TControl {
 public:
  // Out of line: every kind inherits it, and the form makes every kind.
  TControl(TForm& form, const ControlDef& def);
  virtual ~TControl() = default;
  TControl(const TControl&) = delete;
  TControl& operator=(const TControl&) = delete;

  // The window, made (with the rest of its page) when it is not yet.
  HWND Handle() const;
  const std::string& Name() const { return name_; }
  Kind GetKind() const { return def_.kind; }
  TForm& Form() const { return form_; }
  // The control's row, as the layout table gives it (96 dpi).
  const ControlDef& Def() const { return def_; }
  // Its place in the parent's client area at the form's DPI: the window's
  // once it is made, else where it will be made.
  RECT Bounds() const { return {left_, top_, left_ + width_, top_ + height_}; }

  virtual std::string Caption() const;  // the window text
  virtual void SetCaption(const std::string& text);
  virtual bool Enabled() const;
  virtual void SetEnabled(bool on);
  bool Visible() const;  // its own visibility, not its parents'
  void SetVisible(bool on);
  bool Showing() const;  // visible together with every parent
  // Focuses the control; before the form is shown, the focus is given when
  // it appears.
  void SetFocus();
  bool Focused() const;
  COLORREF Color() const { return color_; }
  void SetColor(COLORREF c);

  // Creates the window (called by the form, in table order).
  virtual void Create(HWND parent, int id);
  // Computes Bounds() from the row for dpi (the window is not moved).
  virtual void Place(int dpi);
  // Lays the made window out again for the form's DPI: place and font.
  void Relayout();
  // A WM_COMMAND notification from this control.
  virtual void Command(int /*code*/) {}
  // Paints text colour/background for WM_CTLCOLOR*; returns the brush.
  HBRUSH CtlColor(HDC dc);
  // An edit or list: on the window colour rather than the face colour.
  virtual bool IsField() const { return false; }
  // Its own font, or else the form's, at the form's DPI.
  HFONT ControlFont() const;

 protected:
  void CreateWin(const char* cls, DWORD style, DWORD exStyle, HWND parent, int id,
                 const char* text = nullptr);
  // Makes the window now if it is one of a page's not yet made.
  void Realize() const;
  // Its own colour, or else the system's text colour.
  COLORREF TextColor() const;
  bool HasFlag(unsigned flag) const { return (flags_ & flag) != 0; }
  void SetFlag(unsigned flag, bool on) { flags_ = on ? flags_ | flag : flags_ & ~flag; }
  // The window of c if it is made, without making it.
  static HWND WindowIfMade(const TControl& c) { return c.hwnd_; }
  // The control whose window this one's goes in; null: the form.
  const TControl* ParentControl() const { return parent_; }

  TForm& form_;
  const ControlDef def_;
  std::string name_{def_.name};
  std::string caption_;  // the caption until the window exists
  HWND hwnd_ = nullptr;
  COLORREF color_;
  // The row's flags as they are now: disabled, hidden and checked follow
  // what code sets until the window exists (then the window holds them).
  unsigned flags_ = def_.flags;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;  // Bounds(), at the form's DPI

 private:
  friend class TForm;
  TControl* parent_ = nullptr;  // the control the window goes in; null: the form
  // The page whose first showing makes the window; a page whose own window
  // waits too names itself.
  TPage* page_ = nullptr;
  int id_ = 0;
};

class TLabel : public TControl {
 public:
  using TControl::TControl;
  void Create(HWND parent, int id) override;
  void Place(int dpi) override;
};

// Single-line edit. OnChange runs when the user edits the text; SetText (or
// SetCaption) from code does NOT run it (forms fill fields without running
// their rules), whether or not the window is made yet.
class TEdit : public TControl {
 public:
  using TControl::TControl;
  void Create(HWND parent, int id) override;
  void Command(int code) override;
  std::string Text() const { return Caption(); }
  void SetText(const std::string& text);
  void SetCaption(const std::string& text) override { SetText(text); }
  std::function<void()> OnChange;
  bool IsField() const override { return true; }

 private:
  bool silent_ = false;
};

// Read-only text of paragraphs, painted by the control itself: word-wrapped,
// in its colour; when the text is longer than the box, the last paragraphs
// show. Disabling it only stops focus and clicks; the text keeps its colour.
class TTextBox : public TControl {
 public:
  TTextBox(TForm& form, const ControlDef& def);
  void Create(HWND parent, int id) override;
  std::string Caption() const override { return Text(); }
  void SetCaption(const std::string& text) override { SetText(text); }
  const std::vector<std::string>& Lines() const { return lines_; }
  void SetLines(std::vector<std::string> lines);
  void SetText(const std::string& text);  // split at CR LF, CR or LF
  std::string Text() const;               // lines joined by CR LF
  void Add(const std::string& line);
  void Clear();
  void Paint(HDC dc);

 private:
  std::vector<std::string> lines_;
};

// Multi-line edit with a vertical scroll bar.
class TMemo : public TControl {
 public:
  using TControl::TControl;
  void Create(HWND parent, int id) override;
  void Add(const std::string& line);
  void Clear();
  std::vector<std::string> Lines() const;
  std::string Text() const { return Caption(); }
  // Scrolls like the scroll bar: SB_PAGEUP, SB_PAGEDOWN, SB_LINEUP, ...
  void Scroll(int sbCode);
  bool IsField() const override { return true; }
};

// Check box. OnClick runs on every change of state: the user's click and a
// SetChecked from code that changes it.
class TCheckBox : public TControl {
 public:
  using TControl::TControl;
  void Create(HWND parent, int id) override;
  void Command(int code) override;
  bool Checked() const;
  void SetChecked(bool on);
  std::function<void()> OnClick;
};

// Push button. A click sets the form's modal result (when the button has
// one) and then runs OnClick.
class TButton : public TControl {
 public:
  using TControl::TControl;
  void Create(HWND parent, int id) override;
  // A click reaches Press() through the form (never when disabled).
  // What a click does; runs even when disabled (code may "press" a button).
  void Click();
  // What Enter/Esc do: Click() only when the button is enabled and showing.
  bool Press();
  int ModalResult() const { return modalResult_; }
  void SetModalResult(int mr) { modalResult_ = mr; }
  bool IsDefault() const { return def_.flags & fDefault; }
  bool IsCancel() const { return def_.flags & fCancel; }
  std::function<void()> OnClick;

 private:
  int modalResult_ = def_.value;
};

// Container (panel, page book, page): a window of our own class that passes
// its children's notifications on to the form.
class TPanel : public TControl {
 public:
  using TControl::TControl;
  void Create(HWND parent, int id) override;
  void SetCaption(const std::string& text) override;
  virtual void Paint(HDC dc);
};

class TPage : public TPanel {
 public:
  using TPanel::TPanel;
  void Place(int dpi) override;
  void Paint(HDC) override {}
  std::string PageName() const { return def_.caption; }

 private:
  friend class TForm;
  bool realized_ = false;  // its controls are made
};

// Named pages, one shown at a time.
class TPageBook : public TPanel {
 public:
  using TPanel::TPanel;
  void Paint(HDC) override {}
  void AddPage(TPage* page);  // by the form, for each Page row
  int PageCount() const { return static_cast<int>(pages_.size()); }
  int PageIndex() const { return index_; }
  void SetPageIndex(int i);  // out of range: nothing changes
  std::string ActivePage() const;
  void SetActivePage(const std::string& name);
  TPage* Page(int i) const { return pages_.at(i); }
  std::string PageName(int i) const { return pages_.at(i)->PageName(); }

 private:
  std::vector<TPage*> pages_;
  int index_ = -1;
};

// A window timer of the form. Tag is free for the handler's use.
class TTimer : public TControl {
 public:
  using TControl::TControl;
  void Create(HWND parent, int id) override;
  // Enabled means running; starting it counts the interval from now.
  bool Enabled() const override { return running_; }
  void SetEnabled(bool on) override;
  unsigned Interval() const { return interval_; }
  void SetInterval(unsigned ms);  // restarts a running timer
  int Tag = 0;
  std::function<void()> OnTimer;
  void Tick();  // by the form on WM_TIMER

 private:
  void Apply();
  HWND owner_ = nullptr;
  int id_ = 0;
  unsigned interval_ = 1000;
  bool running_ = false;
};

class TProgressBar : public TControl {
 public:
  using TControl::TControl;
  void Create(HWND parent, int id) override;
  void SetRange(int min, int max);
  int Position() const;
  void SetPosition(int pos);
};

}  // namespace gui
