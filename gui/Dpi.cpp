// The DPI of windows and the system, through the per-monitor functions where
// the system has them (Windows 10 1607 and later), else through the screen DC.
#include "gui/Dpi.h"

#include "util/LateLoad.h"

namespace gui {

namespace {
template <class F>
F User32(const char* name) {
  return util::LateProc<F>("user32.dll", name);
}
}  // namespace

int SystemDpi() {
  static int dpi = 0;  // fixed for the session: read once
  if (dpi) return dpi;
  using Fn = UINT(WINAPI*)();
  if (auto f = User32<Fn>("GetDpiForSystem")) dpi = static_cast<int>(f());
  if (dpi <= 0) {
    HDC screen = GetDC(nullptr);
    dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
  }
  if (dpi <= 0) dpi = kBaseDpi;
  return dpi;
}

int WindowDpi(HWND hwnd) {
  using Fn = UINT(WINAPI*)(HWND);
  static const Fn f = User32<Fn>("GetDpiForWindow");
  if (f && hwnd) {
    if (const int dpi = static_cast<int>(f(hwnd)); dpi > 0) return dpi;
  }
  return SystemDpi();
}

void AdjustWindowRectForDpi(RECT& r, DWORD style, DWORD exStyle, int dpi) {
  using Fn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
  static const Fn f = User32<Fn>("AdjustWindowRectExForDpi");
  if (f && f(&r, style, FALSE, exStyle, static_cast<UINT>(dpi))) return;
  AdjustWindowRectEx(&r, style, FALSE, exStyle);
}

int SystemMetricForDpi(int index, int dpi) {
  using Fn = int(WINAPI*)(int, UINT);
  static const Fn f = User32<Fn>("GetSystemMetricsForDpi");
  return f ? f(index, static_cast<UINT>(dpi)) : GetSystemMetrics(index);
}

}  // namespace gui
