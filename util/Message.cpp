// Message boxes: the hook, then the platform's box (Message_win32.cpp, or the
// host's stderr stand-in in Message_posix.cpp).
#include "util/Message.h"

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

namespace {
void* OwnerWindow(MsgOwner owner) {
  return owner.kind == MsgOwner::MainWindow ? g_mainWindow
       : owner.kind == MsgOwner::Window     ? owner.window
                                            : nullptr;
}
}  // namespace

int ShowMessage(const std::string& text, const std::string& caption, MsgButtons buttons,
                MsgOwner owner) {
  if (g_hook) return g_hook(text, caption, buttons, owner);
  return SystemMessageBox(text, caption, buttons, OwnerWindow(owner));
}

int ShowMessageUtf8(const std::string& text, const std::string& caption, MsgButtons buttons,
                    MsgOwner owner) {
  if (g_hook) return g_hook(text, caption, buttons, owner);
  return SystemMessageBoxUtf8(text, caption, buttons, OwnerWindow(owner));
}

}  // namespace util
