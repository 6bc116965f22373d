// Display scale. Layout tables and font specs are written in pixels at 96 dpi;
// a window is laid out for the DPI of its monitor by scaling them by DPI / 96.
// The per-monitor functions of newer systems are looked up late; without them
// every window is at the system's DPI (LOGPIXELSY of the screen).
#pragma once
#include "util/Win.h"

namespace gui {

constexpr int kBaseDpi = 96;  // the DPI the tables are written for

// A length of the tables (pixels at 96 dpi) at dpi, rounded to the nearest
// pixel; at 96 dpi exactly the length itself.
inline int Scale(int pixels96, int dpi) {
  return dpi == kBaseDpi ? pixels96 : MulDiv(pixels96, dpi, kBaseDpi);
}

// The system's DPI: that of the primary monitor, which windows centred on the
// screen open on.
int SystemDpi();
// The DPI of the window's monitor, as the system scales for it; the system's
// DPI where the system has no per-monitor DPI.
int WindowDpi(HWND hwnd);
// AdjustWindowRectEx with the frame metrics of dpi.
void AdjustWindowRectForDpi(RECT& r, DWORD style, DWORD exStyle, int dpi);
// GetSystemMetrics for dpi (the system's own value where it has no such call).
int SystemMetricForDpi(int index, int dpi);

// Sent to a top-level window when it is moved to a monitor of another DPI:
// wParam holds the new DPI (both words), lParam the suggested window rectangle.
constexpr UINT kDpiChangedMessage = 0x02E0;  // WM_DPICHANGED

}  // namespace gui
