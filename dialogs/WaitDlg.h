// The wait dialog: a small modal dialog shown before the wizards change
// anything. The message blinks for about four seconds; the user may cancel
// (after the first second) and must confirm the cancel.
#pragma once
#include <cstdint>
#include <string>

#include "gui/Form.h"

namespace dialogs {

class TWaitForm : public gui::TForm {
 public:
  // Starts Timer1 (1000 ms); the caption is "Installing" until changed.
  explicit TWaitForm(HWND owner);

  const std::string& WaitText() const { return waitText_; }
  void SetWaitText(const std::string& text) { waitText_ = text; }
  int32_t BlinkCount() const { return blinkCount_; }

  gui::TPanel* Panel1;
  gui::TButton* CancelBtn;
  gui::TTimer* Timer1;

 protected:
  // Stops the timer; a cancel (modal result 2) must be confirmed, and a "No"
  // restarts the timer and keeps the dialog open.
  void FormCloseQuery(bool& canClose) override;

 private:
  // Tag 0: the first tick shows the message and enables Cancel, then ticks
  // every 500 ms (Tag 1) toggle the message; the sixth toggle closes the
  // dialog with modal result 1.
  void Timer1Timer();

  std::string waitText_;
  int32_t blinkCount_ = 0;
};

// Shows the wait dialog modally over the owner with the title as caption.
// True when it ran out by itself; false when the user cancelled and confirmed
// it, or the application is shutting down (a WM_QUIT arrived).
bool ShowWaitDialog(const std::string& title, const std::string& message, HWND owner);

}  // namespace dialogs
