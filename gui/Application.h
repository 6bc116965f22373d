// The application object: title, icon, main form, the message loop that runs
// until the main form has closed, and the standard error display.
#pragma once
#include <exception>
#include <string>

#include "util/Win.h"

namespace gui {

class TForm;

class TApplication {
 public:
  // Registers the window classes, gives the application its default title
  // (the running file's name without its extension) when it has none yet,
  // and creates the application window. Creating a form registers the
  // classes too.
  void Initialize();

  // The text of the task bar button and the caption of error boxes.
  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& title);

  // The application window: never seen itself (no size), it carries the
  // program's task-bar button, whose text is the title, and owns the forms
  // that have no owner of their own, so that they have no button of their
  // own. Null before Initialize.
  HWND Handle() const { return handle_; }
  // The program's icon (resource 1), or the system's; at the system's DPI, or
  // at dpi (loaded once per size and kept for the life of the process).
  HICON Icon(int dpi = 0) const;
  // The same icon at the caption's small size: at the system's DPI one
  // handle, loaded once and shared by every window class that shows it.
  HICON SmallIcon(int dpi = 0) const;

  // The main form owns message boxes (util::SetMainWindow); closing it ends
  // Run. Pass nullptr to forget it.
  void SetMainForm(TForm* form);
  TForm* MainForm() const { return mainForm_; }

  // Shows the main form and dispatches messages until it has closed (or a
  // WM_QUIT arrives).
  void Run();

  // The standard error display: the error's message in a message box with
  // the application's title as caption, owned by the main form.
  void ShowException(const std::exception& e);

 private:
  friend LRESULT CALLBACK ApplicationProc(HWND, UINT, WPARAM, LPARAM);
  std::string title_;
  HWND handle_ = nullptr;
  TForm* mainForm_ = nullptr;
};

TApplication& Application();

// Catches what escapes an event handler and shows it (used at every point
// where the framework calls a handler from a window procedure).
template <class F>
void Guarded(F&& f) {
  try {
    f();
  } catch (const std::exception& e) {
    Application().ShowException(e);
  }
}

}  // namespace gui
