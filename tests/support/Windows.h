// Works windows as a person would, from outside the program or from inside
// (the form driver builds on it): finds windows by title, controls by text or
// ID, types into edits and presses keys, presses buttons (only enabled,
// visible ones), and answers message boxes.
#pragma once
#include <string>
#include <vector>

#include "util/Win.h"

namespace testsupport {

// "Z:" + the Unix path with backslashes (Wine maps Z: to /).
std::string UnixToWin(const std::string& unixPath);

class TProcess {
 public:
  TProcess() = default;
  ~TProcess();
  TProcess(const TProcess&) = delete;
  TProcess& operator=(const TProcess&) = delete;
  // Starts commandLine in the folder cwd; false when it could not start.
  bool Start(const std::string& commandLine, const std::string& cwd);
  // The same through CreateProcessW, as Explorer starts a program whose
  // path the ANSI code page cannot spell.
  bool Start(const std::wstring& commandLine, const std::wstring& cwd);
  // Waits for the end; true when it ended within timeoutMs.
  bool Wait(unsigned timeoutMs);
  bool Running() const;
  DWORD ExitCode() const;
  DWORD Pid() const { return pid_; }
  void Kill();

 private:
  HANDLE process_ = nullptr;
  DWORD pid_ = 0;
};

// Visible top-level windows of the process whose title is title (exactly).
// Windows without any size (the application window behind the task-bar
// button) are not among them: nobody can see or use them.
HWND WaitForWindow(DWORD pid, const std::string& title, unsigned timeoutMs);
// The text of the process's task-bar button: the title of its visible
// top-level window that has no owner and is not a tool window (what the
// task bar lists). Empty when there is none.
std::string TaskBarText(DWORD pid);
// Waits until the window is gone (destroyed or hidden).
bool WaitForWindowGone(HWND hwnd, unsigned timeoutMs);

// The first descendant whose text is text (and class cls when given).
HWND FindChild(HWND parent, const std::string& text, const char* cls = nullptr);
HWND ChildById(HWND parent, int id);
std::string TextOf(HWND hwnd);
bool IsUsable(HWND hwnd);  // enabled and visible, parents included

// Presses a button as a user would: refused (false) when it is disabled or
// hidden. Posted, so a handler that opens a modal box does not block us.
bool Press(HWND button);
// Posts a key press (WM_KEYDOWN + WM_KEYUP) to the window.
void PostKey(HWND hwnd, UINT vk);
// A key press through the system's keyboard input (SendInput), as a person
// types it: it goes to the focused window of the foreground window, with
// Shift held around it when shift is set.
void TypeKey(UINT vk, bool shift = false);
// Replaces the edit's text keystroke by keystroke (change events fire).
void TypeInto(HWND edit, const std::string& text);
bool IsChecked(HWND checkBox);

// Closes the visible top-level windows titled title that are not dialog
// boxes (the Explorer window a first installation opens on its group), and
// waits until they are gone. Wine starts them with our standard output, so
// one left open would keep a test run's output pipe open after it ended.
void CloseFolderWindows(const std::string& title);

// A message box of the process: its text, caption and buttons.
struct TBoxWindow {
  HWND hwnd = nullptr;
  std::string caption;
  std::string text;
};
// Waits for a visible dialog-class window (#32770) of the process.
bool WaitForBox(DWORD pid, TBoxWindow& box, unsigned timeoutMs);
// Presses the box's button with the given ID (IDOK, IDCANCEL, IDYES, IDNO).
bool Answer(const TBoxWindow& box, int buttonId);

// Polls cond every 50 ms until it holds or timeoutMs passed.
template <typename Cond>
bool WaitUntil(Cond cond, unsigned timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    if (cond()) return true;
    if (GetTickCount() - start >= timeoutMs) return false;
    Sleep(50);
  }
}

}  // namespace testsupport
