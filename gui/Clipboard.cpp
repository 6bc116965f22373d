// PastePlainText through a hidden scratch memo.
#include "gui/Clipboard.h"

#include <string>

#include "gui/Control.h"

namespace gui {

void PastePlainText(HWND edit) {
  if (!edit || !IsClipboardFormatAvailable(CF_TEXT)) return;
  // Unwrapped (horizontal auto-scroll), so that read back the lines are the
  // clipboard's own lines.
  HWND scratch = CreateWindowExA(0, "EDIT", "",
                                 WS_POPUP | ES_MULTILINE | ES_AUTOHSCROLL | ES_AUTOVSCROLL, 0,
                                 0, 100, 100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  if (!scratch) return;
  SendMessageA(scratch, EM_LIMITTEXT, 0, 0);  // no 32 KiB limit
  SendMessageA(scratch, WM_PASTE, 0, 0);
  const std::string text = WindowText(scratch);
  DestroyWindow(scratch);
  // Exactly the pasted text: no line break is added after the last line.
  SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

}  // namespace gui
