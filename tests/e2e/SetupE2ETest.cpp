// The real setup.exe (and the UninstLN.exe it installs), started from a
// staged distribution and worked from outside as a person would.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <vector>

#include "app/Version.h"
#include "dialogs/Runner.h"
#include "setup/InstallSteps.h"
#include "store/FileMan1.h"
#include "tests/e2e/Stage.h"
#include "tests/support/ShellLinkReader.h"
#include "tests/support/RefusedFolders.h"
#include "tests/support/TempDir.h"
#include "tests/support/Unspellable.h"
#include "tests/support/Windows.h"
#include "util/AnsiPath.h"
#include "util/DirList.h"
#include "util/FileStream.h"
#include "util/Registry.h"
#include "util/Text.h"

#include <tlhelp32.h>  // after util/Win.h (through the driver): it needs windows.h

using namespace testsupport;

namespace {
constexpr unsigned kLong = 30000;

const char* const kPageLabels[] = {"&Destination Folder", "E-Address && Mail Server",
                                   "Review Setup", "Installation complete!"};

// One running setup wizard.
class TSetupRun {
 public:
  // Started in the distribution folder (a double click), or with another
  // current folder (from a console elsewhere).
  explicit TSetupRun(const TStage& stage, const std::string& cwd = "") : stage_(stage) {
    EXPECT_TRUE(p_.Start("\"" + stage.Dist + "\\setup.exe\"", cwd.empty() ? stage.Dist : cwd));
    w_ = WaitForWindow(p_.Pid(), "Lanternfell Setup", kLong);
    EXPECT_NE(w_, nullptr) << "no wizard window";
  }
  // Started by its UTF-16 path, as Explorer starts a setup.exe whose folder
  // the ANSI code page cannot spell.
  TSetupRun(const TStage& stage, const std::wstring& dist) : stage_(stage) {
    EXPECT_TRUE(p_.Start(L"\"" + dist + L"\\setup.exe\"", dist));
    w_ = WaitForWindow(p_.Pid(), "Lanternfell Setup", kLong);
    EXPECT_NE(w_, nullptr) << "no wizard window";
  }
  ~TSetupRun() { p_.Kill(); }

  HWND Window() const { return w_; }
  DWORD Pid() const { return p_.Pid(); }
  TProcess& Process() { return p_; }
  HWND Button(const std::string& caption) const { return FindChild(w_, caption, "Button"); }
  bool PressButton(const std::string& caption) { return Press(Button(caption)); }
  HWND EditAfter(const std::string& label) const {
    HWND l = FindChild(w_, label);
    return l ? GetWindow(l, GW_HWNDNEXT) : nullptr;
  }
  HWND FolderEdit() const { return EditAfter("&Destination Folder"); }
  HWND AddressEdit() const {
    return EditAfter("Your &Address: (example: My Name <my.name@example.com>)");
  }
  HWND HostEdit() const { return EditAfter("SMTP &Host:  (example: mail.example.com)"); }
  // The page whose title label shows, or -1.
  int Page() const {
    for (int i = 0; i < 4; ++i) {
      HWND l = FindChild(w_, kPageLabels[i]);
      if (l && IsWindowVisible(l)) return i;
    }
    return -1;
  }
  bool WaitPage(int page, unsigned ms = kLong) const {
    return WaitUntil([&] { return Page() == page; }, ms);
  }
  // Expects a box with this text and answers it.
  void ExpectBox(const std::string& text, const std::string& caption, int button) {
    TBoxWindow box;
    ASSERT_TRUE(WaitForBox(p_.Pid(), box, kLong)) << "no box \"" << text << "\"";
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(box.caption, caption);
    ASSERT_TRUE(Answer(box, button));
    WaitForWindowGone(box.hwnd, 5000);
  }
  bool NoBoxWithin(unsigned ms) {
    TBoxWindow box;
    return !WaitForBox(p_.Pid(), box, ms);
  }
  // From the Start page to Review with the given answers.
  void FillAndReview(const std::string& home, const std::string& addr, const std::string& host) {
    TypeInto(FolderEdit(), home);
    ASSERT_TRUE(PressButton("Next"));
    ASSERT_TRUE(WaitPage(1));
    TypeInto(AddressEdit(), addr);
    TypeInto(HostEdit(), host);
    ASSERT_TRUE(PressButton("Next"));
    ASSERT_TRUE(WaitPage(2));
  }
  // Install from the Review page, through "Install now?" and the wait dialog.
  void Install() {
    ASSERT_TRUE(PressButton("Install"));
    ExpectBox("Install now?", "Lanternfell", IDOK);
  }
  void UncheckRun() {
    HWND run = FindChild(w_, "&Run Lanternfell", "Button");
    if (run && IsChecked(run)) SendMessageA(run, BM_CLICK, 0, 0);
  }

 private:
  TStage stage_;
  TProcess p_;
  HWND w_ = nullptr;
};

std::string SetupExe() { return UnixToWin(LF_SETUP_EXE); }

util::TStringList StoreLines(const std::string& home, const std::string& key) {
  util::TStringList l;
  store::ReadStoreLines(l, key, home + "\\" + app::StoreFileName);
  return l;
}

std::string RegValue(const std::string& name) {
  util::TRegistry reg;
  if (!reg.OpenKey(app::ProductRegistryKey, false)) return "<no key>";
  return reg.ReadString(name);
}

// The file names of the DLLs loaded in the process, in lower case.
std::vector<std::string> LoadedDlls(DWORD pid) {
  std::vector<std::string> names;
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE | TH32CS_SNAPMODULE32, pid);
  if (snap == INVALID_HANDLE_VALUE) return names;
  MODULEENTRY32 m{};
  m.dwSize = sizeof m;
  for (BOOL ok = Module32First(snap, &m); ok; ok = Module32Next(snap, &m))
    names.push_back(util::LowerCase(m.szModule));
  CloseHandle(snap);
  return names;
}

