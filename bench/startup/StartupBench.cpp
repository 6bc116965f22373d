// Start-up benchmark (a Win32 console program, runs under Wine): the time from
// CreateProcess to the first paint of a program's main window, for setup.exe
// against a bare Win32 window program and any other programs (an NSIS
// installer, another build of setup.exe), measured alternately in one run.
//
//   startup_bench SETUP_EXE BARE_EXE [N] [EXTRA_EXE EXTRA_TITLE]...
//
// "First paint", seen from outside the program, is the first moment at which
//   1. a visible top-level window of the process has the expected title,
//   2. neither it nor any of its child windows has an update region left
//      (GetUpdateRect: every WM_PAINT that showing the window caused has at
//      least reached BeginPaint), and
//   3. a WM_NULL sent to it has been answered (SendMessageTimeout): the
//      window's thread has finished those paint handlers and is back in its
//      message loop, so ShowWindow's invalidation cannot still be pending.
// The update regions are checked again after the WM_NULL round trip; only if
// they are still empty does the clock stop. The poll sleeps 1 ms between
// looks, so the figure is at most about a millisecond late, for both programs
// alike. Each program gets one untimed warm-up start (file cache, Wine's
// first load of its DLLs), then N timed starts, alternating between programs.
// Each program is staged in a folder of its own (and started there), so an
// extra program may be another build of setup.exe: its label is then its
// folder's name and its file name, e.g. "base/setup".
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <numeric>
#include <string>
#include <vector>

#include "util/Win.h"

