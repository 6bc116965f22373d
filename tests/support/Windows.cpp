// The window driver (see Windows.h).
#include "tests/support/Windows.h"

#include <functional>
#include <vector>

namespace testsupport {

std::string UnixToWin(const std::string& unixPath) {
  std::string w = "Z:" + unixPath;
  for (char& c : w)
    if (c == '/') c = '\\';
  return w;
}

TProcess::~TProcess() {
  if (process_) {
    if (Running()) Kill();
    CloseHandle(process_);
  }
}

bool TProcess::Start(const std::string& commandLine, const std::string& cwd) {
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::vector<char> cmd(commandLine.begin(), commandLine.end());
  cmd.push_back('\0');
  if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      cwd.empty() ? nullptr : cwd.c_str(), &si, &pi))
    return false;
  CloseHandle(pi.hThread);
  process_ = pi.hProcess;
  pid_ = pi.dwProcessId;
  return true;
}

bool TProcess::Start(const std::wstring& commandLine, const std::wstring& cwd) {
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::vector<wchar_t> cmd(commandLine.begin(), commandLine.end());
  cmd.push_back(L'\0');
  if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      cwd.empty() ? nullptr : cwd.c_str(), &si, &pi))
    return false;
  CloseHandle(pi.hThread);
  process_ = pi.hProcess;
  pid_ = pi.dwProcessId;
  return true;
}

bool TProcess::Wait(unsigned timeoutMs) {
  return process_ && WaitForSingleObject(process_, timeoutMs) == WAIT_OBJECT_0;
}

bool TProcess::Running() const {
  return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

DWORD TProcess::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  if (process_) GetExitCodeProcess(process_, &code);
  return code;
}

void TProcess::Kill() {
  if (process_) {
    TerminateProcess(process_, 99);
    WaitForSingleObject(process_, 5000);
  }
}

namespace {

// Calls visit for each top-level window (no parent) or each descendant of
// parent, until it returns false.
using TVisit = std::function<bool(HWND)>;
BOOL CALLBACK VisitOne(HWND hwnd, LPARAM lp) {
  return (*reinterpret_cast<TVisit*>(lp))(hwnd) ? TRUE : FALSE;
}
void ForEachWindow(HWND parent, TVisit visit) {
  if (parent)
    EnumChildWindows(parent, VisitOne, reinterpret_cast<LPARAM>(&visit));
  else
    EnumWindows(VisitOne, reinterpret_cast<LPARAM>(&visit));
}

std::string ClassOf(HWND hwnd) {
  char cls[64] = {};
  GetClassNameA(hwnd, cls, sizeof cls);
  return cls;
}

bool OfProcess(HWND hwnd, DWORD pid) {
  DWORD owner = 0;
  GetWindowThreadProcessId(hwnd, &owner);
  return owner == pid;
}

// The first visible top-level window of the process that has a size and
// matches.
HWND FindTop(DWORD pid, const TVisit& matches) {
  HWND found = nullptr;
  ForEachWindow(nullptr, [&](HWND h) {
    if (!OfProcess(h, pid) || !IsWindowVisible(h)) return true;
    RECT r;
    if (GetWindowRect(h, &r) && (r.right <= r.left || r.bottom <= r.top)) return true;
    if (!matches(h)) return true;
    found = h;
    return false;
  });
  return found;
}

// The visible top-level windows titled title that are not dialog boxes;
// each is asked to close when close is set.
int FolderWindows(const std::string& title, bool close) {
  int count = 0;
  ForEachWindow(nullptr, [&](HWND h) {
    if (!IsWindowVisible(h) || ClassOf(h) == "#32770" || TextOf(h) != title) return true;
    ++count;
    if (close) PostMessageA(h, WM_CLOSE, 0, 0);
    return true;
  });
  return count;
}

}  // namespace

HWND WaitForWindow(DWORD pid, const std::string& title, unsigned timeoutMs) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        found = FindTop(pid, [&](HWND h) { return TextOf(h) == title; });
        return found != nullptr;
      },
      timeoutMs);
  return found;
}