bool HasDll(const std::vector<std::string>& dlls, const std::string& name) {
  return std::find(dlls.begin(), dlls.end(), name) != dlls.end();
}

// Installs once through the wizard (a first installation), started in the
// folder cwd (the distribution folder when empty).
void FirstInstall(const TStage& s, const std::string& cwd = "") {
  TSetupRun run(s, cwd);
  run.FillAndReview(s.Home, "Ada <ada@example.org>", "smtp.example.org");
  run.Install();
  ASSERT_TRUE(run.WaitPage(3));
  run.UncheckRun();
  ASSERT_TRUE(run.PressButton("Exit"));
  EXPECT_TRUE(run.Process().Wait(kLong));
  CloseFolderWindows("Lanternfell");
}

// The un-installer's Options page as it shows the home: the product's and
// Mixmaster's check boxes.
struct TOptions {
  HWND app = nullptr, mix = nullptr;
};

// Works the un-install wizard w of process pid as a person would: Next to
// Options, where check looks at the boxes once they show (Mixmaster's too
// when withMix); Next, Finish, OK to "Uninstall now?", and Exit once the
// removal is done.
void WorkUninstaller(HWND w, DWORD pid, const TStage& s, bool withMix,
                     const std::function<void(const TOptions&)>& check) {
  ASSERT_TRUE(Press(FindChild(w, "Next", "Button")));
  const std::string shown = util::LowerCase(s.Home);
  TOptions o;
  ASSERT_TRUE(WaitUntil(
      [&] {
        o.app = FindChild(w, "Lanternfell  { " + shown + " }", "Button");
        o.mix = FindChild(w, "Mixmaster    { " + shown + " }", "Button");
        return o.app && (o.mix || !withMix) && IsWindowVisible(o.app);
      },
      kLong));
  check(o);
  ASSERT_TRUE(Press(FindChild(w, "Next", "Button")));
  ASSERT_TRUE(WaitUntil([&] { return FindChild(w, "Finish", "Button") != nullptr; }, kLong));
  ASSERT_TRUE(Press(FindChild(w, "Finish", "Button")));
  TBoxWindow box;
  ASSERT_TRUE(WaitForBox(pid, box, kLong));
  EXPECT_EQ(box.text, "Uninstall now?");
  Answer(box, IDOK);
  ASSERT_TRUE(WaitUntil(
      [&] {
        HWND exit = FindChild(w, "Exit", "Button");
        return exit && IsWindowEnabled(exit);
      },
      60000));
  ASSERT_TRUE(Press(FindChild(w, "Exit", "Button")));
}

// Runs the installed un-installer from its home and works it.
void RunUninstaller(const TStage& s, bool withMix,
                    const std::function<void(const TOptions&)>& check) {
  TProcess p;
  ASSERT_TRUE(p.Start("\"" + s.Home + "\\UninstLN.exe\"", s.Home));
  HWND w = WaitForWindow(p.Pid(), "Un-Install Wizard", kLong);
  ASSERT_NE(w, nullptr);
  ASSERT_NO_FATAL_FAILURE(WorkUninstaller(w, p.Pid(), s, withMix, check));
  EXPECT_TRUE(p.Wait(kLong));
}

// What Wine's list of installed programs shows: one line per entry, the
// entry's key and its display name ("Lanternfell|||Lanternfell").
util::TStringList InstalledProgramsList() {
  util::TStringList lines;
  dialogs::RunConsoleProgram("uninstaller.exe --list", lines, SW_HIDE, nullptr, nullptr);
  return lines;
}

bool ListsTheProduct(const util::TStringList& list) {
  return list.IndexOf(app::ProductName + "|||" + app::ProductName) >= 0;
}

// Removes the product the way the system's list of installed programs does:
// Wine's uninstaller starts the entry's UninstallString and waits for it;
// the un-install wizard that opens is worked as a person would.
void UninstallFromTheSystemsList(const TStage& s) {
  TProcess client;
  ASSERT_TRUE(client.Start("uninstaller.exe --remove " + app::ProductName, ""));
  HWND w = nullptr;
  ASSERT_TRUE(WaitUntil(
      [&] {
        w = FindWindowA(nullptr, "Un-Install Wizard");
        return w && IsWindowVisible(w);
      },
      kLong))
      << "the entry's UninstallString opened no un-install wizard";
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  ASSERT_NE(pid, client.Pid());
  ASSERT_NO_FATAL_FAILURE(
      WorkUninstaller(w, pid, s, false, [](const TOptions& o) { EXPECT_TRUE(IsChecked(o.app)); }));
  EXPECT_TRUE(client.Wait(kLong)) << "the system's client still waits for the un-installer";
}

std::string EntryValue(const std::string& name) {
  util::TRegistry reg;
  if (!reg.OpenKey(app::UninstallEntryKey, false)) return "<no key>";
  return reg.ReadString(name);
}

// C:\Program Files made a place where nobody can create a folder, as it is
// for a standard user of Windows, for as long as the object lives: the
// folder is moved aside and a file takes its name.
class TProgramFilesRefused {
 public:
  TProgramFilesRefused() {
    ok_ = MoveFileA(kFolder, kAside) && util::WriteWholeFile(kFolder, "not a folder");
  }
  ~TProgramFilesRefused() {
    DeleteFileA(kFolder);
    if (util::DirectoryExists(kAside)) MoveFileA(kAside, kFolder);
  }
  bool Ok() const { return ok_; }

