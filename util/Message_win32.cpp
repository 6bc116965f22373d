// The Win32 message box: no icon, owned by the given window.
#include "util/Message.h"
#include "util/Win.h"

namespace util {

int SystemMessageBox(const std::string& text, const std::string& caption, MsgButtons buttons,
                     void* owner) {
  UINT type = buttons == MsgButtons::OkCancel ? MB_OKCANCEL
            : buttons == MsgButtons::YesNo    ? MB_YESNO
                                              : MB_OK;
  return MessageBoxA(static_cast<HWND>(owner), text.c_str(), caption.c_str(), type);
}

}  // namespace util
