// The application object and its message loop.
#include "gui/Application.h"

#include "gui/Form.h"
#include "gui/Pump.h"
#include "gui/WinClasses.h"
#include "util/Errors.h"
#include "util/Message.h"

namespace gui {

TApplication& Application() {
  static TApplication app;
  return app;
}

void TApplication::Initialize() { RegisterWindowClasses(); }

void TApplication::SetTitle(const std::string& title) { title_ = title; }

HICON TApplication::Icon() const {
  if (icon_) return icon_;
  HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1));
  return icon ? icon : LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
}

void TApplication::SetIcon(HICON icon) {
  icon_ = icon;
  if (mainForm_ && mainForm_->Handle()) {
    SendMessageA(mainForm_->Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageA(mainForm_->Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  }
}

void TApplication::SetMainForm(TForm* form) {
  mainForm_ = form;
  util::SetMainWindow(form ? form->Handle() : nullptr);
}

void TApplication::Run() {
  if (mainForm_ && !mainForm_->Closed()) mainForm_->Show();
  MSG msg;
  while (!mainForm_ || !mainForm_->Closed()) {
    BOOL r = GetMessageA(&msg, nullptr, 0, 0);
    if (r == 0 || r == -1) break;
    DispatchFormMessage(msg);
  }
  SetTerminated(true);
}

void TApplication::ShowException(const std::exception& e) {
  const auto* general = dynamic_cast<const util::EGeneralError*>(&e);
  util::ShowMessage(general ? general->Message() : std::string(e.what()), title_);
}

}  // namespace gui