 private:
  static constexpr const char* kFolder = "C:\\Program Files";
  static constexpr const char* kAside = "C:\\Program Files.lf-aside";
  bool ok_ = false;
};

// The items of a folder list, as it shows them (indented two blanks a level).
std::vector<std::string> ListItems(HWND list) {
  std::vector<std::string> items;
  const int n = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < n; ++i) {
    // Asked in the wide form: from another process Wine hands the text over
    // wide whatever the window's own form.
    const int len = static_cast<int>(SendMessageW(list, LB_GETTEXTLEN, i, 0));
    std::vector<wchar_t> wide(len > 0 ? len + 1 : 1, L'\0');
    if (len > 0) SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(wide.data()));
    std::vector<char> buf(2 * wide.size() + 1, '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), -1, buf.data(), static_cast<int>(buf.size()),
                        nullptr, nullptr);
    items.emplace_back(buf.data());
  }
  return items;
}

// Opens folder in the "Select Directory" dialog as a person would: a double
// click on the drive, then on each folder down to it.
bool BrowseTo(HWND browse, const std::string& folder) {
  HWND list = FindWindowExA(browse, nullptr, "ListBox", nullptr);  // the folder list
  if (!list || folder.size() < 3) return false;
  std::vector<std::string> parts = {util::UpperCase(folder.substr(0, 3))};
  for (size_t start = 3; start < folder.size();) {
    size_t end = folder.find('\\', start);
    if (end == std::string::npos) end = folder.size();
    if (end > start) parts.push_back(folder.substr(start, end - start));
    start = end + 1;
  }
  for (size_t level = 0; level < parts.size(); ++level) {
    const std::string want = std::string(level * 2, ' ') + parts[level];
    const std::vector<std::string> items = ListItems(list);
    int index = -1;
    for (size_t i = 0; i < items.size() && index < 0; ++i)
      if (util::SameText(items[i], want)) index = static_cast<int>(i);
    if (index < 0) {
      ADD_FAILURE() << "no item \"" << want << "\" in the folder list";
      return false;
    }
    SendMessageA(list, LB_SETCURSEL, index, 0);
    SendMessageA(browse, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), LBN_DBLCLK),
                 reinterpret_cast<LPARAM>(list));
  }
  return true;
}

// Documents as the system records it for the user.
std::string DocumentsFolder() {
  util::TRegistry reg;
  if (!reg.OpenKey("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", false))
    return std::string();
  return reg.ReadString("Personal");
}

}  // namespace

TEST(SetupE2ETest, FirstInstallationEndToEnd) {
  TStage s = StageDistribution(SetupExe(), "first");
  FirstInstall(s);
  for (const char* f : {"UninstLN.exe", "LN.exe", "LN.ini", "LN.dbc", "License.txt", "ReadMe.txt",
                        "QuickStart.rtf"})
    EXPECT_TRUE(util::FileExists(s.Home + "\\" + f)) << f;
  EXPECT_FALSE(util::FileExists(s.Home + "\\setup.exe"));
  EXPECT_EQ(ReadFileText(s.Home + "\\UninstLN.exe"), ReadFileText(s.Dist + "\\setup.exe"));
  // The seed store, written with the engine, has its empty journal beside it
  // in the distribution; that is the distribution's, and the home gets none.
  EXPECT_TRUE(util::FileExists(s.Dist + "\\LN.ini.jnl"));
  EXPECT_FALSE(util::FileExists(s.Home + "\\LN.ini.jnl"));

  util::TStringList msg = StoreLines(s.Home, app::DefaultMessageKey);
  ASSERT_EQ(msg.Count(), 8);
  EXPECT_EQ(msg[1], "Host: smtp.example.org");
  EXPECT_EQ(msg[2], "From: Ada <ada@example.org>");
  EXPECT_EQ(msg[7], "~~");
  util::TStringList art = StoreLines(s.Home, app::DefaultArticleKey);
  ASSERT_EQ(art.Count(), 10);
  EXPECT_EQ(art[5], "X-No-Archive: Yes");
  // The seed's own item is still there: LN.dbc began as a copy of LN.ini.
  EXPECT_EQ(StoreLines(s.Home, app::InitializationItem).Count(), 1);

  EXPECT_EQ(RegValue("AppDir"), s.Home);
  EXPECT_EQ(RegValue("Version"), ".9b2");
  EXPECT_EQ(RegValue("Program Group"), "Lanternfell");
  EXPECT_EQ(RegValue("WindowPos"), "-1,-1,565,350");
  // On a 64-bit system the key lies in the part of HKCU that both views
  // share: a 64-bit program of the product finds the same values.
  for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, app::ProductRegistryKey.c_str(), 0,
                            KEY_READ | view, &key),
              ERROR_SUCCESS)
        << view;
    RegCloseKey(key);
  }

  util::TStringList links;
  int n = util::FindFiles(&links, s.Group + "\\*.lnk", 0x3F);
  EXPECT_EQ(n, 5);
}

