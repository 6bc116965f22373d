// Last-error texts, beep, centring, and the two registry helpers.
#include "util/System.h"

#include "util/Registry.h"
#include "util/Text.h"
#include "util/Win.h"

namespace util {

namespace {
bool g_beepOn = true;
}

std::string ErrorText(unsigned long code) {
  char* buf = nullptr;
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr,
                           code, 0x400, reinterpret_cast<char*>(&buf), 0, nullptr);
  if (n == 0 || buf == nullptr) return "Unknown error " + IntToStr(code) + "\r\n";
  std::string text(buf, n);
  LocalFree(buf);
  return text;
}

std::string LastErrorText() { return ErrorText(GetLastError()); }

std::string SystemErrorMessage(const std::string& context, unsigned long code) {
  std::string line;
  bool lineBreak = false;
  for (char c : TrimRight(ErrorText(code))) {
    if (c == '\r' || c == '\n') {
      lineBreak = true;
      continue;
    }
    if (lineBreak) line += ' ';
    lineBreak = false;
    line += c;
  }
  return context + line;
}

void PlayBeep(uint16_t soundType) {
  if (g_beepOn) MessageBeep(soundType);
}
void SetBeepEnabled(bool on) { g_beepOn = on; }
bool BeepEnabled() { return g_beepOn; }

void CentreOver(void* formHwnd, void* ownerHwnd) {
  HWND form = static_cast<HWND>(formHwnd), owner = static_cast<HWND>(ownerHwnd);
  RECT f, o;
  if (!form || !owner || !GetWindowRect(form, &f) || !GetWindowRect(owner, &o)) return;
  int top = CentreCoordinate(o.top, o.bottom - o.top, f.bottom - f.top);
  int left = CentreCoordinate(o.left, o.right - o.left, f.right - f.left);
  SetWindowPos(form, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool RegKeyExists(const std::string& keyPath) {
  TRegistry reg;
  return reg.KeyExists(keyPath);
}

bool AddRunOnce(const std::string& valueName, const std::string& commandLine) {
  static const char kRunOnce[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
  TRegistry reg;
  reg.SetRootKey(HKEY_LOCAL_MACHINE);
  if (!reg.OpenKey(kRunOnce, false)) {
    reg.SetRootKey(HKEY_CURRENT_USER);
    if (!reg.OpenKey(kRunOnce, false)) return false;
  }
  reg.WriteString(valueName, commandLine);
  reg.CloseKey();  // closing flushes
  return true;
}

}  // namespace util
