// Driving the wizard forms in-process: presses and typing that only do what a
// person could, actions scheduled from inside modal loops (thread timers), a
// recorder that answers message boxes, and a fixture that gives each test a
// scratch folder and clean registry keys.
#pragma once
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "gui/Form.h"
#include "tests/support/Sandbox.h"
#include "util/Message.h"
#include "util/Win.h"

namespace wiztest {

// Runs f from the thread's message loop (any loop, modal ones included) as
// soon as pred() holds; checked every 25 ms. Returns the timer id.
UINT_PTR When(std::function<bool()> pred, std::function<void()> f);
// Stops a When that has not fired yet.
void Cancel(UINT_PTR id);

// Posts BM_CLICK to an enabled, showing control and processes messages until
// it has been handled (a modal dialog it opens runs to its end meanwhile).
// False, and nothing pressed, when no person could press it.
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

// The first of our forms on this thread that is visible and of type T.
template <class T>
T* VisibleForm();
// Presses the Cancel button of the visible wait dialog once it is enabled.
void CancelWaitDialogWhenReady();

// Ends a hanging modal loop: after ms, records a failure and posts WM_QUIT.
class TWatchdog {
 public:
  explicit TWatchdog(unsigned ms = 30000);
  ~TWatchdog();
  TWatchdog(const TWatchdog&) = delete;
  TWatchdog& operator=(const TWatchdog&) = delete;

 private:
  UINT_PTR id_;
};

// Per test: the sandbox (scratch folder, both registry keys absent before
// and after, the beep off, message boxes recorded and answered OK unless told
// otherwise), the current directory restored, and a watchdog.
class WizardFixture : public testsupport::TSandboxTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Answers every box with answer(text) from now on.
  void Answer(std::function<int(const std::string&)> answer) { boxes_.SetAnswer(std::move(answer)); }
  std::vector<std::string> BoxTexts() const { return boxes_.Texts(); }
  const std::vector<testsupport::TBox>& Boxes() const { return boxes_.boxes; }
  void ClearBoxes() { boxes_.boxes.clear(); }


 private:
  std::string savedCwd_;
  TWatchdog watchdog_;
};

// The answer that a Yes/No or OK/Cancel box gets for "yes, go on".
inline int Yes(const std::string&) { return util::mrYes; }

// --- template definitions -----------------------------------------------------

namespace detail {
std::vector<HWND> ThreadTopWindows();
}

template <class T>
T* VisibleForm() {
  for (HWND h : detail::ThreadTopWindows()) {
    if (!IsWindowVisible(h)) continue;
    if (auto* t = dynamic_cast<T*>(gui::TForm::FromHandle(h))) return t;
  }
  return nullptr;
}

}  // namespace wiztest