// The run in the 64-bit prefix (LF_WINEARCH=win64, set by its CTest test) is
// one: setup.exe runs there through the 32-bit layer. The design text of the
// destination is the same in both: the user may create folders in
// C:\Program Files there, although a 32-bit process's own Program Files
// folder is "Program Files (x86)".
TEST(SetupE2ETest, RunsInTheSystemItWasMeantFor) {
  const char* arch = std::getenv("LF_WINEARCH");
  const bool win64 = arch && std::string(arch) == "win64";
  BOOL wow64 = FALSE;
  ASSERT_TRUE(IsWow64Process(GetCurrentProcess(), &wow64));
  EXPECT_EQ(wow64 != FALSE, win64);
  char pf[MAX_PATH] = {};
  GetEnvironmentVariableA("ProgramFiles", pf, sizeof pf);
  EXPECT_EQ(std::string(pf), win64 ? "C:\\Program Files (x86)" : "C:\\Program Files");
  std::cout << "[ note     ] " << (win64 ? "64-bit" : "32-bit") << " prefix, ProgramFiles=" << pf
            << std::endl;

  TStage s = StageDistribution(SetupExe(), "arch");
  TSetupRun run(s);
  ASSERT_NE(run.Window(), nullptr);
  EXPECT_EQ(TextOf(run.FolderEdit()), "C:\\Program Files\\Lanternfell");
}

TEST(SetupE2ETest, TaskBarButtonShowsTheApplicationTitleInEachMode) {
  TStage s = StageDistribution(SetupExe(), "taskbar");
  {
    TSetupRun run(s);
    ASSERT_NE(run.Window(), nullptr);
    EXPECT_EQ(TextOf(run.Window()), "Lanternfell Setup");
    EXPECT_EQ(TaskBarText(run.Pid()), "Lanternfell Setup");
  }
  TProcess p;
  ASSERT_TRUE(p.Start("\"" + s.Dist + "\\setup.exe\" -U", s.Dist));
  HWND w = WaitForWindow(p.Pid(), "Un-Install Wizard", kLong);
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(TaskBarText(p.Pid()), "Lanternfell Un-Install");
  // Closing the wizard takes the button away with the program.
  ASSERT_TRUE(Press(FindChild(w, "Cancel", "Button")));
  EXPECT_TRUE(p.Wait(kLong));
}

// The shell (shell32 and what it brings along) is for the steps that need a
// shell folder, a shell link or the folder dialog: the first window of
// either wizard comes up without it.
TEST(SetupE2ETest, FirstWindowComesUpWithoutTheShell) {
  TStage s = StageDistribution(SetupExe(), "noshell");
  {
    TSetupRun run(s);
    ASSERT_NE(run.Window(), nullptr);
    EXPECT_EQ(TextOf(run.FolderEdit()), "C:\\Program Files\\Lanternfell");
    const std::vector<std::string> dlls = LoadedDlls(run.Pid());
    ASSERT_TRUE(HasDll(dlls, "user32.dll")) << "no module list";
    EXPECT_FALSE(HasDll(dlls, "shell32.dll"));
  }
  TProcess p;
  ASSERT_TRUE(p.Start("\"" + s.Dist + "\\setup.exe\" -U", s.Dist));
  HWND w = WaitForWindow(p.Pid(), "Un-Install Wizard", kLong);
  ASSERT_NE(w, nullptr);
  const std::vector<std::string> dlls = LoadedDlls(p.Pid());
  ASSERT_TRUE(HasDll(dlls, "user32.dll")) << "no module list";
  EXPECT_FALSE(HasDll(dlls, "shell32.dll"));
  ASSERT_TRUE(Press(FindChild(w, "Cancel", "Button")));
  EXPECT_TRUE(p.Wait(kLong));
}

TEST(SetupE2ETest, ReinstallationOpensOnReviewWithStoredValues) {
  TStage s = StageDistribution(SetupExe(), "again");
  FirstInstall(s);
  TSetupRun run(s);
  ASSERT_TRUE(run.WaitPage(2));
  EXPECT_EQ(TextOf(run.Button("Install")), "Install");
  EXPECT_TRUE(IsUsable(run.Button("Back")));
  EXPECT_EQ(TextOf(run.AddressEdit()), "Ada <ada@example.org>");
  EXPECT_EQ(TextOf(run.HostEdit()), "smtp.example.org");
  EXPECT_EQ(TextOf(run.FolderEdit()), s.Home);
}

TEST(SetupE2ETest, EncryptedStoreShowsItsNoticeAndLocksBack) {
  TStage s = StageDistribution(SetupExe(), "pgp");
  FirstInstall(s);
  ASSERT_TRUE(MoveFileA((s.Home + "\\LN.dbc").c_str(), (s.Home + "\\LN.pgp").c_str()));
  TSetupRun run(s);
  ASSERT_TRUE(run.WaitPage(2));
  EXPECT_FALSE(IsWindowEnabled(run.Button("Back")));
  EXPECT_FALSE(run.PressButton("Back"));  // a person cannot press it
  EXPECT_EQ(TextOf(run.AddressEdit()), "");
}

TEST(SetupE2ETest, NextOnTheAddressPageNeedsBothFields) {
  TStage s = StageDistribution(SetupExe(), "next");
  TSetupRun run(s);
  ASSERT_TRUE(run.WaitPage(0));
  EXPECT_TRUE(IsUsable(run.Button("Next")));
  ASSERT_TRUE(run.PressButton("Next"));
  ASSERT_TRUE(run.WaitPage(1));
  HWND next = run.Button("Next");
  EXPECT_FALSE(IsWindowEnabled(next));
  TypeInto(run.AddressEdit(), "a@b");
  EXPECT_FALSE(IsWindowEnabled(next));
  TypeInto(run.HostEdit(), "   ");  // blanks count as text
  EXPECT_TRUE(IsWindowEnabled(next));
  TypeInto(run.AddressEdit(), "");
  EXPECT_FALSE(IsWindowEnabled(next));
}

