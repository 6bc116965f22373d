// Entry point. Until the wizards are wired in, the program only computes its
// derived names and says that it is not built yet.
#include "app/Version.h"
#include "util/Message.h"
#include "util/Paths.h"
#include "util/Win.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  app::InitDerivedNames(util::GetExePath());
  util::ShowMessage("The " + app::ProductName + " setup wizard is not built yet.",
                    app::ProductName + " Setup");
  return 0;
}
