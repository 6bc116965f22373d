// The folder guard that the removal and setup share: drive and share roots,
// the Windows and system folders and their ancestors, and anything that is
// not an absolute folder path are never swept. The drive-root and
// well-known-folder cases run the removal itself, behind a check of the
// guard, with sentinels that must survive.
#include "RemovalFixture.h"
#include "tests/support/RefusedFolders.h"
#include "util/FolderGuard.h"
#include "util/Text.h"

using util::IsAbsoluteFolderPath;
using util::IsProtectedFolder;
using util::IsRootForm;

class FolderGuardTest : public RemovalFixture {};

TEST_F(FolderGuardTest, OnlyAbsoluteFolderPathsQualify) {
  for (const char* p :
       {"C:\\", "c:/", "C:\\Program Files\\LN\\", "\\\\server\\share\\", "\\\\server\\share\\ln\\"})
    EXPECT_TRUE(IsAbsoluteFolderPath(p)) << p;
  for (const char* p : {"", "C:", "C:ln\\", "\\ln\\", "ln\\", ".\\", "..\\", "\\\\server\\",
                        "\\\\?\\C:\\", "\\\\.\\C:\\", "1:\\"})
    EXPECT_FALSE(IsAbsoluteFolderPath(p)) << p;

  EXPECT_TRUE(IsRootForm("c:\\"));
  EXPECT_TRUE(IsRootForm("\\\\server\\share\\"));
  EXPECT_FALSE(IsRootForm("\\\\server\\share\\ln\\"));
  EXPECT_FALSE(IsRootForm("c:\\ln\\"));
  EXPECT_FALSE(IsRootForm("c:"));
}

TEST_F(FolderGuardTest, RootsSystemFoldersAndUncheckablePathsAreProtected) {
  const std::string windows = util::GetWindowsDir();
  const std::string system = util::GetSystemDir();
  ASSERT_FALSE(windows.empty());
  ASSERT_FALSE(system.empty());
  const std::string drive = windows.substr(0, 2);  // "C:"
  for (const std::string& p : std::vector<std::string>{
           drive, drive + "\\", util::LowerCase(drive) + "/", drive + "\\\\", "Z:\\", windows,
           windows + "\\", util::UpperCase(windows) + "\\", windows + "\\.\\",
           windows + "\\system32\\..\\", root_ + "..\\..\\..\\..\\..\\..\\..\\", system,
           system + "\\", util::GetShortPath(system) + "\\",
           // ancestors of the Windows folder
           util::ExtractFilePath(windows),
           // not absolute folder paths
           "", "windows\\", "\\windows\\", drive + "windows\\", ".\\", "\\\\?\\" + drive + "\\",
           // the root of a share that is not there
           "\\\\lf-no-such-server\\share\\"})
    EXPECT_TRUE(IsProtectedFolder(p)) << p;

  // Ordinary folders, also inside the Windows folder, may be swept.
  const std::string home = Dir("Home");
  const std::string insideWindows = windows + "\\lf-guard-test\\";
  CreateDirectoryA(insideWindows.c_str(), nullptr);
  // A folder not made yet is judged by where it would be made (the removal
  // never touches one: it asks whether the folder exists first).
  for (const std::string& p : std::vector<std::string>{
           home, util::StripBackslash(home), util::UpperCase(home), util::GetShortPath(home),
           insideWindows, root_ + "missing\\", root_ + "missing\\one\\two"})
    EXPECT_FALSE(IsProtectedFolder(p)) << p;
  RemoveDirectoryA(insideWindows.c_str());
}

TEST_F(FolderGuardTest, DriveRootIsNeverSwept) {
  const std::string sentinel = "C:\\lanternfell-guard-sentinel.txt";
  const std::string poolSentinel = "C:\\pool\\lanternfell-guard-sentinel.txt";
  // Refuse to run the removal on C:\ at all unless the guard holds.
  ASSERT_TRUE(IsProtectedFolder("C:\\"));
  ASSERT_TRUE(IsProtectedFolder("C:"));
  ASSERT_TRUE(LiesInsidePrefix("C:\\"));
  ASSERT_TRUE(util::WriteWholeFile(sentinel, "keep me"));
  const bool madePool = CreateDirectoryA("C:\\pool", nullptr) != 0;
  ASSERT_TRUE(util::WriteWholeFile(poolSentinel, "keep me"));

  for (const std::string dir : {"C:\\", "C:"}) {
    SCOPED_TRACE(dir);
    lines_.clear();
    MakeKeys(dir, dir);
    auto removal = MakeRemoval(BothChosen(dir, dir));
    removal->RemoveApp();
    removal->RemoveMix();
    EXPECT_TRUE(util::FileExists(sentinel));
    EXPECT_TRUE(util::FileExists(poolSentinel));
    EXPECT_TRUE(util::DirectoryExists("C:\\"));
    // The steps still report, and the registry keys still go.
    EXPECT_EQ(lines_, Concat(kAppLines, kMixLines));
    EXPECT_FALSE(KeyExists(app::ProductRegistryKey));
    EXPECT_FALSE(KeyExists(app::MixmasterRegistryKey));
  }
  DeleteFileA(sentinel.c_str());
  DeleteFileA(poolSentinel.c_str());
  if (madePool) RemoveDirectoryA("C:\\pool");
}