TEST(SetupE2ETest, CancellingTheQuestionOrTheWaitChangesNothing) {
  TStage s = StageDistribution(SetupExe(), "cancel");
  TSetupRun run(s);
  run.FillAndReview(s.Home, "a@b", "h");
  ASSERT_TRUE(run.PressButton("Install"));
  run.ExpectBox("Install now?", "Lanternfell", IDCANCEL);
  EXPECT_EQ(run.Page(), 2);
  run.Install();
  HWND wait = WaitForWindow(run.Pid(), "Lanternfell", kLong);
  ASSERT_NE(wait, nullptr);
  HWND cancel = FindChild(wait, "Cancel", "Button");
  ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(cancel); }, 5000));
  ASSERT_TRUE(Press(cancel));
  run.ExpectBox("Cancel process?", "Lanternfell", IDYES);
  ASSERT_TRUE(WaitForWindowGone(wait, 5000));
  EXPECT_EQ(run.Page(), 2);
  EXPECT_EQ(TextOf(run.Button("Install")), "Install");
  EXPECT_FALSE(util::DirectoryExists(s.Home));
  EXPECT_FALSE(util::TRegistry().KeyExists(app::ProductRegistryKey));
}

TEST(SetupE2ETest, QuitQuestionOnlyBetweenStartAndDone) {
  TStage s = StageDistribution(SetupExe(), "quit");
  {
    TSetupRun run(s);  // Start page: closes without a question
    ASSERT_TRUE(run.PressButton("Cancel"));
    EXPECT_TRUE(run.Process().Wait(kLong));
  }
  TSetupRun run(s);
  TypeInto(run.FolderEdit(), s.Home);
  for (int page = 1; page <= 2; ++page) {
    if (page == 1) {
      ASSERT_TRUE(run.PressButton("Next"));
    } else {
      TypeInto(run.AddressEdit(), "a@b");
      TypeInto(run.HostEdit(), "h");
      ASSERT_TRUE(run.PressButton("Next"));
    }
    ASSERT_TRUE(run.WaitPage(page));
    ASSERT_TRUE(run.PressButton("Cancel"));
    run.ExpectBox("Quit without installing Lanternfell?", "Lanternfell", IDNO);
    EXPECT_EQ(run.Page(), page);
  }
  run.Install();
  ASSERT_TRUE(run.WaitPage(3));
  run.UncheckRun();
  ASSERT_TRUE(run.PressButton("Exit"));  // Done: no question
  EXPECT_TRUE(run.Process().Wait(kLong));
  CloseFolderWindows("Lanternfell");
}