std::string TaskBarText(DWORD pid) {
  int count = 0;
  std::string text;
  ForEachWindow(nullptr, [&](HWND h) {
    if (!OfProcess(h, pid) || !IsWindowVisible(h) || GetWindow(h, GW_OWNER) ||
        (GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_TOOLWINDOW))
      return true;
    if (count++ == 0) text = TextOf(h);
    return true;
  });
  // More than one button for one program is a fault of its own.
  return count == 1 ? text : count == 0 ? "" : "<" + std::to_string(count) + " buttons>";
}

bool WaitForWindowGone(HWND hwnd, unsigned timeoutMs) {
  return WaitUntil([&] { return !IsWindow(hwnd) || !IsWindowVisible(hwnd); }, timeoutMs);
}

HWND FindChild(HWND parent, const std::string& text, const char* cls) {
  HWND found = nullptr;
  ForEachWindow(parent, [&](HWND h) {
    if ((cls && lstrcmpiA(ClassOf(h).c_str(), cls) != 0) || TextOf(h) != text) return true;
    found = h;
    return false;
  });
  return found;
}

HWND ChildById(HWND parent, int id) {
  HWND found = nullptr;
  ForEachWindow(parent, [&](HWND h) {
    if (GetDlgCtrlID(h) != id) return true;
    found = h;
    return false;
  });
  return found;
}

std::string TextOf(HWND hwnd) {
  DWORD_PTR len = 0;
  if (!SendMessageTimeoutA(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &len)) return "";
  std::vector<char> buf(len + 2, '\0');
  DWORD_PTR got = 0;
  SendMessageTimeoutA(hwnd, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()),
                      SMTO_ABORTIFHUNG, 2000, &got);
  return std::string(buf.data());
}

bool IsUsable(HWND hwnd) {
  for (HWND h = hwnd; h; h = GetParent(h)) {
    if (!IsWindowEnabled(h) && h == hwnd) return false;
    if (!IsWindowVisible(h)) return false;
    if (!(GetWindowLongA(h, GWL_STYLE) & WS_CHILD)) break;
  }
  return hwnd != nullptr && IsWindowEnabled(hwnd);
}

bool Press(HWND button) {
  if (!button || !IsUsable(button)) return false;
  return PostMessageA(button, BM_CLICK, 0, 0) != 0;
}

void PostKey(HWND hwnd, UINT vk) {
  PostMessageA(hwnd, WM_KEYDOWN, vk, 1);
  PostMessageA(hwnd, WM_KEYUP, vk, 0xC0000001);
}

void TypeKey(UINT vk, bool shift) {
  std::vector<INPUT> in;
  auto key = [&](UINT k, bool up) {
    INPUT i{};
    i.type = INPUT_KEYBOARD;
    i.ki.wVk = static_cast<WORD>(k);
    i.ki.wScan = static_cast<WORD>(MapVirtualKeyA(k, MAPVK_VK_TO_VSC));
    i.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    in.push_back(i);
  };
  if (shift) key(VK_SHIFT, false);
  key(vk, false);
  key(vk, true);
  if (shift) key(VK_SHIFT, true);
  SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
}

void TypeInto(HWND edit, const std::string& text) {
  SendMessageA(edit, EM_SETSEL, 0, -1);
  SendMessageA(edit, WM_CHAR, VK_BACK, 0);
  for (unsigned char c : text) SendMessageA(edit, WM_CHAR, c, 0);
}

bool IsChecked(HWND checkBox) {
  return SendMessageA(checkBox, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void CloseFolderWindows(const std::string& title) {
  WaitUntil([&] { return FolderWindows(title, false) > 0; }, 3000);
  FolderWindows(title, true);
  WaitUntil([&] { return FolderWindows(title, false) == 0; }, 5000);
}

bool WaitForBox(DWORD pid, TBoxWindow& box, unsigned timeoutMs) {
  HWND found = nullptr;
  if (!WaitUntil(
          [&] {
            found = FindTop(pid, [](HWND h) { return ClassOf(h) == "#32770"; });
            return found != nullptr;
          },
          timeoutMs))
    return false;
  box.hwnd = found;
  box.caption = TextOf(found);
  HWND label = ChildById(found, 0xFFFF);  // the box's text
  box.text = label ? TextOf(label) : "";
  return true;
}

bool Answer(const TBoxWindow& box, int buttonId) {
  HWND b = ChildById(box.hwnd, buttonId);
  if (!b) return false;
  return PostMessageA(b, BM_CLICK, 0, 0) != 0;
}

}  // namespace testsupport