using testsupport::ShellFolderValue;
std::string Env(const char* name) { return testsupport::EnvironmentValue(name); }

// The shell's well-known folders and every folder that contains one are
// protected; a folder inside one is an ordinary home.
TEST_F(FolderGuardTest, WellKnownFoldersAndTheirAncestorsAreProtected) {
  const std::string profile = Env("USERPROFILE"), programFiles = Env("ProgramFiles");
  const std::string appData = Env("APPDATA"), desktop = ShellFolderValue("Desktop");
  const std::string documents = ShellFolderValue("Personal");
  ASSERT_FALSE(profile.empty());
  ASSERT_FALSE(programFiles.empty());
  ASSERT_FALSE(appData.empty());
  ASSERT_FALSE(desktop.empty());
  ASSERT_FALSE(documents.empty());

  std::vector<std::string> known = {profile,
                                    programFiles,
                                    appData,
                                    desktop,
                                    documents,
                                    ShellFolderValue("Start Menu"),
                                    ShellFolderValue("Programs"),
                                    ShellFolderValue("Local AppData")};
  // Present where they exist: the 64-bit Program Files folders beside the
  // 32-bit ones, the public profile, the machine's AppData.
  for (const char* name :
       {"ProgramFiles(x86)", "ProgramW6432", "CommonProgramFiles", "CommonProgramW6432", "PUBLIC",
        "ProgramData", "ALLUSERSPROFILE", "LOCALAPPDATA"})
    known.push_back(Env(name));
  int checked = 0;
  for (const std::string& dir : known) {
    if (dir.empty() || !util::DirectoryExists(dir)) continue;
    ++checked;
    for (const std::string& spelling :
         {dir, util::AppendBackslash(dir), util::UpperCase(dir), util::GetShortPath(dir)})
      EXPECT_TRUE(IsProtectedFolder(spelling)) << spelling;
  }
  EXPECT_GE(checked, 8);
  // A folder that contains one: the folder of all profiles.
  EXPECT_TRUE(IsProtectedFolder(util::ExtractFilePath(profile))) << profile;

  // Folders inside them are ordinary homes.
  for (const std::string& dir : {documents, programFiles, appData, desktop, profile}) {
    ASSERT_TRUE(LiesInsidePrefix(dir)) << dir;
    const std::string inside = util::AppendBackslash(dir) + "Lanternfell Guard Test";
    CreateDirectoryA(inside.c_str(), nullptr);
    EXPECT_FALSE(IsProtectedFolder(inside)) << inside;
    EXPECT_FALSE(IsProtectedFolder(inside + "\\")) << inside;
    RemoveDirectoryA(inside.c_str());
  }

  // The guard's own list names them too, each once found through the shell.
  const std::vector<std::string> listed = util::WellKnownFolders();
  auto lists = [&](const std::string& dir) {
    for (const std::string& l : listed)
      if (util::SameDir(l, dir)) return true;
    return false;
  };
  for (const std::string& dir : {profile, programFiles, appData, desktop, documents})
    EXPECT_TRUE(lists(dir)) << dir;
  if (!Env("ProgramW6432").empty()) {
    EXPECT_TRUE(lists(Env("ProgramW6432")));
  }
}

