// The folder guard: drive and share roots, the Windows and system folders and
// their ancestors, and anything that is not an absolute folder path are never
// swept. Only the drive-root case runs the removal itself, behind a check of
// the guard, with sentinels that must survive.
#include "RemovalFixture.h"
#include "uninstall/FolderGuard.h"
#include "util/Text.h"

using uninstall::IsAbsoluteFolderPath;
using uninstall::IsProtectedFolder;
using uninstall::IsRootForm;
using Lines = std::vector<std::string>;

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
           // absolute, but nothing there to compare
           root_ + "missing\\", "\\\\lf-no-such-server\\share\\"})
    EXPECT_TRUE(IsProtectedFolder(p)) << p;

  // Ordinary folders, also inside the Windows folder, may be swept.
  const std::string home = Dir("Home");
  const std::string insideWindows = windows + "\\lf-guard-test\\";
  CreateDirectoryA(insideWindows.c_str(), nullptr);
  for (const std::string& p :
       std::vector<std::string>{home, util::StripBackslash(home), util::UpperCase(home),
                                util::GetShortPath(home), insideWindows})
    EXPECT_FALSE(IsProtectedFolder(p)) << p;
  RemoveDirectoryA(insideWindows.c_str());
}

TEST_F(FolderGuardTest, DriveRootIsNeverSwept) {
  const std::string sentinel = "C:\\lanternfell-guard-sentinel.txt";
  const std::string poolSentinel = "C:\\pool\\lanternfell-guard-sentinel.txt";
  // Refuse to run the removal on C:\ at all unless the guard holds.
  ASSERT_TRUE(IsProtectedFolder("C:\\"));
  ASSERT_TRUE(IsProtectedFolder("C:"));
  ASSERT_TRUE(util::WriteWholeFile(sentinel, "keep me"));
  const bool madePool = CreateDirectoryA("C:\\pool", nullptr) != 0;
  ASSERT_TRUE(util::WriteWholeFile(poolSentinel, "keep me"));

  for (const std::string dir : {"C:\\", "C:"}) {
    SCOPED_TRACE(dir);
    lines_.clear();
    MakeKeys(dir, dir);
    auto removal = MakeRemoval({dir, dir, "LanternfellTest", true, true, true});
    removal->RemoveApp();
    removal->RemoveMix();
    EXPECT_TRUE(util::FileExists(sentinel));
    EXPECT_TRUE(util::FileExists(poolSentinel));
    EXPECT_TRUE(util::DirectoryExists("C:\\"));
    // The steps still report, and the registry keys still go.
    EXPECT_EQ(lines_,
              (Lines{"Removing Lanternfell...", "   program group...done",
                     "   program files...done", "   registry key...done", "Removing Mixmaster...",
                     "   program files...done", "   registry key...done"}));
    EXPECT_FALSE(KeyExists(app::ProductRegistryKey));
    EXPECT_FALSE(KeyExists(app::MixmasterRegistryKey));
  }
  DeleteFileA(sentinel.c_str());
  DeleteFileA(poolSentinel.c_str());
  if (madePool) RemoveDirectoryA("C:\\pool");
}
