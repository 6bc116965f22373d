// Entry point: derives the shared names from the executable's path, chooses
// the wizard from the file name and first argument, and runs it as the main
// form until it closes.
#include <memory>

#include "app/Startup.h"
#include "app/Version.h"
#include "gui/Application.h"
#include "gui/Form.h"
#include "setup/SetupDlg.h"
#include "uninstall/UninstDlg.h"
#include "util/Errors.h"
#include "util/Paths.h"
#include "util/Win.h"

namespace {
std::string FirstArgument() {
  return __argc > 1 && __argv[1] ? std::string(__argv[1]) : std::string();
}
}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const std::string exePath = util::GetExePath();
  // A folder whose name has no ANSI spelling and no short form: the box
  // naming it has been shown. Without its own path the program could tell
  // neither its mode nor where its distribution lies.
  if (exePath.empty()) return 0;
  app::InitDerivedNames(exePath);
  gui::TApplication& application = gui::Application();
  std::unique_ptr<gui::TForm> form;
  try {
    application.Initialize();
    if (app::SelectMode(exePath, FirstArgument()) == app::TMode::Setup) {
      form = std::make_unique<setup::TSetupForm>();
      application.SetMainForm(form.get());
      application.SetTitle(app::SetupTitle);
    } else {
      form = std::make_unique<uninstall::TUninstWiz>();
      application.SetMainForm(form.get());
      application.SetTitle(app::UninstallTitle);
    }
    application.Run();
  } catch (const util::EGeneralError& e) {
    application.ShowException(e);
  }
  application.SetMainForm(nullptr);
  return 0;
}
