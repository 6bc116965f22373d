// The in-process form driver (see GuiDriver.h).
#include "tests/support/FormDriver.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "gui/Form.h"
#include "gui/Pump.h"

namespace testgui {

namespace {
std::map<UINT_PTR, std::function<void()>>& Pending() {
  static std::map<UINT_PTR, std::function<void()>> m;
  return m;
}

void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  auto it = Pending().find(id);
  if (it == Pending().end()) return;
  std::function<void()> f = std::move(it->second);
  Pending().erase(it);
  f();
}

UINT_PTR Schedule(unsigned ms, std::function<void()> f) {
  UINT_PTR id = SetTimer(nullptr, 0, ms, OnTimer);
  Pending()[id] = std::move(f);
  return id;
}
}  // namespace

void After(unsigned ms, std::function<void()> f) { Schedule(ms, std::move(f)); }

void When(std::function<bool()> pred, std::function<void()> f) {
  Schedule(20, [pred = std::move(pred), f = std::move(f)]() mutable {
    if (pred()) f();
    else When(std::move(pred), std::move(f));
  });
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

bool Press(HWND button) {
  if (!button || !IsWindowEnabled(button) || !IsWindowVisible(button)) return false;
  PostMessageA(button, BM_CLICK, 0, 0);
  return true;
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

void DrainQuit() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
  gui::SetTerminated(false);
}

TWatchdog::TWatchdog(unsigned ms)
    : id_(Schedule(ms, [] {
        ADD_FAILURE() << "watchdog: a modal loop did not end";
        PostQuitMessage(0);
      })) {}

TWatchdog::~TWatchdog() {
  KillTimer(nullptr, id_);
  if (Pending().erase(id_) == 0) DrainQuit();  // it fired: keep its quit from the next test
}

}  // namespace testgui
