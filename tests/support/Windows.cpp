// The window driver (see Windows.h).
#include "tests/support/Windows.h"

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
struct TopSearch {
  DWORD pid;
  std::string title;
  const char* cls;
  HWND found;
};

BOOL CALLBACK TopProc(HWND hwnd, LPARAM lp) {
  auto* s = reinterpret_cast<TopSearch*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid != s->pid || !IsWindowVisible(hwnd)) return TRUE;
  char cls[64] = {};
  GetClassNameA(hwnd, cls, sizeof cls);
  if (s->cls && lstrcmpA(cls, s->cls) != 0) return TRUE;
  RECT r;
  if (GetWindowRect(hwnd, &r) && (r.right <= r.left || r.bottom <= r.top)) return TRUE;
  if (!s->cls && TextOf(hwnd) != s->title) return TRUE;
  s->found = hwnd;
  return FALSE;
}

struct ChildSearch {
  std::string text;
  const char* cls;
  HWND found;
};

BOOL CALLBACK ChildProc(HWND hwnd, LPARAM lp) {
  auto* s = reinterpret_cast<ChildSearch*>(lp);
  if (s->cls) {
    char cls[64] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (lstrcmpiA(cls, s->cls) != 0) return TRUE;
  }
  if (TextOf(hwnd) != s->text) return TRUE;
  s->found = hwnd;
  return FALSE;
}
}  // namespace

HWND WaitForWindow(DWORD pid, const std::string& title, unsigned timeoutMs) {
  TopSearch s{pid, title, nullptr, nullptr};
  WaitUntil([&] {
    EnumWindows(TopProc, reinterpret_cast<LPARAM>(&s));
    return s.found != nullptr;
  }, timeoutMs);
  return s.found;
}

namespace {
struct ButtonSearch {
  DWORD pid;
  std::string text;
  int count;
};

BOOL CALLBACK ButtonProc(HWND hwnd, LPARAM lp) {
  auto* s = reinterpret_cast<ButtonSearch*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid != s->pid || !IsWindowVisible(hwnd) || GetWindow(hwnd, GW_OWNER) ||
      (GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW))
    return TRUE;
  if (s->count++ == 0) s->text = TextOf(hwnd);
  return TRUE;
}
}  // namespace

std::string TaskBarText(DWORD pid) {
  ButtonSearch s{pid, "", 0};
  EnumWindows(ButtonProc, reinterpret_cast<LPARAM>(&s));
  // More than one button for one program is a fault of its own.
  return s.count == 1 ? s.text : s.count == 0 ? "" : "<" + std::to_string(s.count) + " buttons>";
}

bool WaitForWindowGone(HWND hwnd, unsigned timeoutMs) {
  return WaitUntil([&] { return !IsWindow(hwnd) || !IsWindowVisible(hwnd); }, timeoutMs);
}

HWND FindChild(HWND parent, const std::string& text, const char* cls) {
  ChildSearch s{text, cls, nullptr};
  EnumChildWindows(parent, ChildProc, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

namespace {
struct IdSearch {
  int id;
  HWND found;
};

BOOL CALLBACK IdProc(HWND hwnd, LPARAM lp) {
  auto* s = reinterpret_cast<IdSearch*>(lp);
  if (GetDlgCtrlID(hwnd) != s->id) return TRUE;
  s->found = hwnd;
  return FALSE;
}
}  // namespace

HWND ChildById(HWND parent, int id) {
  IdSearch s{id, nullptr};
  EnumChildWindows(parent, IdProc, reinterpret_cast<LPARAM>(&s));
  return s.found;
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

namespace {
struct FolderSearch {
  const std::string* title;
  bool close;
  int count;
};

BOOL CALLBACK FolderWindowProc(HWND hwnd, LPARAM lp) {
  auto* s = reinterpret_cast<FolderSearch*>(lp);
  char cls[64] = {};
  GetClassNameA(hwnd, cls, sizeof cls);
  if (!IsWindowVisible(hwnd) || lstrcmpA(cls, "#32770") == 0 || TextOf(hwnd) != *s->title)
    return TRUE;
  ++s->count;
  if (s->close) PostMessageA(hwnd, WM_CLOSE, 0, 0);
  return TRUE;
}

int FolderWindows(const std::string& title, bool close) {
  FolderSearch s{&title, close, 0};
  EnumWindows(FolderWindowProc, reinterpret_cast<LPARAM>(&s));
  return s.count;
}
}  // namespace

void CloseFolderWindows(const std::string& title) {
  WaitUntil([&] { return FolderWindows(title, false) > 0; }, 3000);
  FolderWindows(title, true);
  WaitUntil([&] { return FolderWindows(title, false) == 0; }, 5000);
}

bool WaitForBox(DWORD pid, TBoxWindow& box, unsigned timeoutMs) {
  TopSearch s{pid, "", "#32770", nullptr};
  bool ok = WaitUntil([&] {
    s.found = nullptr;
    EnumWindows(TopProc, reinterpret_cast<LPARAM>(&s));
    return s.found != nullptr;
  }, timeoutMs);
  if (!ok) return false;
  box.hwnd = s.found;
  box.caption = TextOf(s.found);
  HWND label = ChildById(s.found, 0xFFFF);  // the box's text
  box.text = label ? TextOf(label) : "";
  return true;
}

bool Answer(const TBoxWindow& box, int buttonId) {
  HWND b = ChildById(box.hwnd, buttonId);
  if (!b) return false;
  return PostMessageA(b, BM_CLICK, 0, 0) != 0;
}

}  // namespace testsupport
