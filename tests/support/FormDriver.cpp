// The in-process form driver (see FormDriver.h).
#include "tests/support/FormDriver.h"

#include <gtest/gtest.h>

#include <map>

#include "dialogs/WaitDlg.h"
#include "gui/Pump.h"

namespace testsupport {

namespace {

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

UINT_PTR Schedule(unsigned ms, std::function<bool()> pred, std::function<void()> f) {
  UINT_PTR id = SetTimer(nullptr, 0, ms, OnThreadTimer);
  Timers()[id] = {std::move(pred), std::move(f)};
  return id;
}

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM lp) {
  reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
  return TRUE;
}

}  // namespace

std::vector<HWND> ThreadTopWindows() {
  std::vector<HWND> all;
  EnumThreadWindows(GetCurrentThreadId(), CollectWindow, reinterpret_cast<LPARAM>(&all));
  return all;
}

UINT_PTR When(std::function<bool()> pred, std::function<void()> f) {
  return Schedule(25, std::move(pred), std::move(f));
}

void After(unsigned ms, std::function<void()> f) {
  Schedule(ms, [] { return true; }, std::move(f));
}

void Cancel(UINT_PTR id) {
  if (Timers().erase(id)) KillTimer(nullptr, id);
}

void CancelAll() {
  for (const auto& [id, pending] : Timers()) KillTimer(nullptr, id);
  Timers().clear();
}

bool PumpUntil(const std::function<bool()>& pred, unsigned limitMs) {
  DWORD start = GetTickCount();
  while (!pred() && GetTickCount() - start < limitMs) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) gui::DispatchFormMessage(msg);
    Sleep(5);
  }
  return pred();
}

void Pump(unsigned ms) {
  PumpUntil([] { return false; }, ms);
}

bool Press(gui::TControl* control) {
  if (!control || !Press(control->Handle())) return false;
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
  TypeKey(vk, shift);
  gui::PauseWithMessages(150);
}

void DrainQuit() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
  gui::SetTerminated(false);
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

TWatchdog::TWatchdog(unsigned ms)
    : id_(Schedule(ms, [] { return true; }, [] {
        ADD_FAILURE() << "watchdog: a modal loop did not end; quitting it";
        PostQuitMessage(0);
      })) {}

TWatchdog::~TWatchdog() {
  Cancel(id_);
  // A quit posted by the watchdog (or a loop that re-posted it) must not reach
  // the next test.
  DrainQuit();
}

}  // namespace testsupport