TEST(SetupE2ETest, FailedCopyStaysOnReviewAndASecondInstallCompletes) {
  TStage s = StageDistribution(SetupExe(), "copyfail");
  CreateDirectoryA((util::ExtractFilePath(s.Home)).c_str(), nullptr);
  CreateDirectoryA(s.Home.c_str(), nullptr);
  util::WriteWholeFile(s.Home + "\\License.txt", "old");
  HANDLE held = CreateFileA((s.Home + "\\License.txt").c_str(), GENERIC_READ, 0, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  TSetupRun run(s);
  run.FillAndReview(s.Home, "a@b", "h");
  run.Install();
  TBoxWindow box;
  ASSERT_TRUE(WaitForBox(run.Pid(), box, kLong));
  EXPECT_EQ(box.caption, "Copy Failed");
  EXPECT_EQ(box.text.rfind("System Error: ", 0), 0u) << box.text;
  EXPECT_NE(box.text.find("File: " + s.Dist + "\\License.txt"), std::string::npos) << box.text;
  Answer(box, IDOK);
  WaitForWindowGone(box.hwnd, 5000);
  EXPECT_TRUE(run.WaitPage(2, 5000));
  EXPECT_EQ(TextOf(run.Button("Install")), "Install");
  CloseHandle(held);
  run.Install();
  EXPECT_TRUE(run.WaitPage(3));
  EXPECT_EQ(ReadFileText(s.Home + "\\License.txt"), "License text\r\n");
  CloseFolderWindows("Lanternfell");
}

TEST(SetupE2ETest, StoreHeldByAnotherProgramIsReportedAndLeftAlone) {
  TStage s = StageDistribution(SetupExe(), "held");
  FirstInstall(s);
  const std::string storePath = s.Home + "\\LN.dbc";
  const std::string before = ReadFileText(storePath);
  TSetupRun run(s);
  ASSERT_TRUE(run.WaitPage(2));
  HANDLE held = CreateFileA(storePath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  run.Install();
  TBoxWindow box;
  ASSERT_TRUE(WaitForBox(run.Pid(), box, kLong));
  EXPECT_EQ(box.caption, "Lanternfell Setup");
  EXPECT_NE(box.text.find("LN.dbc"), std::string::npos) << box.text;
  Answer(box, IDOK);
  WaitForWindowGone(box.hwnd, 5000);
  EXPECT_TRUE(run.WaitPage(2, 5000));
  EXPECT_EQ(TextOf(run.Button("Install")), "Install");
  run.Process().Kill();

  // Held at start-up, the store cannot be read while the wizard is being
  // made: the error box comes before any title was set, and has the
  // program's default one, its file name; then the program ends.
  TProcess second;
  ASSERT_TRUE(second.Start("\"" + s.Dist + "\\setup.exe\"", s.Dist));
  TBoxWindow early;
  ASSERT_TRUE(WaitForBox(second.Pid(), early, kLong));
  EXPECT_EQ(early.caption, "setup");
  EXPECT_NE(early.text.find("LN.dbc"), std::string::npos) << early.text;
  Answer(early, IDOK);
  EXPECT_TRUE(second.Wait(kLong));
  EXPECT_EQ(second.ExitCode(), 0u);

  CloseHandle(held);
  EXPECT_EQ(ReadFileText(storePath), before);
}

TEST(UninstallE2ETest, InstalledUninstallerRemovesTheProductButKeepsTheStore) {
  TStage s = StageDistribution(SetupExe(), "remove");
  FirstInstall(s);
  ASSERT_TRUE(util::DirectoryExists(s.Group));
  ASSERT_NO_FATAL_FAILURE(
      RunUninstaller(s, false, [](const TOptions& o) { EXPECT_TRUE(IsChecked(o.app)); }));

  EXPECT_TRUE(util::DirectoryExists(s.Home));
  EXPECT_TRUE(util::FileExists(s.Home + "\\LN.dbc"));
  EXPECT_FALSE(util::FileExists(s.Home + "\\License.txt"));
  EXPECT_FALSE(util::FileExists(s.Home + "\\LN.exe"));
  EXPECT_FALSE(util::TRegistry().KeyExists(app::ProductRegistryKey));
  EXPECT_TRUE(WaitUntil([&] { return !util::DirectoryExists(s.Group); }, 10000))
      << "the program group is still there";
}

// Started from a console in another folder, setup installs the files beside
// itself and nothing of the current folder.
TEST(SetupE2ETest, StartedFromAnotherFolderInstallsTheFilesBesideSetup) {
  TStage s = StageDistribution(SetupExe(), "elsewhere");
  const std::string cwd = util::ExtractFilePath(s.Dist) + "console";
  ASSERT_TRUE(CreateDirectoryA(cwd.c_str(), nullptr));
  ASSERT_TRUE(util::WriteWholeFile(cwd + "\\Stray.txt", "not part of the distribution"));
  ASSERT_TRUE(util::WriteWholeFile(cwd + "\\LN.exe", "not the product either"));
  ASSERT_NO_FATAL_FAILURE(FirstInstall(s, cwd));
  EXPECT_EQ(ReadFileText(s.Home + "\\UninstLN.exe"), ReadFileText(s.Dist + "\\setup.exe"));
  EXPECT_EQ(ReadFileText(s.Home + "\\LN.exe"), ReadFileText(s.Dist + "\\LN.exe"));
  for (const char* f : {"License.txt", "ReadMe.txt", "QuickStart.rtf", "LN.ini", "LN.dbc"})
    EXPECT_TRUE(util::FileExists(s.Home + "\\" + f)) << f;
  EXPECT_FALSE(util::FileExists(s.Home + "\\Stray.txt"));
  EXPECT_EQ(ReadFileText(cwd + "\\LN.exe"), "not the product either");
}

// Mixmaster recorded in the product's own home: the un-installer (the real
// window, both items chosen) removes everything there but the store, which
// still reads back the default message setup wrote.
TEST(UninstallE2ETest, MixmasterSharingTheHomeLeavesTheStoreReadable) {
  util::TRegistry().DeleteKey(app::MixmasterRegistryKey);
  TStage s = StageDistribution(SetupExe(), "sharedmix");
  FirstInstall(s);
  const util::TStringList before = StoreLines(s.Home, app::DefaultMessageKey);
  ASSERT_EQ(before.Count(), 8);
  {
    util::TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(app::MixmasterRegistryKey, true));
    reg.WriteString("MixDir", s.Home);
  }
  ASSERT_TRUE(util::WriteWholeFile(s.Home + "\\mix.exe", "Mixmaster's program"));
  ASSERT_TRUE(CreateDirectoryA((s.Home + "\\pool").c_str(), nullptr));
  ASSERT_TRUE(util::WriteWholeFile(s.Home + "\\pool\\m1.txt", "queued"));

  // One home: both are chosen and neither can be cleared alone.
  ASSERT_NO_FATAL_FAILURE(RunUninstaller(s, true, [](const TOptions& o) {
    EXPECT_TRUE(IsChecked(o.app));
    EXPECT_TRUE(IsChecked(o.mix));
    EXPECT_FALSE(IsWindowEnabled(o.mix));
  }));

  ASSERT_TRUE(util::FileExists(s.Home + "\\LN.dbc"));
  const util::TStringList after = StoreLines(s.Home, app::DefaultMessageKey);
  EXPECT_EQ(after.Lines(), before.Lines());
  ASSERT_EQ(after.Count(), 8);
  EXPECT_EQ(after[2], "From: Ada <ada@example.org>");
  for (const char* gone : {"mix.exe", "LN.exe", "LN.ini", "License.txt", "ReadMe.txt", "pool"})
    EXPECT_FALSE(util::FileExists(s.Home + "\\" + gone) ||
                 util::DirectoryExists(s.Home + "\\" + gone))
        << gone;
  EXPECT_FALSE(util::TRegistry().KeyExists(app::ProductRegistryKey));
  EXPECT_FALSE(util::TRegistry().KeyExists(app::MixmasterRegistryKey));
}

// The system's list of installed programs (Wine's own client of it) shows
// the product from its installation to its removal, and the entry's
// UninstallString, started as the list starts it, opens the un-install
// wizard, which removes the product and the entry.
TEST(UninstallE2ETest, InstalledAppsListTheProductAndRemoveItThroughItsEntry) {
  TStage s = StageDistribution(SetupExe(), "listed");
  ASSERT_FALSE(ListsTheProduct(InstalledProgramsList()));
  FirstInstall(s);
  const util::TStringList listed = InstalledProgramsList();
  EXPECT_TRUE(ListsTheProduct(listed)) << listed.Text();
  EXPECT_EQ(EntryValue("UninstallString"), "\"" + s.Home + "\\UninstLN.exe\"");
  EXPECT_EQ(EntryValue("DisplayIcon"), s.Home + "\\LN.exe");
  EXPECT_EQ(EntryValue("InstallLocation"), s.Home);
  // On a 64-bit system the entry lies where the 64-bit Settings read it.
  for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
    HKEY key = nullptr;
    EXPECT_EQ(
        RegOpenKeyExA(HKEY_CURRENT_USER, app::UninstallEntryKey.c_str(), 0, KEY_READ | view, &key),
        ERROR_SUCCESS)
        << view;
    if (key) RegCloseKey(key);
  }

  ASSERT_NO_FATAL_FAILURE(UninstallFromTheSystemsList(s));
  const util::TStringList after = InstalledProgramsList();
  EXPECT_FALSE(ListsTheProduct(after)) << after.Text();
  EXPECT_FALSE(util::TRegistry().KeyExists(app::UninstallEntryKey));
  EXPECT_FALSE(util::TRegistry().KeyExists(app::ProductRegistryKey));
  EXPECT_FALSE(util::FileExists(s.Home + "\\LN.exe"));
  EXPECT_TRUE(util::FileExists(s.Home + "\\LN.dbc"));
  EXPECT_TRUE(WaitUntil([&] { return !util::DirectoryExists(s.Group); }, 10000));
}

