// A stand-in for the product's main program, for the demo distribution: it
// shows that it started, in which folder, and what the default message in the
// store beside it holds (so a demo shows what setup wrote there).
#include "app/Version.h"
#include "store/FileMan1.h"
#include "util/Errors.h"
#include "util/Paths.h"
#include "util/Text.h"
#include "util/Win.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const std::string exe = util::GetExePath();
  app::InitDerivedNames(exe);
  const std::string home = util::ExtractFilePath(exe);
  std::string text = app::ProductName + " (demo stand-in) started.\r\n\r\nFolder: " +
                     util::GetCurrentDir() + "\r\nStore: " + home + app::StoreFileName +
                     "\r\n\r\n";
  try {
    util::TStringList lines;
    const std::string store = home + app::StoreFileName;
    if (!util::FileExists(store)) {
      text += "There is no message store yet.";
    } else {
      int rc = store::ReadStoreLines(lines, app::DefaultMessageKey, store);
      text += "Default message (store result " + util::IntToStr(rc) + "):\r\n\r\n" + lines.Text();
    }
  } catch (const util::EGeneralError& e) {
    text += "The store could not be read: " + e.Message();
  }
  MessageBoxA(nullptr, text.c_str(), app::ProductName.c_str(), MB_OK);
  return 0;
}
