// The destination check of the install: a root, the system's folders and the
// user's own are refused before anything is made or copied, with a box that
// names the folder and proposes one of the product's own; every ordinary
// destination installs as before.
#include <gtest/gtest.h>

#include "app/Version.h"
#include "setup/Destination.h"
#include "setup/InstallSteps.h"
#include "tests/support/BoxRecorder.h"
#include "tests/support/RefusedFolders.h"
#include "tests/support/TempDir.h"
#include "util/FileStream.h"
#include "util/FolderGuard.h"
#include "util/Paths.h"
#include "util/Text.h"
#include "util/Win.h"

namespace {

using testsupport::ReadFileText;
using testsupport::WriteFileText;

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

class DestinationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dist_ = tmp_.Dir("dist");
    WriteFileText(dist_ + "setup.exe", "setup program");
    WriteFileText(dist_ + "LN.exe", "product");
    WriteFileText(dist_ + "ReadMe.txt", "read me");
    WriteFileText(dist_ + "License.txt", "license");
    WriteFileText(dist_ + "LN.ini", "seed store");
    state_.SourceDir = util::StripBackslash(dist_);
  }

  testsupport::TTempDir tmp_;
  testsupport::TBoxRecorder boxes_;
  std::string dist_;
  setup::TInstallState state_;
};

TEST_F(DestinationTest, ProposalIsTheFolderWithTheProductInIt) {
  EXPECT_EQ(setup::ProposedDestination("C:\\"), "C:\\Lanternfell");
  EXPECT_EQ(setup::ProposedDestination("C:"), "C:\\Lanternfell");
  EXPECT_EQ(setup::ProposedDestination("c:/"), "c:\\Lanternfell");
  EXPECT_EQ(setup::ProposedDestination("C:\\Users\\ada\\Documents\\"),
            "C:\\Users\\ada\\Documents\\Lanternfell");
  EXPECT_EQ(setup::ProposedDestination("\\\\server\\share"), "\\\\server\\share\\Lanternfell");
}

// Each kind of refused folder, as the step sees it: the box names it and
// proposes folder + "\Lanternfell", the step fails, nothing is created or
// copied, the user's files of the distribution's names keep their bytes.
TEST_F(DestinationTest, EveryRefusedFolderIsLeftAsItWas) {
  const std::vector<testsupport::TRefusedFolder> refused = testsupport::RefusedFolders();
  EXPECT_GE(refused.size(), 14u);
  for (const testsupport::TRefusedFolder& f : refused) {
    SCOPED_TRACE(f.kind + ": " + f.path);
    const std::string dir = util::AppendBackslash(f.path);
    const testsupport::TSentinels sentinels(dir);
    const bool hadUninstaller = util::FileExists(dir + "UninstLN.exe");
    const bool hadStore = util::FileExists(dir + "LN.dbc");
    const bool hadSeed = util::FileExists(dir + "LN.ini");
    const std::string proposal = setup::ProposedDestination(f.path);
    const bool hadProposal = util::DirectoryExists(proposal);
    boxes_.clear();

    state_.AppDir = f.path;
    EXPECT_FALSE(setup::CopyProgramFiles(state_));
    ASSERT_EQ(boxes_.size(), 1u);
    const testsupport::TBox& box = boxes_[0];
    EXPECT_EQ(box.caption, "Lanternfell");
    EXPECT_EQ(box.buttons, util::MsgButtons::Ok);
    EXPECT_EQ(box.owner, util::MsgOwner::MainWindow);
    EXPECT_EQ(box.text.rfind("Setup will not install Lanternfell in\n" + f.path + "\n\n", 0), 0u)
        << box.text;
    EXPECT_TRUE(Contains(box.text, "such as\n" + proposal)) << box.text;
    EXPECT_FALSE(Contains(box.text, "earlier")) << box.text;
    EXPECT_TRUE(Contains(box.text, "would be replaced")) << box.text;

    sentinels.ExpectUnchanged();
    EXPECT_EQ(util::FileExists(dir + "UninstLN.exe"), hadUninstaller);
    EXPECT_EQ(util::FileExists(dir + "LN.dbc"), hadStore);
    EXPECT_EQ(util::FileExists(dir + "LN.ini"), hadSeed);
    EXPECT_EQ(util::DirectoryExists(proposal), hadProposal);
    // As the box tells it: the proposal is a folder of its own.
    EXPECT_TRUE(setup::AcceptDestination(proposal, setup::TDestinationSource::Entered, false));
  }
  // Spelled another way: capitals, a trailing "\", "/", "." and "..".
  std::string documents;
  for (const auto& f : refused)
    if (f.kind == "Documents") documents = f.path;
  ASSERT_FALSE(documents.empty());
  for (const std::string& spelling :
       {util::UpperCase(documents) + "\\", documents + "\\.", documents + "\\sub\\..",
        documents + ".", documents + " ", util::GetShortPath(documents)}) {
    boxes_.clear();
    EXPECT_FALSE(setup::AcceptDestination(spelling, setup::TDestinationSource::Entered, false))
        << spelling;
    EXPECT_EQ(boxes_.size(), 1u) << spelling;
  }
}

