// CopyProgramFiles and CopyOneFile over a distribution folder that each test
// writes itself.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/Version.h"
#include "setup/InstallSteps.h"
#include "store/FileMan1.h"
#include "tests/support/BoxRecorder.h"
#include "tests/support/TempDir.h"
#include "util/DirList.h"
#include "util/FileStream.h"
#include "util/Paths.h"
#include "util/System.h"
#include "util/Text.h"
#include "util/Win.h"

namespace {

using testsupport::MakeDir;
using testsupport::ReadFileText;
using testsupport::WriteFileText;

class CopyProgramFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dist_ = tmp_.Path("dist");
    MakeDir(dist_);
    WriteFileText(dist_ + "\\SETUP.EXE", "setup program");
    WriteFileText(dist_ + "\\setup.exe.bak", "old setup");
    WriteFileText(dist_ + "\\LN.exe", "product");
    WriteFileText(dist_ + "\\LN.ini", "seed store");
    WriteFileText(dist_ + "\\ReadMe.txt", "read me");
    MakeDir(dist_ + "\\docs");
    WriteFileText(dist_ + "\\docs\\inner.txt", "not installed");
    state_.SourceDir = dist_;  // as the current folder reads: no trailing "\"
  }


  testsupport::TTempDir tmp_;
  testsupport::TBoxRecorder boxes_;
  std::string dist_;
  setup::TInstallState state_;
};

TEST_F(CopyProgramFilesTest, NestedNewDestinationGetsEveryFileAndTheSeedStore) {
  state_.AppDir = tmp_.Path("one\\two\\three\\");
  ASSERT_TRUE(setup::CopyProgramFiles(state_));
  EXPECT_TRUE(boxes_.boxes.empty());

  const std::string home = state_.AppDir;
  util::TStringList names = testsupport::FileNames(home);
  EXPECT_NE(names.Lines().end(),
            std::find(names.Lines().begin(), names.Lines().end(), "UninstLN.exe"));
  EXPECT_EQ(ReadFileText(home + "UninstLN.exe"), "setup program");
  EXPECT_EQ(ReadFileText(home + "setup.exe.bak"), "old setup");
  EXPECT_EQ(ReadFileText(home + "LN.exe"), "product");
  EXPECT_EQ(ReadFileText(home + "ReadMe.txt"), "read me");
  EXPECT_EQ(ReadFileText(home + "LN.dbc"), "seed store");
  EXPECT_EQ(names.IndexOf("setup.exe"), -1);
  EXPECT_EQ(names.IndexOf("docs"), -1);
  EXPECT_EQ(names.Count(), 6);  // five files of the distribution + LN.dbc
}

TEST_F(CopyProgramFilesTest, HomeInsideTheSourceFolderIsSkippedAsAFolder) {
  state_.AppDir = dist_ + "\\Installed";
  ASSERT_TRUE(setup::CopyProgramFiles(state_));
  EXPECT_TRUE(boxes_.boxes.empty());
  EXPECT_TRUE(util::FileExists(state_.AppDir + "\\LN.exe"));
  EXPECT_FALSE(util::DirectoryExists(state_.AppDir + "\\Installed"));
}

TEST_F(CopyProgramFilesTest, DestinationOnMissingDriveGivesFolderCreationError) {
  DWORD drives = GetLogicalDrives();
  char letter = 0;
  for (char c = 'Q'; c <= 'Y' && !letter; ++c)
    if (!(drives & (1u << (c - 'A')))) letter = c;
  ASSERT_NE(letter, 0) << "no free drive letter";
  state_.AppDir = std::string(1, letter) + ":\\Lanternfell\\Sub";

  EXPECT_FALSE(setup::CopyProgramFiles(state_));
  ASSERT_EQ(boxes_.boxes.size(), 1u);
  EXPECT_EQ(boxes_.boxes[0].text,
            "Unable to create the destination folder.\nPlease review your entry for errors or\n"
            "illegal characters.");
  EXPECT_EQ(boxes_.boxes[0].caption, "LanternfellFolder Creation Error");
  EXPECT_EQ(boxes_.boxes[0].buttons, util::MsgButtons::Ok);
  EXPECT_EQ(boxes_.boxes[0].owner, util::MsgOwner::MainWindow);
}

