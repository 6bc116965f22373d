// The console runner under Wine, with ConsoleHelper (built beside this test)
// as the child. Timing is never asserted: where a test needs a child to act at
// a given moment, the child waits on a named event that the test sets from
// the runner's own passes (seen through a recorded progress bar).
#include "dialogs/Runner.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

using namespace dialogs;

namespace {

using Lines = std::vector<std::string>;

constexpr uint16_t kStillRunning = WAIT_TIMEOUT;  // 0x0102

std::string TestDir() {
  char buf[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, buf, MAX_PATH);
  std::string path(buf, n);
  return path.substr(0, path.find_last_of("\\/") + 1);
}

// A command line running the helper with the given steps.
std::string Helper(const std::string& steps) {
  return "\"" + TestDir() + LF_CONSOLE_HELPER_NAME + "\" " + steps;
}

uint16_t Low(uint32_t result) { return result & 0xFFFF; }
uint16_t High(uint32_t result) { return result >> 16; }

uint32_t Launch(const std::string& commandLine, util::TStringList& out, HWND bar = nullptr,
                volatile unsigned char* cancel = nullptr) {
  return RunConsoleProgram(commandLine, out, SW_HIDE, bar, cancel);
}

// The handles open in this process. Wine's GetProcessHandleCount answers 0,
// so every handle value is asked about instead.
int CountOpenHandles() {
  int count = 0;
  DWORD flags = 0;
  for (uintptr_t value = 4; value < 0x10000; value += 4)
    if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++count;
  return count;
}

// A manual-reset event that the child finds by name.
class NamedEvent {
 public:
  NamedEvent() {
    static int serial = 0;
    name_ =
        "lf_runner_test_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++serial);
    h_ = CreateEventA(nullptr, TRUE, FALSE, name_.c_str());
  }
  ~NamedEvent() { CloseHandle(h_); }
  NamedEvent(const NamedEvent&) = delete;
  NamedEvent& operator=(const NamedEvent&) = delete;
  const std::string& Name() const { return name_; }
  void Set() { SetEvent(h_); }
  bool IsSet() const { return WaitForSingleObject(h_, 0) == WAIT_OBJECT_0; }
  // A deadline for a child that must act, not a timing check.
  bool WaitUpTo(DWORD ms) const { return WaitForSingleObject(h_, ms) == WAIT_OBJECT_0; }

 private:
  std::string name_;
  HANDLE h_ = nullptr;
};

// A hidden window holding a real progress bar whose every position change is
// recorded. A change by +1 is one runner pass and calls onPass(pass number);
// a WM_APP posted to the frame runs onMessage inside the runner's message
// processing, as a window handler would.
class ProgressProbe {
 public:
  ProgressProbe(int low, int high, int start) : start_(start) {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&icc);
    RegisterFrameClass();
    frame_ = CreateWindowExA(0, kFrameClass, "runner test", WS_OVERLAPPEDWINDOW, 0, 0, 300, 100,
                             nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    bar_ = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE, 10, 10, 200, 20, frame_,
                           nullptr, GetModuleHandleA(nullptr), nullptr);
    SendMessageA(bar_, PBM_SETRANGE32, low, high);
    SendMessageA(bar_, PBM_SETPOS, start, 0);
    original_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(bar_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&BarProc)));
    current_ = this;
    if (!Ready()) error_ = GetLastError();
  }
  ~ProgressProbe() {
    current_ = nullptr;
    DestroyWindow(frame_);
  }
  ProgressProbe(const ProgressProbe&) = delete;
  ProgressProbe& operator=(const ProgressProbe&) = delete;

  bool Ready() const { return frame_ && bar_ && original_; }
  DWORD Error() const { return error_; }
  HWND Bar() const { return bar_; }
  HWND Frame() const { return frame_; }

  std::vector<int> positions;  // after each position-changing message
  int passes = 0;
  std::function<void(int)> onPass;
  std::function<void()> onMessage;

 private:
  static constexpr const char* kFrameClass = "LfRunnerTestFrame";

  static void RegisterFrameClass() {
    static bool done = false;
    if (done) return;
    WNDCLASSA wc{};
    wc.lpfnWndProc = &FrameProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kFrameClass;
    done = RegisterClassA(&wc) != 0;
  }
  static LRESULT CALLBACK FrameProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
    if (msg == WM_APP && current_ && current_->onMessage) {
      current_->onMessage();
      return 0;
    }
    return DefWindowProcA(h, msg, w, l);
  }
  static LRESULT CALLBACK BarProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
    ProgressProbe* self = current_;
    LRESULT result = CallWindowProcA(self->original_, h, msg, w, l);
    if (msg == PBM_DELTAPOS || msg == PBM_SETPOS || msg == PBM_STEPIT)
      self->Record(static_cast<int>(CallWindowProcA(self->original_, h, PBM_GETPOS, 0, 0)));
    return result;
  }
  void Record(int pos) {
    int before = positions.empty() ? start_ : positions.back();
    positions.push_back(pos);
    if (pos == before + 1) {
      ++passes;
      if (onPass) onPass(passes);
    }
  }

  static inline ProgressProbe* current_ = nullptr;
  int start_;
  HWND frame_ = nullptr;
  HWND bar_ = nullptr;
  WNDPROC original_ = nullptr;
  DWORD error_ = 0;
};

