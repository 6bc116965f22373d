// Message processing for long actions on the one GUI thread: lets pending
// window messages run so that windows keep painting.
#pragma once

namespace gui {

// Dispatches every pending message of the thread (with dialog keys for our
// forms). A WM_QUIT marks the application as terminating and is posted again
// for the loop that owns it.
void ProcessMessages();
// True once a quit message was seen (here, in a modal loop or in Run).
bool Terminated();
// Marks or clears the terminating state (the message loops; tests).
void SetTerminated(bool on);
// Sleeps ms milliseconds in slices, processing messages between them.
void PauseWithMessages(unsigned ms);

}  // namespace gui