// A home recorded as the profile folder, the Desktop, Documents or a Program
// Files folder: neither removal deletes anything there, the steps report as
// always and both registry keys go.
TEST_F(FolderGuardTest, HomeInAWellKnownFolderLosesNothing) {
  std::vector<std::string> homes = {Env("USERPROFILE"), ShellFolderValue("Desktop"),
                                    ShellFolderValue("Personal"), Env("ProgramFiles")};
  if (!Env("ProgramW6432").empty()) homes.push_back(Env("ProgramW6432"));
  for (size_t i = 0; i < homes.size(); ++i) {
    const std::string& home = homes[i];
    SCOPED_TRACE(home);
    ASSERT_FALSE(home.empty());
    // Plant nothing unless the folder is really inside the prefix.
    ASSERT_TRUE(LiesInsidePrefix(home));
    const std::string dir = util::AppendBackslash(home);
    const std::vector<std::string> sentinels = {dir + "lanternfell-guard-sentinel.txt",
                                                dir + "LN.dbc-guard-sentinel",
                                                dir + "Lanternfell Guard Sentinel.exe"};
    lines_.clear();
    for (const std::string& s : sentinels) ASSERT_TRUE(util::WriteWholeFile(s, "keep me")) << s;
    const bool madePool = CreateDirectoryA((dir + "pool").c_str(), nullptr) != 0;
    const std::string poolSentinel = dir + "pool\\lanternfell-guard-sentinel.txt";
    ASSERT_TRUE(util::WriteWholeFile(poolSentinel, "keep me"));

    // Spelled as recorded, or in capitals without the backslash.
    const std::string spelling = i % 2 ? util::StripBackslash(util::UpperCase(dir)) : dir;
    MakeKeys(spelling, spelling, "Lanternfell");
    auto removal = MakeRemoval(BothChosen(spelling, spelling));
    removal->RemoveApp();
    removal->RemoveMix();
    for (const std::string& s : sentinels) EXPECT_TRUE(util::FileExists(s)) << s;
    EXPECT_TRUE(util::FileExists(poolSentinel));
    EXPECT_EQ(lines_, Concat(kAppLines, kMixLines));
    EXPECT_FALSE(KeyExists(app::ProductRegistryKey));
    EXPECT_FALSE(KeyExists(app::MixmasterRegistryKey));
    for (const std::string& s : sentinels) DeleteFileA(s.c_str());
    DeleteFileA(poolSentinel.c_str());
    if (madePool) RemoveDirectoryA((dir + "pool").c_str());
  }
}

// A destination that setup has not made yet is compared by where it would
// be made: the existing part in short form, the rest as written, with the
// trailing dots and blanks the system drops when it makes the last folder.
TEST_F(FolderGuardTest, FoldersNotMadeYetAreJudgedByWhereTheyWouldBe) {
  const std::string home = Dir("Home");  // exists, with its "\"
  const std::string shortHome = util::LowerCase(util::GetShortPath(home));
  ASSERT_FALSE(shortHome.empty());
  EXPECT_EQ(util::ComparableFolder(home), shortHome);
  EXPECT_EQ(util::ComparableFolder(home + "New Folder\\Deeper"),
            shortHome + "new folder\\deeper\\");
  EXPECT_EQ(util::ComparableFolder(util::UpperCase(home) + "x\\..\\y/"), shortHome + "y\\");
  EXPECT_EQ(util::ComparableFolder("C:"), "c:\\");
  EXPECT_EQ(util::ComparableFolder("c:/"), "c:\\");
  EXPECT_EQ(util::ComparableFolder("Z:\\"), "z:\\");
  EXPECT_EQ(util::ComparableFolder("ln\\"), "");
  EXPECT_EQ(util::ComparableFolder("C:ln"), "");
  EXPECT_EQ(util::ComparableFolder("\\\\lf-no-such-server\\share\\Ln"),
            "\\\\lf-no-such-server\\share\\ln\\");

  const std::string documents = ShellFolderValue("Personal");
  const std::string desktop = ShellFolderValue("Desktop");
  ASSERT_TRUE(util::DirectoryExists(documents));
  ASSERT_TRUE(util::DirectoryExists(desktop));
  for (const std::string& known : {documents, desktop, Env("USERPROFILE")}) {
    // The folder itself under names that end up at it.
    for (const std::string& spelling : {known + ".", known + " ", known + ". .", known + "\\.",
                                        known + "\\new\\..", util::UpperCase(known) + "\\"})
      EXPECT_TRUE(IsProtectedFolder(spelling)) << spelling;
    // A folder to be made inside it is an ordinary one; its missing parent
    // is judged the same way.
    for (const std::string& inside :
         {known + "\\Lanternfell", known + "\\Not Made\\Lanternfell\\", known + "\\Lanternfell."})
      EXPECT_FALSE(IsProtectedFolder(inside)) << inside;
  }
  // A missing drive: its root is refused, a folder on it is not (making it
  // fails later, with its own message).
  EXPECT_TRUE(IsProtectedFolder("Q:\\"));
  EXPECT_TRUE(IsProtectedFolder("Q:"));
  EXPECT_FALSE(IsProtectedFolder("Q:\\Mail\\Lanternfell"));
}