TEST(RunnerTest, MissingProgramGivesResultZeroAndOneCreateProcessLine) {
  util::TStringList out;
  out.Add("earlier line");
  uint32_t result = Launch("\"" + TestDir() + "no_such_program_lf.exe\" x", out);
  EXPECT_EQ(result, 0u);
  ASSERT_EQ(out.Count(), 2);
  EXPECT_EQ(out[0], "earlier line");  // the list is appended to
  const std::string prefix = "CreateProcess Error: ";
  EXPECT_EQ(out[1].compare(0, prefix.size(), prefix), 0) << out[1];
  EXPECT_GT(out[1].size(), prefix.size()) << "the system's text follows";
  EXPECT_EQ(out[1].find_first_of("\r\n"), std::string::npos) << "one line, no line end";

  util::TStringList empty;
  EXPECT_EQ(Launch("", empty), 0u);
  ASSERT_EQ(empty.Count(), 1);
  EXPECT_EQ(empty[0].compare(0, prefix.size(), prefix), 0) << empty[0];
}

TEST(RunnerTest, LinesEndAtLfWithCrAndNulDroppedAndStderrMerged) {
  util::TStringList out;
  uint32_t result = Launch(Helper("out:one\\r\\ntwo\\n err:three\\n out:fo\\0ur\\r\\n"), out);
  EXPECT_EQ(result, 0u);
  EXPECT_EQ(out.Lines(), (Lines{"one", "two", "three", "four"}));
}

TEST(RunnerTest, UnterminatedLastLineIsNotAddedNorCarriedIntoTheNextRun) {
  util::TStringList out;
  EXPECT_EQ(Launch(Helper("out:one\\ntwo\\nunfinished"), out), 0u);
  EXPECT_EQ(out.Lines(), (Lines{"one", "two"}));

  EXPECT_EQ(Launch(Helper("out:next\\n"), out), 0u);
  EXPECT_EQ(out.Lines(), (Lines{"one", "two", "next"}));
}

TEST(RunnerTest, LoneLfChunkEndsThePendingLine) {
  // The child writes "abc", signals, and writes the LF only when told. The
  // pass that sees the signal drains "abc"; the LF is released one pass later
  // and, being the last byte written, arrives alone.
  NamedEvent written, release;
  ProgressProbe probe(0, 1000, 0);
  ASSERT_TRUE(probe.Ready()) << "window error " << probe.Error();
  util::TStringList out;
  int seenAt = 0;
  int linesWhenReleased = -1;
  probe.onPass = [&](int pass) {
    if (seenAt == 0 && written.IsSet()) {
      seenAt = pass;
    } else if (seenAt != 0 && pass == seenAt + 1) {
      linesWhenReleased = out.Count();
      release.Set();
    }
  };
  uint32_t result =
      Launch(Helper("out:abc set:" + written.Name() + " wait:" + release.Name() + " out:\\n"), out,
             probe.Bar());
  EXPECT_EQ(result, 0u);
  EXPECT_EQ(linesWhenReleased, 0) << "\"abc\" alone must not end a line";
  EXPECT_EQ(out.Lines(), (Lines{"abc"}));
}

TEST(RunnerTest, ExitCodeGoesToTheHighHalfAndTheEndedWaitToTheLow) {
  util::TStringList out;
  EXPECT_EQ(Launch(Helper("exit:3"), out), 0x00030000u);
  EXPECT_EQ(Launch(Helper("out:x\\n exit:0x12345"), out), 0x23450000u);  // low 16 bits only
  EXPECT_EQ(out.Lines(), (Lines{"x"}));
}

