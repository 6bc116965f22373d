// The host's stand-in for a message box: one line on stderr, answered with OK
// or Yes, so portable code that asks a question runs on in tests and tools.
#include <cstdio>

#include "util/Message.h"

namespace util {

int SystemMessageBox(const std::string& text, const std::string& caption, MsgButtons buttons,
                     void*) {
  std::fprintf(stderr, "[%s] %s\n", caption.c_str(), text.c_str());
  return buttons == MsgButtons::YesNo ? mrYes : mrOk;
}

// The terminal takes UTF-8 as it is.
int SystemMessageBoxUtf8(const std::string& text, const std::string& caption, MsgButtons buttons,
                         void* owner) {
  return SystemMessageBox(text, caption, buttons, owner);
}

}  // namespace util
