// The Win32 message box: no icon, owned by the given window.
#include <vector>

#include "util/Message.h"
#include "util/Win.h"

namespace util {

namespace {
UINT BoxType(MsgButtons buttons) {
  return buttons == MsgButtons::OkCancel ? MB_OKCANCEL
       : buttons == MsgButtons::YesNo    ? MB_YESNO
                                         : MB_OK;
}

std::vector<wchar_t> Wide(const std::string& text, UINT codePage) {
  const int n = MultiByteToWideChar(codePage, 0, text.c_str(), -1, nullptr, 0);
  std::vector<wchar_t> wide(n > 0 ? n : 1, L'\0');
  if (n > 0) MultiByteToWideChar(codePage, 0, text.c_str(), -1, wide.data(), n);
  return wide;
}
}  // namespace

int SystemMessageBox(const std::string& text, const std::string& caption, MsgButtons buttons,
                     void* owner) {
  return MessageBoxA(static_cast<HWND>(owner), text.c_str(), caption.c_str(), BoxType(buttons));
}

int SystemMessageBoxUtf8(const std::string& text, const std::string& caption, MsgButtons buttons,
                         void* owner) {
  return MessageBoxW(static_cast<HWND>(owner), Wide(text, CP_UTF8).data(),
                     Wide(caption, CP_ACP).data(), BoxType(buttons));
}

}  // namespace util
