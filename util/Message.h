// The message-box seam. Every message box of the program goes through
// ShowMessage: on Win32 a box without icon (MessageBoxA), on the host a line on
// stderr. Tests install a hook to see the boxes and answer them.
#pragma once
#include <functional>
#include <string>

namespace util {

enum class MsgButtons { Ok, OkCancel, YesNo };

// Results, with the values of the Win32 IDOK/IDCANCEL/IDYES/IDNO.
constexpr int mrOk = 1, mrCancel = 2, mrYes = 6, mrNo = 7;

// Who owns the box: the application's main window, nobody, or a given window
// (an HWND on Win32).
struct MsgOwner {
  enum Kind { MainWindow, NoOwner, Window } kind = MainWindow;
  void* window = nullptr;
  static MsgOwner Main() { return {MainWindow, nullptr}; }
  static MsgOwner None() { return {NoOwner, nullptr}; }
  static MsgOwner Of(void* hwnd) { return {Window, hwnd}; }
};

using MessageHook =
    std::function<int(const std::string& text, const std::string& caption, MsgButtons, MsgOwner)>;

// Shows a modal box and returns the button pressed. Without a hook on the
// host, the box is written to stderr and answered with OK or Yes.
int ShowMessage(const std::string& text, const std::string& caption,
                MsgButtons buttons = MsgButtons::Ok, MsgOwner owner = MsgOwner::Main());

// The same for a text in UTF-8 instead of ANSI, for the one text that the
// ANSI code page cannot carry: a folder name that the system gave in UTF-16
// and that has no ANSI spelling (AnsiPath.h). The caption stays ANSI; the
// hook sees the UTF-8 text as it is. Win32: MessageBoxW.
int ShowMessageUtf8(const std::string& text, const std::string& caption,
                    MsgButtons buttons = MsgButtons::Ok, MsgOwner owner = MsgOwner::Main());

// Installs a hook (an empty one removes it); returns the previous hook.
MessageHook SetMessageHook(MessageHook hook);

// The window that owns boxes with MsgOwner::Main() (Win32: the main form).
void SetMainWindow(void* hwnd);
void* MainWindow();

// The platform's box behind ShowMessage, without the hook: MessageBoxA owned
// by owner (may be null) on Win32, stderr on the host. Call ShowMessage.
int SystemMessageBox(const std::string& text, const std::string& caption, MsgButtons buttons,
                     void* owner);
// The same with a UTF-8 text (MessageBoxW on Win32). Call ShowMessageUtf8.
int SystemMessageBoxUtf8(const std::string& text, const std::string& caption, MsgButtons buttons,
                         void* owner);

}  // namespace util
