// The wizard test driver: thread timers, presses, typing, the box recorder,
// the watchdog and the per-test fixture.
#include "WizardDriver.h"

#include <map>

#include "app/Version.h"
#include "dialogs/WaitDlg.h"
#include "gui/Pump.h"
#include "tests/support/FormDriver.h"
#include "util/DirList.h"
#include "util/FileStream.h"
#include "util/Paths.h"
#include "util/Registry.h"
#include "util/System.h"

namespace wiztest {

namespace {

// The derived names (ExeStorePath, read by the store's init values) point at
// the test program, as start-up would point them at the installer.
class DerivedNamesEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    if (!app::DerivedNamesReady()) app::InitDerivedNames(util::GetExePath());
  }
};
[[maybe_unused]] const auto* const g_env =
    ::testing::AddGlobalTestEnvironment(new DerivedNamesEnvironment);

struct Pending {
  std::function<bool()> pred;
  std::function<void()> action;
};
std::map<UINT_PTR, Pending>& Timers() {
  static std::map<UINT_PTR, Pending> timers;
  return timers;
}

void CALLBACK OnThreadTimer(HWND, UINT, UINT_PTR id, DWORD) {
  auto it = Timers().find(id);
  if (it == Timers().end()) {
    KillTimer(nullptr, id);
    return;
  }
  if (!it->second.pred()) return;
  std::function<void()> action = std::move(it->second.action);
  KillTimer(nullptr, id);
  Timers().erase(it);
  action();
}

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM lp) {
  reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
  return TRUE;
}

}  // namespace

namespace detail {
std::vector<HWND> ThreadTopWindows() {
  std::vector<HWND> all;
  EnumThreadWindows(GetCurrentThreadId(), CollectWindow, reinterpret_cast<LPARAM>(&all));
  return all;
}
}  // namespace detail

UINT_PTR When(std::function<bool()> pred, std::function<void()> f) {
  UINT_PTR id = SetTimer(nullptr, 0, 25, OnThreadTimer);
  Timers()[id] = {std::move(pred), std::move(f)};
  return id;
}

void Cancel(UINT_PTR id) {
  if (Timers().erase(id)) KillTimer(nullptr, id);
}

bool Press(gui::TControl* control) {
  HWND h = control ? control->Handle() : nullptr;
  if (!h || !IsWindowEnabled(h) || !IsWindowVisible(h)) return false;
  PostMessageA(h, BM_CLICK, 0, 0);
  gui::ProcessMessages();
  return true;
}

void Type(gui::TControl* edit, const std::string& text) {
  for (char ch : text)
    SendMessageA(edit->Handle(), WM_CHAR, static_cast<unsigned char>(ch), 1);
}

void Erase(gui::TControl* edit) {
  SendMessageA(edit->Handle(), EM_SETSEL, 0, -1);
  SendMessageA(edit->Handle(), WM_CHAR, VK_BACK, 1);
}

void Key(gui::TForm& form, UINT vk, bool shift) {
  SetForegroundWindow(form.Handle());
  gui::ProcessMessages();
  testgui::TypeKey(vk, shift);
  gui::PauseWithMessages(150);
}

void CancelWaitDialogWhenReady() {
  // A person can press Cancel once the first tick has enabled it; the click is
  // posted so that the dialog's own loop handles it.
  When(
      [] {
        auto* wait = VisibleForm<dialogs::TWaitForm>();
        return wait && IsWindowEnabled(wait->CancelBtn->Handle());
      },
      [] { PostMessageA(VisibleForm<dialogs::TWaitForm>()->CancelBtn->Handle(), BM_CLICK, 0, 0); });
}

// --- TWatchdog -------------------------------------------------------------------

namespace {
void CALLBACK OnWatchdog(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  ADD_FAILURE() << "watchdog: a modal loop did not end; quitting it";
  PostQuitMessage(0);
}
}  // namespace

TWatchdog::TWatchdog(unsigned ms) { id_ = SetTimer(nullptr, 0, ms, OnWatchdog); }

TWatchdog::~TWatchdog() {
  KillTimer(nullptr, id_);
  // A quit posted by the watchdog (or a loop that re-posted it) must not reach
  // the next test.
  MSG msg;
  while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
  gui::SetTerminated(false);
}

// --- WizardFixture ---------------------------------------------------------------

void WizardFixture::SetUp() {
  TSandboxTest::SetUp();
  savedCwd_ = util::GetCurrentDir();
}

void WizardFixture::TearDown() {
  // Closing the setup wizard makes its folder the current directory.
  util::SetCurrentDir(savedCwd_);
  for (const auto& [id, pending] : Timers()) KillTimer(nullptr, id);
  Timers().clear();
  TSandboxTest::TearDown();
}

}  // namespace wiztest
