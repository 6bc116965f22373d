// The application object and its message loop.
#include "gui/Application.h"

#include "gui/Dpi.h"
#include "gui/Form.h"
#include "gui/Pump.h"
#include "gui/WinClasses.h"
#include "util/Errors.h"
#include "util/Message.h"
#include "util/Paths.h"
#include "util/Text.h"

namespace gui {

TApplication& Application() {
  static TApplication app;
  return app;
}

LRESULT CALLBACK ApplicationProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  TApplication& app = Application();
  switch (msg) {
    case WM_ACTIVATE:
      // Activated through its task-bar button (or Alt+Tab): hand the
      // activation on to the window the user last worked in.
      if (LOWORD(wp) != WA_INACTIVE) {
        HWND popup = GetLastActivePopup(hwnd);
        if (popup && popup != hwnd && IsWindowVisible(popup) && IsWindowEnabled(popup)) {
          SetActiveWindow(popup);
          return 0;
        }
      }
      break;
    case WM_CLOSE:  // "Close" on the task-bar button: ask the main form
      if (app.mainForm_ && app.mainForm_->Handle())
        PostMessageA(app.mainForm_->Handle(), WM_CLOSE, 0, 0);
      return 0;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

void TApplication::Initialize() {
  RegisterWindowClasses();
  if (title_.empty()) title_ = util::ChangeFileExt(util::ExtractFileName(util::GetExePath()), "");
  if (handle_) return;
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = ApplicationProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hIcon = Icon();
  wc.hIconSm = SmallIcon();
  wc.lpszClassName = kApplicationClass;
  RegisterClassExA(&wc);
  // A popup with a caption and no size, in the middle of the screen: the
  // task bar lists it (visible, no owner), nobody sees it.
  handle_ = CreateWindowExA(0, kApplicationClass, title_.c_str(),
                            WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPSIBLINGS,
                            GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2,
                            0, 0, nullptr, nullptr, wc.hInstance, nullptr);
}

void TApplication::SetTitle(const std::string& title) {
  title_ = title;
  if (handle_) SetWindowTextA(handle_, title_.c_str());
}

namespace {
// The program's icon at size x size pixels for a DPI other than the
// system's: a handle per size, kept (a form moved between monitors asks for
// the same few sizes again).
HICON IconOfSize(int size) {
  struct Entry {
    int size;
    HICON icon;
  };
  static Entry cache[8];
  for (const Entry& e : cache)
    if (e.icon && e.size == size) return e.icon;
  HANDLE icon = LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1), IMAGE_ICON, size, size, 0);
  if (!icon)
    icon = LoadImageA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION), IMAGE_ICON, size, size,
                      LR_SHARED);
  for (Entry& e : cache)
    if (!e.icon) {
      e = {size, static_cast<HICON>(icon)};
      break;
    }
  return static_cast<HICON>(icon);
}
}  // namespace

HICON TApplication::Icon(int dpi) const {
  if (dpi && dpi != SystemDpi()) return IconOfSize(SystemMetricForDpi(SM_CXICON, dpi));
  HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1));
  return icon ? icon : LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
}

// A class registered without a small icon gets one that the system makes for
// it by loading the large icon's resource again at the small size, once per
// class, before the first window; under Wine that is a measurable part of
// the start-up. The resource's own small image, loaded once, is the same
// picture. A shared load is keyed by the image it picks, not by the size asked
// for: at a small size that the resource has no image of (24 pixels at 144
// dpi takes its 32-pixel image, as the large icon does), it would return the
// large icon's handle. Such a size gets a handle of its own.
HICON TApplication::SmallIcon(int dpi) const {
  constexpr int kSmallImage = 16;  // the resource's small image
  if (dpi && dpi != SystemDpi()) return IconOfSize(SystemMetricForDpi(SM_CXSMICON, dpi));
  const int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
  if (cx != kSmallImage) return IconOfSize(cx);
  HANDLE icon =
      LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1), IMAGE_ICON, cx, cy, LR_SHARED);
  if (!icon)
    icon = LoadImageA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION), IMAGE_ICON, cx, cy,
                      LR_SHARED);
  return static_cast<HICON>(icon);
}

void TApplication::SetMainForm(TForm* form) {
  mainForm_ = form;
  util::SetMainWindow(form ? form->Handle() : nullptr);
}

void TApplication::Run() {
  if (mainForm_ && !mainForm_->Closed()) {
    mainForm_->Show();
    // The task-bar button, once the wizard has painted (nothing to see, so
    // it need not hold up the first paint).
    if (handle_) ShowWindow(handle_, SW_SHOWNA);
  }
  MSG msg;
  while (!mainForm_ || !mainForm_->Closed()) {
    BOOL r = GetMessageA(&msg, nullptr, 0, 0);
    if (r == 0 || r == -1) break;
    DispatchFormMessage(msg);
  }
  SetTerminated(true);
  if (handle_) ShowWindow(handle_, SW_HIDE);
}

void TApplication::ShowException(const std::exception& e) {
  const auto* general = dynamic_cast<const util::EGeneralError*>(&e);
  util::ShowMessage(general ? general->Message() : std::string(e.what()), title_);
}

}  // namespace gui