TEST_F(CopyProgramFilesTest, SameFolderInAnySpellingCopiesNothing) {
  const std::string shortDist = util::GetShortPath(dist_);
  ASSERT_FALSE(shortDist.empty());
  for (const std::string& spelling :
       {util::UpperCase(dist_) + "\\", shortDist, util::LowerCase(shortDist) + "\\", dist_}) {
    state_.AppDir = spelling;
    EXPECT_TRUE(setup::CopyProgramFiles(state_)) << spelling;
    EXPECT_FALSE(util::FileExists(dist_ + "\\UninstLN.exe")) << spelling;
    EXPECT_FALSE(util::FileExists(dist_ + "\\LN.dbc")) << spelling;
  }
  // The source given in short form and home in long form match as well.
  state_.SourceDir = shortDist + "\\";
  state_.AppDir = dist_;
  EXPECT_TRUE(setup::CopyProgramFiles(state_));
  EXPECT_FALSE(util::FileExists(dist_ + "\\UninstLN.exe"));
  EXPECT_TRUE(boxes_.boxes.empty());
}

TEST_F(CopyProgramFilesTest, ReinstallKeepsTheExistingStore) {
  const std::string home = tmp_.Path("home\\");
  MakeDir(home);
  WriteFileText(home + "LN.dbc", "the user's mail");
  WriteFileText(home + "LN.ini", "older seed");
  state_.AppDir = home;
  ASSERT_TRUE(setup::CopyProgramFiles(state_));
  EXPECT_EQ(ReadFileText(home + "LN.dbc"), "the user's mail");
  EXPECT_EQ(ReadFileText(home + "LN.ini"), "seed store");
}

// A distribution that carries store files: each one that home already has
// (in whatever letter case) stays byte for byte; one that home lacks is
// copied like any other file, and everything else is installed as always.
TEST_F(CopyProgramFilesTest, DistributionStoreNeverReplacesTheUsersStore) {
  const std::string mail("LNDBC\0\x01\xff the user's mail", 24);
  WriteFileText(dist_ + "\\LN.dbc", "distribution store");
  WriteFileText(dist_ + "\\LN.pgp", "distribution encrypted store");
  WriteFileText(dist_ + "\\ln.PGP.BAK", "distribution backup");
  WriteFileText(dist_ + "\\LN.dbc.jnl", "distribution journal");
  const std::string home = tmp_.Path("home\\");
  MakeDir(home);
  WriteFileText(home + "ln.DBC", mail);
  WriteFileText(home + "LN.PGP.bak", "the user's backup");
  WriteFileText(home + "ln.DBC.JNL", "the user's journal");  // the store's rollback journal
  WriteFileText(home + "LN.exe", "older product");
  state_.AppDir = home;

  ASSERT_TRUE(setup::CopyProgramFiles(state_));
  EXPECT_TRUE(boxes_.boxes.empty());
  EXPECT_EQ(ReadFileText(home + "LN.dbc"), mail);
  EXPECT_EQ(ReadFileText(home + "ln.pgp.bak"), "the user's backup");
  EXPECT_EQ(ReadFileText(home + "LN.dbc.jnl"), "the user's journal");
  EXPECT_EQ(ReadFileText(home + "LN.pgp"), "distribution encrypted store");
  EXPECT_EQ(ReadFileText(home + "LN.exe"), "product");
  EXPECT_EQ(ReadFileText(home + "UninstLN.exe"), "setup program");
  EXPECT_EQ(ReadFileText(home + "LN.ini"), "seed store");

  // A first installation takes the distribution's store as it comes, and
  // the seed then makes none over it. The distribution's journal is the
  // distribution's own: it is not installed.
  const std::string fresh = tmp_.Path("fresh");
  state_.AppDir = fresh;
  ASSERT_TRUE(setup::CopyProgramFiles(state_));
  EXPECT_EQ(ReadFileText(fresh + "\\LN.dbc"), "distribution store");
  EXPECT_FALSE(util::FileExists(fresh + "\\LN.dbc.jnl"));
}

