// The floor for the start-up benchmark: the least a Win32 GUI program does to
// put a window of the wizard's size on the screen (one class, one window of a
// 457x305 client area, default painting of the background, a message loop).
// Built a second time with LF_BARE_SETUP_DLLS (BareWindowDlls.exe): the same
// window, but importing every DLL setup.exe imports, to price their loading.
#include "util/Win.h"

namespace {

constexpr char kClassName[] = "BareWindowClass";
constexpr char kTitle[] = "Bare Window";
constexpr int kClientWidth = 457;
constexpr int kClientHeight = 305;

LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      BeginPaint(hwnd, &ps);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

#ifdef LF_BARE_SETUP_DLLS
// One function of each DLL that setup.exe imports besides the bare program's
// (the others it loads late, on first use), referenced so that the loader
// must bring them in; none is called.
void* volatile g_imports[] = {reinterpret_cast<void*>(&RegCloseKey),
                              reinterpret_cast<void*>(&GetStockObject)};
#endif

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = WndProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kClassName;
  if (!RegisterClassA(&wc)) return 1;

  // Same frame as the wizard: caption, system menu, fixed size.
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  RECT r{0, 0, kClientWidth, kClientHeight};
  AdjustWindowRectEx(&r, style, FALSE, 0);
  HWND hwnd = CreateWindowExA(0, kClassName, kTitle, style, CW_USEDEFAULT, CW_USEDEFAULT,
                              r.right - r.left, r.bottom - r.top, nullptr, nullptr, instance,
                              nullptr);
  if (!hwnd) return 1;
  ShowWindow(hwnd, SW_SHOWNORMAL);  // as the wizard does
  UpdateWindow(hwnd);

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