// A user whose folder names the ANSI code page cannot spell: the profile's
// shell folders (set in the registry's user shell folders, and in the copy
// older programs read, as Windows keeps it) lie in a folder named in another
// script, setup.exe is started from the Downloads folder there, and Program
// Files is refused as it is to a standard user. The default destination, the
// files, the registry, the shortcuts and the un-install all work through the
// short forms.
TEST(SetupE2ETest, UserWhoseNameTheCodePageCannotSpellInstallsAndRemoves) {
  const std::wstring name = UnspellableName();
  if (name.empty()) GTEST_SKIP() << "the code page " << GetACP() << " spells every name";
  TStage s = StageDistribution(SetupExe(), "user");
  const std::wstring profile = Widen(util::GetTempDir()) + L"lf-e2e-" + name;
  RemoveTreeW(profile);
  ASSERT_FALSE(DirectoryExistsW(profile)) << "an earlier run's folder is still held";
  // Also when the scenario stops half-way: the group's Explorer window (its
  // current folder is the distribution) and the profile go.
  struct TCleanUp {
    std::wstring profile;
    ~TCleanUp() {
      CloseFolderWindows("Lanternfell");
      RemoveTreeW(profile);
    }
  } cleanUp{profile};
  const std::wstring local = profile + L"\\AppData\\Local";
  const std::wstring programs =
      profile + L"\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs";
  const std::wstring dist = profile + L"\\Downloads\\Lanternfell";
  ASSERT_TRUE(MakeDirW(local));
  ASSERT_TRUE(MakeDirW(programs));
  ASSERT_TRUE(MakeDirW(profile + L"\\Downloads"));
  ASSERT_TRUE(MoveFileW(Widen(s.Dist).c_str(), dist.c_str()));
  ASSERT_TRUE(LiesInsidePrefix(util::AnsiPath(profile.c_str())));
  {
    TSavedValue localUser(kUserShellFolders, L"Local AppData", local);
    TSavedValue programsUser(kUserShellFolders, L"Programs", programs);
    TSavedValue localCopy(kShellFolders, L"Local AppData", local);
    TSavedValue programsCopy(kShellFolders, L"Programs", programs);
    TProgramFilesRefused refused;
    ASSERT_TRUE(refused.Ok()) << "Program Files could not be put aside";

    // Where a standard user's programs go, in the only spelling ANSI has.
    s.Home = util::AnsiPath(local.c_str()) + "\\Programs\\Lanternfell";
    s.Group = setup::ProgramGroupFolder();
    ASSERT_EQ(s.Home.find('?'), std::string::npos) << s.Home;
    const std::wstring home = local + L"\\Programs\\Lanternfell";
    {
      TSetupRun run(s, dist);
      ASSERT_NE(run.Window(), nullptr);
      EXPECT_EQ(TextOf(run.FolderEdit()), s.Home);
      ASSERT_TRUE(run.PressButton("Next"));
      ASSERT_TRUE(run.WaitPage(1));
      TypeInto(run.AddressEdit(), "Zhang <zhang@example.org>");
      TypeInto(run.HostEdit(), "smtp.example.org");
      ASSERT_TRUE(run.PressButton("Next"));
      ASSERT_TRUE(run.WaitPage(2));
      run.Install();
      ASSERT_TRUE(run.WaitPage(3));
      EXPECT_TRUE(run.NoBoxWithin(500));
      run.UncheckRun();
      ASSERT_TRUE(run.PressButton("Exit"));
      EXPECT_TRUE(run.Process().Wait(kLong));
      CloseFolderWindows("Lanternfell");
    }

    // The files are in the folder of that name, setup.exe as the
    // un-installer, the store made from the seed and written.
    for (const wchar_t* f : {L"UninstLN.exe", L"LN.exe", L"LN.ini", L"LN.dbc", L"License.txt",
                             L"ReadMe.txt", L"QuickStart.rtf"})
      EXPECT_TRUE(FileExistsW(home + L"\\" + f)) << Utf8(f);
    EXPECT_EQ(ReadFileText(s.Home + "\\UninstLN.exe"), ReadFileText(SetupExe()));
    util::TStringList msg = StoreLines(s.Home, app::DefaultMessageKey);
    ASSERT_EQ(msg.Count(), 8);
    EXPECT_EQ(msg[2], "From: Zhang <zhang@example.org>");

    // The registry holds the ANSI spelling, which names the same folder.
    EXPECT_EQ(RegValue("AppDir"), s.Home);
    EXPECT_EQ(EntryValue("UninstallString"), "\"" + s.Home + "\\UninstLN.exe\"");
    EXPECT_EQ(EntryValue("InstallLocation"), s.Home);

    // The group is in the user's Programs folder, and its shortcuts lead to
    // the installed files.
    EXPECT_EQ(CountW(programs + L"\\Lanternfell\\*.lnk"), 5);
    const TLinkFields product = ReadShortcut(s.Group + "\\Lanternfell.LNK");
    ASSERT_TRUE(product.loaded);
    EXPECT_EQ(product.path, util::LowerCase(s.Home + "\\LN.exe"));
    EXPECT_TRUE(util::FileExists(product.path)) << product.path;
    const TLinkFields uninstaller = ReadShortcut(s.Group + "\\Uninstall LN.LNK");
    EXPECT_TRUE(util::FileExists(uninstaller.path)) << uninstaller.path;

    // Removed through the system's list: the files but the store, the
    // group, the key and the entry go.
    ASSERT_NO_FATAL_FAILURE(UninstallFromTheSystemsList(s));
    EXPECT_FALSE(FileExistsW(home + L"\\LN.exe"));
    EXPECT_FALSE(FileExistsW(home + L"\\License.txt"));
    EXPECT_TRUE(FileExistsW(home + L"\\LN.dbc"));
    EXPECT_TRUE(WaitUntil([&] { return !DirectoryExistsW(programs + L"\\Lanternfell"); }, 10000))
        << "the program group is still there";
    EXPECT_FALSE(util::TRegistry().KeyExists(app::ProductRegistryKey));
    EXPECT_FALSE(util::TRegistry().KeyExists(app::UninstallEntryKey));
  }
}