// The seed store written with the store engine leaves its empty journal
// beside it: a file of the distribution's store, not of the product, so the
// home gets none. Nor does a whole journal of a store reach the home, where
// it would be played back over the user's store the next time it is opened;
// a journal without its store, or of another file, goes the same way.
TEST_F(CopyProgramFilesTest, JournalsOfTheDistributionAreNotInstalled) {
  ASSERT_TRUE(DeleteFileA((dist_ + "\\LN.ini").c_str()));
  util::TStringList init;
  init.Add("Cutmarks=~~");
  ASSERT_EQ(store::WriteStoreLines(app::InitializationItem, &init, dist_ + "\\LN.ini"), 0);
  ASSERT_TRUE(util::FileExists(dist_ + "\\LN.ini.jnl"));
  EXPECT_EQ(ReadFileText(dist_ + "\\LN.ini.jnl"), "");
  state_.AppDir = tmp_.Path("first");
  ASSERT_TRUE(setup::CopyProgramFiles(state_));
  EXPECT_TRUE(boxes_.boxes.empty());
  const std::string first = state_.AppDir + "\\";
  EXPECT_EQ(ReadFileText(first + "LN.dbc"), ReadFileText(dist_ + "\\LN.ini"));
  util::TStringList names = testsupport::FileNames(first);
  for (const std::string& n : names.Lines()) {
    const std::string lower = util::LowerCase(n);
    EXPECT_FALSE(lower.size() > 4 && lower.compare(lower.size() - 4, 4, ".jnl") == 0) << n;
  }
  EXPECT_EQ(names.Count(), 6);  // five files of the distribution + LN.dbc

  // A re-installation over the user's store, which has no journal of its own,
  // from a distribution that carries whole journals (in any letter case).
  const std::string mail("LNDBC\0\x01\xff the user's mail", 24);
  WriteFileText(dist_ + "\\LN.dbc", "distribution store");
  WriteFileText(dist_ + "\\ln.DBC.JNL", "a whole journal of the distribution's store");
  WriteFileText(dist_ + "\\LN.pgp.jnl", "journal without its store");
  WriteFileText(dist_ + "\\ReadMe.txt.jnl", "journal of another file");
  const std::string home = tmp_.Path("home\\");
  MakeDir(home);
  WriteFileText(home + "LN.dbc", mail);
  state_.AppDir = home;
  ASSERT_TRUE(setup::CopyProgramFiles(state_));
  EXPECT_EQ(ReadFileText(home + "LN.dbc"), mail);
  for (const char* journal : {"LN.dbc.jnl", "LN.ini.jnl", "LN.pgp.jnl", "ReadMe.txt.jnl"})
    EXPECT_FALSE(util::FileExists(home + journal)) << journal;
  EXPECT_EQ(ReadFileText(home + "ReadMe.txt"), "read me");
  EXPECT_EQ(ReadFileText(home + "UninstLN.exe"), "setup program");
}

TEST_F(CopyProgramFilesTest, EncryptedStoreGetsNoPlainStoreBesideIt) {
  const std::string home = tmp_.Path("home");
  MakeDir(home);
  WriteFileText(home + "\\LN.pgp", "encrypted");
  state_.AppDir = home;
  ASSERT_TRUE(setup::CopyProgramFiles(state_));
  EXPECT_FALSE(util::FileExists(home + "\\LN.dbc"));
  EXPECT_EQ(ReadFileText(home + "\\LN.pgp"), "encrypted");
}

