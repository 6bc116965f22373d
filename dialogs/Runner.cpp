// The console program runner: one child process whose stdout and stderr share
// an anonymous pipe, waited for in short passes that keep the windows painting
// and drain the pipe, so that a chatty child never blocks on a full pipe.
#include "dialogs/Runner.h"

#include <commctrl.h>

#include "gui/Pump.h"
#include "util/System.h"

namespace dialogs {

const char kRunnerBusyLine[] = "RunConsoleProgram Error: another program is still running";

namespace {

constexpr DWORD kSuggestedPipeSize = 2500000;  // bytes; the system may grant less
constexpr DWORD kReadBufferSize = 1023;        // bytes per ReadFile
constexpr DWORD kPassWaitMs = 100;             // longest wait of one pass
constexpr DWORD kWatchdogMs = 30000;           // a pass starting this late ends the run
constexpr int kProgressWrapAbove = 100;        // a position above this...
constexpr int kProgressRestart = 20;           // ...restarts here

// On the 32-bit target these records have the sizes the system expects.
static_assert(sizeof(void*) != 4 || sizeof(SECURITY_ATTRIBUTES) == 12);
static_assert(sizeof(void*) != 4 || sizeof(STARTUPINFOA) == 68);

// Shared by all runs; the busy flag keeps a second run (started from a window
// handler that the first run's message processing calls) away from them.
char g_readBuffer[kReadBufferSize];
bool g_running = false;

class BusyGuard {
 public:
  BusyGuard() { g_running = true; }
  ~BusyGuard() { g_running = false; }
  BusyGuard(const BusyGuard&) = delete;
  BusyGuard& operator=(const BusyGuard&) = delete;
};

// Every entry of the output list is one line, the system's text included.
void AddError(TPipeRunner& r, const char* prefix) {
  const DWORD error = GetLastError();
  r.outputList->Add(util::SystemErrorMessage(prefix, error));
}

// Adopts a handle from CreatePipe, which must be neither null nor
// INVALID_HANDLE_VALUE.
bool Adopt(util::Handle& owner, HANDLE h) {
  if (h == nullptr || h == INVALID_HANDLE_VALUE) return false;
  owner.Reset(h);
  return true;
}

bool CreateRunnerPipe(TPipeRunner& r) {
  SECURITY_ATTRIBUTES sa{};
  sa.nLength = sizeof(sa);
  sa.lpSecurityDescriptor = nullptr;
  sa.bInheritHandle = TRUE;
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  r.pipeCreated = CreatePipe(&readEnd, &writeEnd, &sa, kSuggestedPipeSize) != FALSE;
  if (!r.pipeCreated) {
    AddError(r, "CreatePipe Error: ");
    return false;
  }
  bool readOk = Adopt(r.readEnd, readEnd);
  bool writeOk = Adopt(r.writeEnd, writeEnd);
  if (!readOk || !writeOk) {
    r.outputList->Add("CreatePipe Error: Not a valid Handle for STDIN/STDOUT");
    return false;
  }
  // Only the write end goes to the child. A child holding the read end as
  // well would keep the pipe open after we let go of it, and a child left
  // running after a cancel would then block forever on a full pipe instead
  // of seeing a broken one. Failing here changes nothing else, so it is not
  // reported.
  SetHandleInformation(r.readEnd.Get(), HANDLE_FLAG_INHERIT, 0);
  return true;
}

bool StartChild(TPipeRunner& r) {
  STARTUPINFOA si{};
  si.cb = sizeof(si);
  si.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
  si.wShowWindow = r.showWindow;
  si.hStdInput = nullptr;
  si.hStdOutput = r.writeEnd.Get();
  si.hStdError = r.writeEnd.Get();
  PROCESS_INFORMATION pi{};
  std::string cmd = r.commandLine;  // CreateProcessA may write into it
  r.processCreated = CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                    nullptr, &si, &pi) != FALSE;
  if (!r.processCreated) {
    AddError(r, "CreateProcess Error: ");
    return false;
  }
  util::Handle thread(pi.hThread);  // not needed: closed at once
  r.process.Reset(pi.hProcess);
  // The child has its own copy of the write end now. Dropping ours lets the
  // pipe break once the child (and anything it started) is gone; whatever it
  // wrote stays readable until drained, and the passes drain after the wait
  // that saw the child end, so nothing written before its exit is lost.
  r.writeEnd.Reset();
  return true;
}

// Bytes since the last LF build the partial line; an LF completes it. CR and
// NUL are dropped, so CR LF and LF endings give the same lines.
void AddChunk(TPipeRunner& r, const char* bytes, DWORD count) {
  for (DWORD i = 0; i < count; ++i) {
    char c = bytes[i];
    if (c == '\n') {
      r.outputList->Add(std::move(r.partialLine));
      r.partialLine.clear();
    } else if (c != '\r' && c != '\0') {
      r.partialLine.push_back(c);
    }
  }
}

// Reads one chunk; returns the bytes read (kReadBufferSize when the buffer
// was filled), 0 when nothing could be read.
DWORD ReadChunk(TPipeRunner& r) {
  DWORD got = 0;
  if (!ReadFile(r.readEnd.Get(), g_readBuffer, kReadBufferSize, &got, nullptr)) {
    AddError(r, "ReadFile Error: ");
    return 0;
  }
  AddChunk(r, g_readBuffer, got);
  return got;
}

// Reads while the pipe holds data. Peeking never blocks, so this works with
// the child still running; once the child is gone and the pipe is empty the
// peek fails (broken pipe), which also ends the loop.
void DrainPipe(TPipeRunner& r) {
  gui::ProcessMessages();
  DWORD available = 0;
  while (PeekNamedPipe(r.readEnd.Get(), nullptr, 0, nullptr, &available, nullptr) &&
         available > 0) {
    gui::ProcessMessages();
    if (ReadChunk(r) == 0) break;
  }
}

// A sign of life: one step per pass, back to 20 after passing 100.
void StepProgressBar(HWND bar) {
  SendMessageA(bar, PBM_DELTAPOS, 1, 0);
  auto pos = static_cast<uint16_t>(SendMessageA(bar, PBM_GETPOS, 0, 0));
  if (pos > kProgressWrapAbove) SendMessageA(bar, PBM_SETPOS, kProgressRestart, 0);
}

void QueryExitCode(TPipeRunner& r) {
  DWORD code = 0;
  r.exitCodeKnown = GetExitCodeProcess(r.process.Get(), &code) != FALSE;
  if (r.exitCodeKnown) {
    r.exitCode = code;
  } else {
    AddError(r, "GetExitCode Error: ");
  }
}

// The passes: wait up to 100 ms, show progress, honour the cancel flag, drain
// the pipe, take the exit code; until the child ends or the run is stopped.
void RunPasses(TPipeRunner& r) {
  DWORD armed = GetTickCount();  // the watchdog; unsigned difference survives wrap-around
  while (GetTickCount() - armed < kWatchdogMs) {
    gui::ProcessMessages();
    r.waitResult = WaitForSingleObject(r.process.Get(), kPassWaitMs);
    if (r.waitResult == WAIT_FAILED) {
      AddError(r, "WaitForSingle Error: ");
      return;
    }
    if (r.progressBar) StepProgressBar(r.progressBar);
    if (r.cancelFlag && *r.cancelFlag) {
      r.process.Reset();  // abandons the child; it keeps running
      return;
    }
    DrainPipe(r);
    armed = GetTickCount();
    QueryExitCode(r);
    if (r.waitResult != WAIT_TIMEOUT) return;
  }
}

}  // namespace

uint32_t RunConsoleProgram(const std::string& commandLine, util::TStringList& outputList,
                           uint16_t showWindow, HWND progressBar,
                           volatile unsigned char* cancelFlag) {
  if (g_running) {
    outputList.Add(kRunnerBusyLine);
    return 0;
  }
  BusyGuard busy;
  TPipeRunner r;
  r.commandLine = commandLine;
  r.outputList = &outputList;
  r.showWindow = showWindow;
  r.progressBar = progressBar;
  r.cancelFlag = cancelFlag;
  if (!CreateRunnerPipe(r) || !StartChild(r)) return 0;
  RunPasses(r);
  // The pipe and process handles close with the record.
  return (r.waitResult & 0xFFFFu) | ((r.exitCode & 0xFFFFu) << 16);
}

}  // namespace dialogs
