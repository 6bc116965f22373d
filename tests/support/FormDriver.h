// Test driver for forms run in-process: actions scheduled from inside modal
// loops (thread timers), presses that only do what a person could,
// and a watchdog against hangs.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "util/Win.h"

namespace testgui {

// Runs f from the thread's message loop after ms milliseconds (once).
void After(unsigned ms, std::function<void()> f);
// Runs f from the message loop as soon as pred() holds (checked every 20 ms).
void When(std::function<bool()> pred, std::function<void()> f);
// Pumps messages until pred() holds or limitMs passed; returns pred().
bool PumpUntil(const std::function<bool()>& pred, unsigned limitMs = 10000);
// Pumps messages for ms milliseconds.
void Pump(unsigned ms);

// Posts BM_CLICK like a person's click: only to an enabled, showing button
// (Wine would deliver it to a disabled one). Returns whether it pressed.
bool Press(HWND button);
// Posts a key press (WM_KEYDOWN + WM_KEYUP) to the window.
void PostKey(HWND hwnd, UINT vk);
// A key press through the system's keyboard input (SendInput), as a person
// types it: it goes to the focused window of the foreground window, with
// Shift held around it when shift is set.
void TypeKey(UINT vk, bool shift = false);

// Removes a pending WM_QUIT (after a test that posted one) and clears the
// terminating state.
void DrainQuit();

// Ends a hanging modal loop: after ms, records a failure and posts WM_QUIT.
class TWatchdog {
 public:
  explicit TWatchdog(unsigned ms = 20000);
  ~TWatchdog();

 private:
  UINT_PTR id_;
};

}  // namespace testgui