TEST_F(CopyProgramFilesTest, DistributionWithoutSeedMakesNoStore) {
  ASSERT_TRUE(DeleteFileA((dist_ + "\\LN.ini").c_str()));
  state_.AppDir = tmp_.Path("home");
  ASSERT_TRUE(setup::CopyProgramFiles(state_));
  EXPECT_TRUE(util::FileExists(state_.AppDir + "\\LN.exe"));
  EXPECT_FALSE(util::FileExists(state_.AppDir + "\\LN.dbc"));
}

TEST_F(CopyProgramFilesTest, FailedCopyShowsSystemTextAndStopsTheLoop) {
  const std::string home = tmp_.Path("home\\");
  MakeDir(home);
  // The entry that fails is the first file in enumeration order, so every
  // later file must stay uncopied.
  util::TStringList entries;
  util::FindFiles(&entries, dist_ + "\\*.*", util::faAnyFile);
  int first = -1;
  for (int i = 0; i < entries.Count() && first < 0; ++i)
    if (!util::DirectoryExists(entries[i])) first = i;
  ASSERT_GE(first, 0);
  const std::string failing = entries[first];
  std::string targetName = util::ExtractFileName(failing);
  if (util::LowerCase(targetName) == "setup.exe") targetName = "UninstLN.exe";
  const std::string heldPath = home + targetName;
  WriteFileText(heldPath, "held");
  HANDLE held = CreateFileA(heldPath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);

  state_.AppDir = home;
  EXPECT_FALSE(setup::CopyProgramFiles(state_));
  CloseHandle(held);

  ASSERT_EQ(boxes_.boxes.size(), 1u);
  EXPECT_EQ(boxes_.boxes[0].caption, "Copy Failed");
  EXPECT_EQ(boxes_.boxes[0].text,
            "System Error: " + util::ErrorText(ERROR_SHARING_VIOLATION) + "File: " + failing);
  for (int i = first + 1; i < entries.Count(); ++i) {
    if (util::DirectoryExists(entries[i])) continue;
    std::string name = util::ExtractFileName(entries[i]);
    if (util::LowerCase(name) == "setup.exe") name = "UninstLN.exe";
    EXPECT_FALSE(util::FileExists(home + name)) << name;
  }
  EXPECT_FALSE(util::FileExists(home + "LN.dbc"));
  EXPECT_EQ(ReadFileText(heldPath), "held");
}

TEST(CopyOneFileTest, MissingSourceShowsCopyFailedWithItsPath) {
  testsupport::TBoxRecorder boxes;
  testsupport::TTempDir tmp;
  const std::string source = tmp.Path("absent.txt");
  EXPECT_FALSE(setup::CopyOneFile(source, tmp.Path("target.txt")));
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].text,
            "System Error: " + util::ErrorText(ERROR_FILE_NOT_FOUND) + "File: " + source);
  EXPECT_EQ(boxes.boxes[0].caption, "Copy Failed");
  // The system's text ends in its line break, so "File: " starts a line.
  EXPECT_NE(boxes.boxes[0].text.find("\nFile: "), std::string::npos);

  WriteFileText(source, "new");
  WriteFileText(tmp.Path("target.txt"), "old");
  EXPECT_TRUE(setup::CopyOneFile(source, tmp.Path("target.txt")));
  EXPECT_EQ(ReadFileText(tmp.Path("target.txt")), "new");
  EXPECT_EQ(boxes.boxes.size(), 1u);
}

}  // namespace

TEST(InstallStateTest, HomeCarriesOneTrailingBackslash) {
  setup::TInstallState state;
  for (const char* dir : {"C:\\Program Files\\Lanternfell", "C:\\Program Files\\Lanternfell\\"}) {
    state.AppDir = dir;
    EXPECT_EQ(state.Home(), "C:\\Program Files\\Lanternfell\\") << dir;
  }
  state.AppDir = "C:\\";
  EXPECT_EQ(state.Home(), "C:\\");
  state.AppDir.clear();
  EXPECT_EQ(state.Home(), "");
}
