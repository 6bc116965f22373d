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

}  // namespace util
