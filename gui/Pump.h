// Message processing for long actions on the one GUI thread: lets pending
// window messages run so that windows keep painting.
#pragma once

namespace gui {

// Dispatches every pending message of the thread. A WM_QUIT marks the
// application as terminating (and is posted again for the main loop).
void ProcessMessages();
// True once a quit message was seen.
bool Terminated();
// Sleeps ms milliseconds in slices, processing messages between them.
void PauseWithMessages(unsigned ms);

}  // namespace gui