// A folder that is no full path would be made in whatever folder is current.
TEST_F(DestinationTest, PathsWithoutTheirDriveAreRefused) {
  for (const char* dir : {"Lanternfell", "\\Lanternfell", "C:Lanternfell", ""}) {
    SCOPED_TRACE(dir);
    boxes_.clear();
    state_.AppDir = dir;
    EXPECT_FALSE(setup::CopyProgramFiles(state_));
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_TRUE(Contains(boxes_[0].text, "no full path")) << boxes_[0].text;
    EXPECT_TRUE(Contains(boxes_[0].text, "such as\nC:\\Program Files\\Lanternfell"));
  }
  EXPECT_FALSE(util::DirectoryExists(util::GetCurrentDir() + "\\Lanternfell"));
}

// From the registry, or on the Review page, the box says so.
TEST_F(DestinationTest, RecordedFolderKeepsItsFilesAndReviewPointsBack) {
  EXPECT_FALSE(setup::AcceptDestination("C:", setup::TDestinationSource::Recorded, true));
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].text,
            "Setup will not install Lanternfell in\nC:\n\n"
            "It is a drive, a system folder or one of your own, like\n"
            "Documents (or holds one): your files there with Lanternfell's\n"
            "names would be replaced.\n\n"
            "Click 'Back' to choose a folder of its own, such as\nC:\\Lanternfell\n\n"
            "The earlier files stay where they are.");
  EXPECT_EQ(boxes_[0].caption, "Lanternfell");
  EXPECT_FALSE(setup::AcceptDestination("C:\\", setup::TDestinationSource::Entered, false));
  ASSERT_EQ(boxes_.size(), 2u);
  EXPECT_EQ(boxes_[1].text,
            "Setup will not install Lanternfell in\nC:\\\n\n"
            "It is a drive, a system folder or one of your own, like\n"
            "Documents (or holds one): your files there with Lanternfell's\n"
            "names would be replaced.\n\n"
            "Choose a folder of its own, such as\nC:\\Lanternfell");
  EXPECT_FALSE(setup::AcceptDestination("LN", setup::TDestinationSource::Recorded, false));
  ASSERT_EQ(boxes_.size(), 3u);
  EXPECT_EQ(boxes_[2].text,
            "Setup will not install Lanternfell in\nLN\n\nIt is no full path.\n\n"
            "Choose a folder of its own, such as\nC:\\Program Files\\Lanternfell\n\n"
            "The earlier files stay where they are.");
}

// Ordinary destinations install exactly as before: Program Files\Lanternfell,
// a folder inside Documents (new, or one that holds the user's files), the
// per-user default, a folder on a drive that is not there (which then gives
// the folder creation error, as before).
TEST_F(DestinationTest, OrdinaryDestinationsInstallAsBefore) {
  const std::vector<testsupport::TRefusedFolder> refused = testsupport::RefusedFolders();
  std::string documents, localAppData, programFiles;
  for (const auto& f : refused) {
    if (f.kind == "Documents") documents = f.path;
    if (f.kind == "local AppData") localAppData = f.path;
    if (f.kind == "Program Files") programFiles = f.path;
  }
  ASSERT_FALSE(documents.empty());
  ASSERT_FALSE(localAppData.empty());
  ASSERT_TRUE(testsupport::LiesInsidePrefix(documents));

  const std::string inDocuments = documents + "\\Lanternfell Guard Test";
  const std::string deepInDocuments = documents + "\\Lanternfell Guard Test 2\\Mail\\LN";
  const std::string perUser =
      setup::DefaultDestination(tmp_.File("not-a-folder") + "\\sub", localAppData);
  EXPECT_EQ(perUser, localAppData + "\\Programs\\Lanternfell");
  for (const std::string& home : {std::string("C:\\Program Files\\Lanternfell"), inDocuments,
                                  deepInDocuments + "\\", perUser, tmp_.Path("one\\two")}) {
    SCOPED_TRACE(home);
    boxes_.clear();
    state_.AppDir = home;
    EXPECT_TRUE(setup::AcceptDestination(home, setup::TDestinationSource::Recorded, true));
    ASSERT_TRUE(setup::CopyProgramFiles(state_));
    EXPECT_TRUE(boxes_.empty());
    const std::string dir = util::AppendBackslash(home);
    EXPECT_EQ(ReadFileText(dir + "UninstLN.exe"), "setup program");
    EXPECT_EQ(ReadFileText(dir + "ReadMe.txt"), "read me");
    EXPECT_EQ(ReadFileText(dir + "LN.dbc"), "seed store");
  }
  testsupport::RemoveTree("C:\\Program Files\\Lanternfell");
  testsupport::RemoveTree(inDocuments);
  testsupport::RemoveTree(documents + "\\Lanternfell Guard Test 2");
  testsupport::RemoveTree(perUser);
  // Program Files itself is refused; a folder in it is the usual home.
  ASSERT_FALSE(programFiles.empty());
  EXPECT_FALSE(setup::AcceptDestination(programFiles, setup::TDestinationSource::Entered, false));

  // A drive that is not there: not refused by the guard, the creation fails.
  DWORD drives = GetLogicalDrives();
  char letter = 0;
  for (char c = 'Q'; c <= 'Y' && !letter; ++c)
    if (!(drives & (1u << (c - 'A')))) letter = c;
  ASSERT_NE(letter, 0);
  boxes_.clear();
  state_.AppDir = std::string(1, letter) + ":\\Mail\\Lanternfell";
  EXPECT_FALSE(setup::CopyProgramFiles(state_));
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].caption, "LanternfellFolder Creation Error");
  // Its root is a root all the same.
  EXPECT_TRUE(util::IsProtectedFolder(std::string(1, letter) + ":\\"));
}

}  // namespace
