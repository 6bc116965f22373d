// Message processing between the steps of long actions.
#include "gui/Pump.h"

#include "gui/Form.h"
#include "util/Win.h"

namespace gui {

namespace {
bool g_terminated = false;
}

void ProcessMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      g_terminated = true;
      PostQuitMessage(static_cast<int>(msg.wParam));  // leave it for the main loop
      return;
    }
    DispatchFormMessage(msg);
  }
}

bool Terminated() { return g_terminated; }
void SetTerminated(bool on) { g_terminated = on; }

void PauseWithMessages(unsigned ms) {
  ProcessMessages();
  DWORD start = GetTickCount();
  while (GetTickCount() - start < ms) {
    Sleep(10);
    ProcessMessages();
  }
}

}  // namespace gui
