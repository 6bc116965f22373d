// A guided tour of the real program for the demo and the README pictures:
// installs from a distribution folder, then un-installs with the installed
// UninstLN.exe, saving a screenshot of every page on the way.
//   tour DIST_DIR SHOTS_DIR
#include <cstdio>
#include <string>

#include "tests/e2e/Shot.h"
#include "tests/support/Windows.h"

using namespace testsupport;

namespace {
std::string g_shots;

void Shot(HWND hwnd, const char* name) {
  Sleep(400);  // let the page finish painting
  std::string path = g_shots + "\\" + name + ".bmp";
  std::printf("%s %s\n", SaveWindowShot(hwnd, path) ? "saved" : "FAILED", path.c_str());
}

HWND EditAfter(HWND form, const std::string& label) {
  HWND l = FindChild(form, label);
  return l ? GetWindow(l, GW_HWNDNEXT) : nullptr;
}

bool Fail(const char* what) {
  std::printf("tour: %s\n", what);
  return false;
}

bool AnswerNext(DWORD pid, const char* expect, int button) {
  TBoxWindow box;
  if (!WaitForBox(pid, box, 10000)) return Fail(expect);
  std::printf("box: [%s] %s\n", box.caption.c_str(), box.text.c_str());
  return Answer(box, button);
}

bool SetupTour(const std::string& dist) {
  TProcess p;
  if (!p.Start("\"" + dist + "\\setup.exe\"", dist)) return Fail("setup.exe did not start");
  HWND w = WaitForWindow(p.Pid(), "Lanternfell Setup", 20000);
  if (!w) return Fail("no setup window");
  Shot(w, "setup-1-start");
  Press(FindChild(w, "&Browse", "Button"));
  HWND browse = WaitForWindow(p.Pid(), "Select Directory", 10000);
  if (browse) {
    Shot(browse, "setup-browse");
    Press(FindChild(browse, "Cancel", "Button"));
    WaitForWindowGone(browse, 5000);
  }
  Press(FindChild(w, "Next", "Button"));
  Sleep(300);
  TypeInto(EditAfter(w, "Your &Address: (example: My Name <my.name@example.com>)"),
           "Ada Lovelace <ada@example.org>");
  TypeInto(EditAfter(w, "SMTP &Host:  (example: mail.example.com)"), "smtp.example.org");
  Shot(w, "setup-2-address");
  Press(FindChild(w, "Next", "Button"));
  Shot(w, "setup-3-review");
  Press(FindChild(w, "Install", "Button"));
  if (!AnswerNext(p.Pid(), "no Install now? box", IDOK)) return false;
  HWND wait = WaitForWindow(p.Pid(), "Lanternfell", 10000);
  if (wait) {
    Sleep(700);  // the message shows after one second (Shot waits a little too)
    Shot(wait, "setup-wait");
    WaitForWindowGone(wait, 15000);
  }
  if (!WaitUntil([&] { return FindChild(w, "Exit", "Button") != nullptr; }, 30000))
    return Fail("the Done page did not come");
  CloseFolderWindows("Lanternfell");  // the group's Explorer window would cover the wizard
  Shot(w, "setup-4-done");
  Press(FindChild(w, "Exit", "Button"));
  p.Wait(10000);
  return true;
}

bool UninstallTour(const std::string& home) {
  TProcess p;
  if (!p.Start("\"" + home + "\\UninstLN.exe\"", home)) return Fail("UninstLN.exe did not start");
  HWND w = WaitForWindow(p.Pid(), "Un-Install Wizard", 20000);
  if (!w) return Fail("no un-install window");
  Shot(w, "uninstall-1-start");
  Press(FindChild(w, "Next", "Button"));
  Shot(w, "uninstall-2-options");
  Press(FindChild(w, "Next", "Button"));
  Shot(w, "uninstall-3-review");
  Press(FindChild(w, "Finish", "Button"));
  if (!AnswerNext(p.Pid(), "no Uninstall now? box", IDOK)) return false;
  if (!WaitUntil([&] { return FindChild(w, "Exit", "Button") != nullptr; }, 30000))
    return Fail("the removal did not end");
  Shot(w, "uninstall-4-finish");
  Press(FindChild(w, "Exit", "Button"));
  p.Wait(10000);
  return true;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::printf("usage: tour DIST_DIR SHOTS_DIR\n");
    return 2;
  }
  g_shots = argv[2];
  CreateDirectoryA(g_shots.c_str(), nullptr);
  if (!SetupTour(argv[1])) return 1;
  // The product (a stand-in in the demo) starts on leaving: show and close it.
  HWND product = nullptr;
  WaitUntil([&] { return (product = FindWindowA("#32770", "Lanternfell")) != nullptr; }, 15000);
  if (product) {
    Shot(product, "product-started");
    PostMessageA(ChildById(product, IDOK), BM_CLICK, 0, 0);
  }
  if (!UninstallTour("C:\\Program Files\\Lanternfell")) return 1;
  std::printf("tour: done\n");
  return 0;
}