TEST(RunnerTest, CancelFlagStopsWithinOnePassAndLeavesTheProgramRunning) {
  // The child prints, signals, then waits; the flag goes up in the pass after
  // the one that saw the signal (which drained the line and took the exit
  // code of the still running child).
  NamedEvent started, go, done;
  ProgressProbe probe(0, 1000, 0);
  ASSERT_TRUE(probe.Ready()) << "window error " << probe.Error();
  util::TStringList out;
  volatile unsigned char cancel = 0;
  int seenAt = 0, cancelAt = 0;
  probe.onPass = [&](int pass) {
    if (seenAt == 0 && started.IsSet()) {
      seenAt = pass;
    } else if (seenAt != 0 && cancelAt == 0) {
      cancelAt = pass;
      cancel = 1;
    }
  };
  uint32_t result = Launch(Helper("out:before\\n set:" + started.Name() + " wait:" + go.Name() +
                                  " spill:4000000 set:" + done.Name()),
                           out, probe.Bar(), &cancel);
  ASSERT_NE(cancelAt, 0);
  EXPECT_EQ(probe.passes, cancelAt) << "the pass that saw the flag is the last";
  EXPECT_EQ(Low(result), kStillRunning);
  EXPECT_EQ(High(result), STILL_ACTIVE & 0xFFFF) << "the exit code of the pass before";
  EXPECT_EQ(out.Lines(), (Lines{"before"}));
  go.Set();
  // Its later output meets a broken pipe rather than a full one that nobody
  // reads, so it can still finish.
  EXPECT_TRUE(done.WaitUpTo(30000)) << "the abandoned program runs on";

  // A flag set before the start: one pass, no exit code obtained yet.
  NamedEvent go2;
  util::TStringList out2;
  volatile unsigned char preset = 1;
  EXPECT_EQ(Launch(Helper("wait:" + go2.Name()), out2, nullptr, &preset), uint32_t{kStillRunning});
  EXPECT_EQ(out2.Count(), 0);
  go2.Set();
}

TEST(RunnerTest, OutputLargerThanThePipeBufferIsAllCollected) {
  constexpr int kLines = 30000;
  constexpr int kLength = 99;  // plus LF: 3,000,000 bytes, above the 2,500,000 asked for
  util::TStringList out;
  uint32_t result =
      Launch(Helper("lines:" + std::to_string(kLines) + ":" + std::to_string(kLength)), out);
  EXPECT_EQ(result, 0u);
  ASSERT_EQ(out.Count(), kLines);
  char num[16];
  for (int i = 0; i < kLines; ++i) {
    std::snprintf(num, sizeof num, "%07d", i);
    std::string expected(num);
    expected.resize(kLength, '.');
    ASSERT_EQ(out[i], expected) << "line " << i;
  }
}

TEST(RunnerTest, ProgressBarClimbsToHundredAndOneAndRestartsAtTwentyInThatPass) {
  NamedEvent go;
  ProgressProbe probe(0, 200, 99);
  ASSERT_TRUE(probe.Ready()) << "window error " << probe.Error();
  probe.onPass = [&](int pass) {
    if (pass == 4) go.Set();
  };
  util::TStringList out;
  EXPECT_EQ(Launch(Helper("wait:" + go.Name()), out, probe.Bar()), 0u);
  ASSERT_GE(probe.positions.size(), 5u);
  EXPECT_EQ(std::vector<int>(probe.positions.begin(), probe.positions.begin() + 5),
            (std::vector<int>{100, 101, 20, 21, 22}));
  for (size_t k = 3; k < probe.positions.size(); ++k)
    EXPECT_EQ(probe.positions[k], probe.positions[k - 1] + 1) << "step " << k;
  EXPECT_EQ(probe.passes + 1, static_cast<int>(probe.positions.size())) << "one restart only";
}

TEST(RunnerTest, RunsLeaveNoHandleOpen) {
  NamedEvent go;
  util::TStringList out;
  volatile unsigned char cancel = 1;
  auto runAll = [&] {
    Launch(Helper("out:x\\n exit:2"), out);
    Launch("\"" + TestDir() + "no_such_program_lf.exe\"", out);
    Launch(Helper("wait:" + go.Name()), out, nullptr, &cancel);
  };
  runAll();  // first runs may load what later ones share
  const int before = CountOpenHandles();
  ASSERT_GT(before, 0);
  runAll();
  runAll();
  EXPECT_EQ(CountOpenHandles(), before);
  go.Set();
}

TEST(RunnerTest, NestedRunIsRefusedWithoutDisturbingTheFirst) {
  NamedEvent go;
  ProgressProbe probe(0, 1000, 0);
  ASSERT_TRUE(probe.Ready()) << "window error " << probe.Error();
  util::TStringList outer, inner;
  uint32_t innerResult = 1;
  bool handled = false;
  probe.onPass = [&](int pass) {
    if (pass == 1) PostMessageA(probe.Frame(), WM_APP, 0, 0);
    if (pass == 3) go.Set();
  };
  probe.onMessage = [&] {
    handled = true;
    innerResult = Launch(Helper("out:inner\\n"), inner);
  };
  uint32_t result = Launch(Helper("out:first\\n wait:" + go.Name() + " out:second\\n exit:4"),
                           outer, probe.Bar());
  ASSERT_TRUE(handled) << "the handler must run inside the first run";
  EXPECT_EQ(innerResult, 0u);
  EXPECT_EQ(inner.Lines(), (Lines{kRunnerBusyLine}));
  EXPECT_EQ(result, 0x00040000u);
  EXPECT_EQ(outer.Lines(), (Lines{"first", "second"}));

  util::TStringList later;
  EXPECT_EQ(Launch(Helper("out:later\\n"), later), 0u) << "runs are accepted again afterwards";
  EXPECT_EQ(later.Lines(), (Lines{"later"}));
}

}  // namespace
