// Drives our own forms in-process, as a person would: actions scheduled from
// inside modal loops (thread timers), presses and typing that only do what a
// person could, and a watchdog against modal loops that never end.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "gui/Form.h"
#include "tests/support/Windows.h"
#include "util/Win.h"

namespace testsupport {

// Runs f from the thread's message loop (any loop, modal ones included) as
// soon as pred() holds; checked every 25 ms. Returns the timer's id.
UINT_PTR When(std::function<bool()> pred, std::function<void()> f);
// Runs f from the thread's message loop after ms milliseconds (once).
void After(unsigned ms, std::function<void()> f);
// Stops a When or After that has not fired yet.
void Cancel(UINT_PTR id);
// Stops every pending When and After (between tests).
void CancelAll();
// Pumps messages until pred() holds or limitMs passed; returns pred().
bool PumpUntil(const std::function<bool()>& pred, unsigned limitMs = 10000);
// Pumps messages for ms milliseconds.
void Pump(unsigned ms);

// Presses an enabled, showing control (Press on its window) and processes
// messages until the click has been handled (a modal dialog it opens runs
// to its end meanwhile). False, and nothing pressed, when no person could.
bool Press(gui::TControl* control);
// Types text into an edit with WM_CHAR, one character at a time, so the edit
// raises its change notification as for a person's typing.
void Type(gui::TControl* edit, const std::string& text);
// Selects the whole text of an edit and deletes it with a typed backspace.
void Erase(gui::TControl* edit);
// Brings the form to the front and types the key through the system's
// keyboard input to whatever has the focus there (Shift held when shift is
// set); then processes messages for a moment, so that what the key starts
// (a question box, a page change, a close) has happened on return.
void Key(gui::TForm& form, UINT vk, bool shift = false);

// Removes a pending WM_QUIT (after a test that posted one) and clears the
// terminating state.
void DrainQuit();

// The first of our forms on this thread that is visible and of type T.
template <class T>
T* VisibleForm();
// Presses the Cancel button of the visible wait dialog once it is enabled.
void CancelWaitDialogWhenReady();

// Ends a hanging modal loop: after ms, records a failure and posts WM_QUIT.
// A quit it posted does not outlive it.
class TWatchdog {
 public:
  explicit TWatchdog(unsigned ms = 30000);
  ~TWatchdog();
  TWatchdog(const TWatchdog&) = delete;
  TWatchdog& operator=(const TWatchdog&) = delete;

 private:
  UINT_PTR id_;
};

// --- template definitions -----------------------------------------------------

std::vector<HWND> ThreadTopWindows();

template <class T>
T* VisibleForm() {
  for (HWND h : ThreadTopWindows()) {
    if (!IsWindowVisible(h)) continue;
    if (auto* t = dynamic_cast<T*>(gui::TForm::FromHandle(h))) return t;
  }
  return nullptr;
}

}  // namespace testsupport