namespace {

constexpr DWORD kPollSleepMs = 1;
constexpr DWORD kWindowTimeoutMs = 30000;
constexpr DWORD kExitTimeoutMs = 15000;
constexpr UINT kNullTimeoutMs = 10000;
constexpr char kProductKey[] = "Software\\Lanternfell";

struct TProgram {
  std::string label;    // as printed
  std::string source;   // the built executable
  std::string name;     // file name of the staged copy
  std::string folder;   // its staging folder, the current folder of its runs
  std::string staged;   // the copy that is started (once staged)
  std::string title;    // the main window's caption
  std::vector<double> times;    // ms to first paint, per timed run
  std::vector<double> visible;  // ms to the window first seen visible
  int pendingSeen = 0;  // timed runs in which a paint was seen pending
};

struct TFailure {
  std::string text;
};

[[noreturn]] void Fail(const std::string& text) { throw TFailure{text}; }

std::string LastError() { return "error " + std::to_string(GetLastError()); }

double Millis(LARGE_INTEGER from, LARGE_INTEGER to) {
  static LARGE_INTEGER freq = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  return 1000.0 * double(to.QuadPart - from.QuadPart) / double(freq.QuadPart);
}

std::string FileNameOf(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The file name without ".exe", as printed.
std::string LabelOf(const std::string& path) {
  std::string name = FileNameOf(path);
  const size_t dot = name.rfind('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

// The name of the folder the file lies in ("" for a bare file name).
std::string FolderNameOf(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  if (slash == std::string::npos) return std::string();
  return FileNameOf(path.substr(0, slash));
}

// A fresh folder in the temporary folder for the staged copies.
std::string MakeStagingFolder() {
  char temp[MAX_PATH];
  if (!GetTempPathA(MAX_PATH, temp)) Fail("no temporary folder: " + LastError());
  const std::string dir =
      std::string(temp) + "lf-startup-bench-" + std::to_string(GetCurrentProcessId());
  if (!CreateDirectoryA(dir.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
    Fail("cannot create " + dir + ": " + LastError());
  return dir;
}

// With the product's key present setup would not open on its Start page (and
// the figure would measure something else). The key is not ours to delete.
void RequireNoProductKey() {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kProductKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
    RegCloseKey(key);
    Fail(std::string("HKCU\\") + kProductKey + " exists; run the benchmark in a fresh prefix");
  }
}

struct TFind {
  DWORD pid;
  const std::string* title;
  HWND found;
};

BOOL CALLBACK FindProc(HWND hwnd, LPARAM param) {
  auto* f = reinterpret_cast<TFind*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid != f->pid || !IsWindowVisible(hwnd)) return TRUE;
  // A window without size (setup's application window, which carries the
  // task-bar button and the same title) is not the one that paints.
  RECT r;
  if (GetWindowRect(hwnd, &r) && (r.right <= r.left || r.bottom <= r.top)) return TRUE;
  // Read from the window record; no message reaches the starting program.
  WCHAR text[128];
  const int n = InternalGetWindowText(hwnd, text, 128);
  std::string ascii;
  for (int i = 0; i < n; ++i) ascii += char(text[i] < 128 ? text[i] : '?');
  if (ascii != *f->title) return TRUE;
  f->found = hwnd;
  return FALSE;
}

HWND FindMainWindow(DWORD pid, const std::string& title) {
  TFind f{pid, &title, nullptr};
  EnumWindows(FindProc, reinterpret_cast<LPARAM>(&f));
  return f.found;
}

BOOL CALLBACK ChildPendingProc(HWND hwnd, LPARAM param) {
  if (IsWindowVisible(hwnd) && GetUpdateRect(hwnd, nullptr, FALSE)) {
    *reinterpret_cast<bool*>(param) = true;
    return FALSE;
  }
  return TRUE;
}

// True while the window or one of its visible descendants still has an
// update region, i.e. a paint it has not begun.
bool PaintPending(HWND hwnd) {
  if (GetUpdateRect(hwnd, nullptr, FALSE)) return true;
  bool pending = false;
  EnumChildWindows(hwnd, ChildPendingProc, reinterpret_cast<LPARAM>(&pending));
  return pending;
}

// Waits for the first paint (see the top of the file); returns the window.
// seen is set when the window is first found visible.
HWND WaitForFirstPaint(const PROCESS_INFORMATION& pi, const std::string& title,
                       LARGE_INTEGER& seen, bool& pendingSeen) {
  const ULONGLONG deadline = GetTickCount64() + kWindowTimeoutMs;
  bool found = false;
  while (GetTickCount64() < deadline) {
    if (WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0) Fail("the program ended early");
    HWND hwnd = FindMainWindow(pi.dwProcessId, title);
    if (hwnd && !found) {
      QueryPerformanceCounter(&seen);
      found = true;
    }
    if (hwnd && !PaintPending(hwnd)) {
      DWORD_PTR result;
      if (!SendMessageTimeoutA(hwnd, WM_NULL, 0, 0, SMTO_NORMAL, kNullTimeoutMs, &result))
        Fail("the window did not answer WM_NULL: " + LastError());
      if (!PaintPending(hwnd)) return hwnd;
    }
    if (hwnd) pendingSeen = true;
    Sleep(kPollSleepMs);
  }
  Fail("no painted window \"" + title + "\" within " + std::to_string(kWindowTimeoutMs) + " ms");
}

// One start: adds the milliseconds from CreateProcess to the first paint (and
// to the window's first sight) to p's figures.
void MeasureOnce(TProgram& p, bool record) {
  RequireNoProductKey();
  STARTUPINFOA si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  std::string commandLine = "\"" + p.staged + "\"";
  LARGE_INTEGER t0, seen, t1;
  bool pendingSeen = false;
  QueryPerformanceCounter(&t0);
  if (!CreateProcessA(p.staged.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      p.folder.c_str(), &si, &pi))
    Fail("cannot start " + p.staged + ": " + LastError());
  HWND hwnd = nullptr;
  try {
    hwnd = WaitForFirstPaint(pi, p.title, seen, pendingSeen);
  } catch (const TFailure&) {
    TerminateProcess(pi.hProcess, 1);
    WaitForSingleObject(pi.hProcess, kExitTimeoutMs);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    throw;
  }
  QueryPerformanceCounter(&t1);
  // Setup on its Start page closes without a question.
  PostMessageA(hwnd, WM_CLOSE, 0, 0);
  const bool ended = WaitForSingleObject(pi.hProcess, kExitTimeoutMs) == WAIT_OBJECT_0;
  if (!ended) TerminateProcess(pi.hProcess, 1);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  if (!ended) Fail(p.label + " did not end after WM_CLOSE");
  if (record) {
    p.times.push_back(Millis(t0, t1));
    p.visible.push_back(Millis(t0, seen));
    p.pendingSeen += pendingSeen;
  }
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

double Mean(const std::vector<double>& v) {
  return std::accumulate(v.begin(), v.end(), 0.0) / double(v.size());
}

void PrintReport(const std::vector<TProgram>& programs, int runs) {
  std::printf("%-4s", "run");
  for (const auto& p : programs) std::printf(" %14s", p.label.c_str());
  std::printf("   (ms from CreateProcess to first paint)\n");
  for (int i = 0; i < runs; ++i) {
    std::printf("%-4d", i + 1);
    for (const auto& p : programs) std::printf(" %14.1f", p.times[i]);
    std::printf("\n");
  }
  const double floor = Median(programs[1].times);
  for (const auto& p : programs) {
    const double median = Median(p.times);
    std::printf(
        "%-14s median %7.1f ms  mean %7.1f ms  min %7.1f  max %7.1f  x%.2f of bare"
        "  (visible at median %.1f ms; paint seen pending in %d runs)\n",
        p.label.c_str(), median, Mean(p.times), *std::min_element(p.times.begin(), p.times.end()),
        *std::max_element(p.times.begin(), p.times.end()), median / floor, Median(p.visible),
        p.pendingSeen);
  }
  // setup.exe against each other program (goal: no later than the NSIS
  // installer and than an earlier build of itself: ratio <= 1.00).
  const double setup = Median(programs[0].times);
  for (size_t i = 1; i < programs.size(); ++i)
    std::printf("setup.exe / %-14s x%.2f\n", programs[i].label.c_str(),
                setup / Median(programs[i].times));
}

int Usage() {
  std::fprintf(stderr,
               "usage: startup_bench SETUP_EXE BARE_EXE [N] [EXTRA_EXE EXTRA_TITLE]...\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return Usage();
  int runs = 10;
  int next = 3;
  if (argc > 3) {
    runs = std::atoi(argv[3]);
    next = 4;
    if (runs < 1) return Usage();
  }
  if ((argc - next) % 2) return Usage();
  std::vector<TProgram> programs = {
      // setup.exe must be named so, or it starts as the un-installer.
      {"setup.exe", argv[1], "setup.exe", "", "", "Lanternfell Setup", {}, {}},
      {"BareWindow", argv[2], FileNameOf(argv[2]), "", "", "Bare Window", {}, {}}};
  for (int i = next; i < argc; i += 2) {
    std::string label = LabelOf(argv[i]);
    for (const auto& p : programs)
      if (LabelOf(p.name) == label) label = FolderNameOf(argv[i]) + "/" + label;
    programs.push_back({label, argv[i], FileNameOf(argv[i]), "", "", argv[i + 1], {}, {}});
  }

  std::string dir;
  int rc = 0;
  try {
    dir = MakeStagingFolder();
    for (size_t i = 0; i < programs.size(); ++i) {
      TProgram& p = programs[i];
      const std::string folder = dir + "\\" + std::to_string(i + 1);
      if (!CreateDirectoryA(folder.c_str(), nullptr))
        Fail("cannot create " + folder + ": " + LastError());
      p.folder = folder;
      const std::string staged = folder + "\\" + p.name;
      if (!CopyFileA(p.source.c_str(), staged.c_str(), FALSE))
        Fail("cannot copy " + p.source + ": " + LastError());
      p.staged = staged;
    }
    for (auto& p : programs) MeasureOnce(p, false);  // warm-up, not counted
    for (int i = 0; i < runs; ++i)
      for (auto& p : programs) MeasureOnce(p, true);
    PrintReport(programs, runs);
  } catch (const TFailure& f) {
    std::fprintf(stderr, "startup_bench: %s\n", f.text.c_str());
    rc = 1;
  }
  for (const auto& p : programs) {
    if (!p.staged.empty()) DeleteFileA(p.staged.c_str());
    if (!p.folder.empty()) RemoveDirectoryA(p.folder.c_str());
  }
  if (!dir.empty()) RemoveDirectoryA(dir.c_str());
  return rc;
}
