// Message boxes: the hook, the Win32 box and the host's stderr stand-in.
#include "util/Message.h"

#include <cstdio>

#ifdef _WIN32
#include "util/Win.h"
#endif

namespace util {

namespace {
MessageHook g_hook;
void* g_mainWindow = nullptr;
}  // namespace

MessageHook SetMessageHook(MessageHook hook) {
  MessageHook old = std::move(g_hook);
  g_hook = std::move(hook);
  return old;
}

void SetMainWindow(void* hwnd) { g_mainWindow = hwnd; }
void* MainWindow() { return g_mainWindow; }

int ShowMessage(const std::string& text, const std::string& caption, MsgButtons buttons,
                MsgOwner owner) {
  if (g_hook) return g_hook(text, caption, buttons, owner);
#ifdef _WIN32
  UINT type = buttons == MsgButtons::OkCancel ? MB_OKCANCEL
            : buttons == MsgButtons::YesNo    ? MB_YESNO
                                              : MB_OK;
  HWND hwnd = owner.kind == MsgOwner::MainWindow ? static_cast<HWND>(g_mainWindow)
            : owner.kind == MsgOwner::Window     ? static_cast<HWND>(owner.window)
                                                 : nullptr;
  return MessageBoxA(hwnd, text.c_str(), caption.c_str(), type);
#else
  std::fprintf(stderr, "[%s] %s\n", caption.c_str(), text.c_str());
  return buttons == MsgButtons::YesNo ? mrYes : mrOk;
#endif
}

}  // namespace util