// Documents picked with "&Browse": Next shows the box that names it and
// proposes a folder of its own, and the wizard stays on Start with nothing
// made; the user's files there keep their bytes. A folder inside Documents
// then installs as always.
TEST(SetupE2ETest, BrowsedDocumentsIsRefusedAndAFolderInsideItInstalls) {
  TStage s = StageDistribution(SetupExe(), "documents");
  const std::string documents = DocumentsFolder();
  ASSERT_FALSE(documents.empty());
  ASSERT_TRUE(LiesInsidePrefix(documents)) << documents;
  const std::string inside = documents + "\\Lanternfell E2E";
  RemoveTree(inside);
  // The user's own files, named as the distribution's are.
  const TSentinels mine(documents);
  {
    TSetupRun run(s);
    ASSERT_TRUE(run.WaitPage(0));
    ASSERT_TRUE(run.PressButton("&Browse"));
    HWND browse = WaitForWindow(run.Pid(), "Select Directory", kLong);
    ASSERT_NE(browse, nullptr);
    ASSERT_TRUE(BrowseTo(browse, documents));
    ASSERT_TRUE(Press(FindChild(browse, "Ok", "Button")));
    ASSERT_TRUE(WaitForWindowGone(browse, 5000));
    EXPECT_TRUE(util::SameText(TextOf(run.FolderEdit()), documents)) << TextOf(run.FolderEdit());
    const std::string shown = TextOf(run.FolderEdit());  // as the dialog gives it: lower case

    ASSERT_TRUE(run.PressButton("Next"));
    run.ExpectBox("Setup will not install Lanternfell in\n" + shown +
                      "\n\nIt is a drive, a system folder or one of your own, like\n"
                      "Documents (or holds one): your files there with Lanternfell's\n"
                      "names would be replaced.\n\n"
                      "Choose a folder of its own, such as\n" +
                      shown + "\\Lanternfell",
                  "Lanternfell", IDOK);
    EXPECT_EQ(run.Page(), 0);
    EXPECT_TRUE(IsUsable(run.Button("Next")));
    EXPECT_FALSE(util::FileExists(documents + "\\UninstLN.exe"));
    EXPECT_FALSE(util::FileExists(documents + "\\LN.dbc"));
    EXPECT_FALSE(util::TRegistry().KeyExists(app::ProductRegistryKey));
    mine.ExpectUnchanged();

    // A folder of its own inside Documents: the install runs as always.
    run.FillAndReview(inside, "Ada <ada@example.org>", "smtp.example.org");
    run.Install();
    ASSERT_TRUE(run.WaitPage(3));
    run.UncheckRun();
    ASSERT_TRUE(run.PressButton("Exit"));
    EXPECT_TRUE(run.Process().Wait(kLong));
    CloseFolderWindows("Lanternfell");
  }
  for (const char* f : {"UninstLN.exe", "LN.exe", "LN.dbc", "License.txt", "ReadMe.txt"})
    EXPECT_TRUE(util::FileExists(inside + "\\" + f)) << f;
  EXPECT_EQ(ReadFileText(inside + "\\ReadMe.txt"), "Read me\r\n");
  EXPECT_EQ(RegValue("AppDir"), inside);
  mine.ExpectUnchanged();
  RemoveTree(inside);
  RemoveTree(s.Group);
  util::TRegistry().DeleteKey(app::ProductRegistryKey);
}
