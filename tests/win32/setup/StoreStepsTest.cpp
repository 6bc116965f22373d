// ReadStoredDefaults and StoreDefaultTemplates against real store files,
// read back through the store itself.
#include <gtest/gtest.h>

#include "app/Version.h"
#include "setup/InstallSteps.h"
#include "store/FileMan1.h"
#include "tests/support/BoxRecorder.h"
#include "tests/support/Sandbox.h"
#include "tests/support/TempDir.h"
#include "util/Errors.h"
#include "util/FileStream.h"
#include "util/Text.h"
#include "util/Win.h"

namespace {

using testsupport::MakeDir;
using testsupport::WriteFileText;

std::vector<std::string> Lines(std::initializer_list<std::string> l) { return l; }

class StoreStepsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dist_ = tmp_.Path("dist\\");
    MakeDir(dist_);
    // The setup program's own settings store is SETUP.dbc beside it.
    app::InitDerivedNames(dist_ + "setup.exe");
    home_ = tmp_.Path("home\\");
    MakeDir(home_);
    state_.AppDir = tmp_.Path("home");
    state_.Address = " My Name <me@example.org> ";
    state_.Host = "smtp.example.org ";
  }
  void TearDown() override { app::ResetDerivedNames(); }

  std::vector<std::string> Item(const std::string& key) {
    util::TStringList list;
    EXPECT_EQ(store::ReadStoreLines(list, key, home_ + "LN.dbc"), 0);
    return list.Lines();
  }
  std::vector<std::string> ExpectedMessage(const std::string& cutmarks) {
    return Lines({"Fcc: outbox", "Host: smtp.example.org ", "From:  My Name <me@example.org> ",
                  "Chain: *,*,*,*; copies=1", "To: ", "Subject: ", "", cutmarks});
  }
  std::vector<std::string> ExpectedArticle() {
    return Lines({"Fcc: outbox", "Host: smtp.example.org ", "From:  My Name <me@example.org> ",
                  "Chain: *,*,*,*; copies=1", "To: " + setup::NewsGatewayAddress,
                  "X-No-Archive: Yes", "Newsgroups: ", "Subject: ", "", "~~"});
  }

  testsupport::TTempDir tmp_;
  testsupport::TBoxRecorder boxes_;
  std::string dist_, home_;
  setup::TInstallState state_;
};

TEST_F(StoreStepsTest, TemplatesAreWrittenLineByLineIntoANewStore) {
  ASSERT_FALSE(util::FileExists(app::ExeStorePath()));
  ASSERT_TRUE(setup::StoreDefaultTemplates(state_));
  EXPECT_TRUE(boxes_.boxes.empty());
  EXPECT_EQ(Item(app::DefaultMessageKey), ExpectedMessage("~~"));
  EXPECT_EQ(Item(app::DefaultArticleKey), ExpectedArticle());
}

TEST_F(StoreStepsTest, CutmarksSettingBesideSetupEndsOnlyTheMessage) {
  ASSERT_EQ(store::SetInitValue("Cutmarks", "-- 8< --"), 0);
  ASSERT_TRUE(util::FileExists(app::ExeStorePath()));
  ASSERT_TRUE(setup::StoreDefaultTemplates(state_));
  EXPECT_EQ(Item(app::DefaultMessageKey), ExpectedMessage("-- 8< --"));
  EXPECT_EQ(Item(app::DefaultArticleKey), ExpectedArticle());
}

TEST_F(StoreStepsTest, SecondRunReplacesAnEditedTemplate) {
  util::TStringList edited;
  edited.SetText("From: old@example.org\r\nX-Mine: yes\r\n\r\nmy signature\r\n");
  ASSERT_EQ(store::WriteStoreLines(app::DefaultMessageKey, &edited, home_ + "LN.dbc"), 0);
  ASSERT_TRUE(setup::StoreDefaultTemplates(state_));
  EXPECT_EQ(Item(app::DefaultMessageKey), ExpectedMessage("~~"));
}

TEST_F(StoreStepsTest, EncryptedStoreIsLeftAlone) {
  WriteFileText(home_ + "LN.pgp", "encrypted");
  ASSERT_TRUE(setup::StoreDefaultTemplates(state_));
  EXPECT_FALSE(util::FileExists(home_ + "LN.dbc"));
  EXPECT_TRUE(boxes_.boxes.empty());
}

TEST_F(StoreStepsTest, UnsoundStoreShowsMessageErrorAndWritesNoArticle) {
  const std::string junk(200, 'j');
  WriteFileText(home_ + "LN.dbc", junk);
  EXPECT_FALSE(setup::StoreDefaultTemplates(state_));
  ASSERT_EQ(boxes_.boxes.size(), 1u);
  EXPECT_EQ(boxes_.boxes[0].text, "Error storing default message!");
  EXPECT_EQ(boxes_.boxes[0].caption, "Setup Error");
  EXPECT_EQ(boxes_.boxes[0].owner, util::MsgOwner::MainWindow);
  EXPECT_EQ(testsupport::ReadFileText(home_ + "LN.dbc"), junk);
}

TEST_F(StoreStepsTest, StoredDefaultsFillAddressAndHost) {
  util::TStringList message;
  message.SetText(
      "Fcc: outbox\r\nhost: mail.example.net\r\nFrom: Jo Doe <jo@example.net>\r\n\r\nbody\r\n");
  ASSERT_EQ(store::WriteStoreLines(app::DefaultMessageKey, &message, home_ + "LN.dbc"), 0);

  setup::TInstallState state;
  state.AppDir = home_;  // trailing "\": no doubled separator
  setup::ReadStoredDefaults(state);
  EXPECT_EQ(state.Address, "Jo Doe <jo@example.net>");
  EXPECT_EQ(state.Host, "mail.example.net");

  message.SetText("From: only@example.net\r\n\r\n");
  ASSERT_EQ(store::WriteStoreLines(app::DefaultMessageKey, &message, home_ + "LN.dbc"), 0);
  setup::TInstallState noHost;
  noHost.AppDir = state_.AppDir;
  setup::ReadStoredDefaults(noHost);
  EXPECT_EQ(noHost.Address, "only@example.net");
  EXPECT_EQ(noHost.Host, "");
}

TEST_F(StoreStepsTest, MissingStoreLeavesFieldsAndHeldStoreRaises) {
  setup::TInstallState state;
  state.AppDir = state_.AppDir;
  setup::ReadStoredDefaults(state);
  EXPECT_EQ(state.Address, "");
  EXPECT_EQ(state.Host, "");

  ASSERT_TRUE(setup::StoreDefaultTemplates(state_));
  HANDLE held = CreateFileA((home_ + "LN.dbc").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_THROW(setup::ReadStoredDefaults(state), util::EFOpenError);
  EXPECT_THROW(setup::StoreDefaultTemplates(state_), util::EFOpenError);
  CloseHandle(held);
}

// A whole first installation, then what the next run of setup reads back.
TEST_F(StoreStepsTest, InstalledStateIsReadBackByTheNextRun) {
  testsupport::DeleteProductKey();
  WriteFileText(dist_ + "setup.exe", "setup");
  WriteFileText(dist_ + "LN.exe", "product");
  state_.SourceDir = dist_;
  state_.GroupBox = false;
  ASSERT_TRUE(setup::CopyProgramFiles(state_));
  ASSERT_TRUE(setup::WriteRegistrySettings(state_));
  ASSERT_TRUE(setup::StoreDefaultTemplates(state_));
  ASSERT_TRUE(setup::CreateProgramGroup(state_));

  setup::TInstallState next;
  setup::ReadRegistrySettings(next);
  setup::ReadStoredDefaults(next);
  EXPECT_TRUE(next.FoundInstallation);
  EXPECT_FALSE(next.GroupBox);
  EXPECT_EQ(next.AppDir, state_.AppDir);
  EXPECT_EQ(next.Address, state_.Address);
  EXPECT_EQ(next.Host, state_.Host);
  EXPECT_TRUE(boxes_.boxes.empty());
  testsupport::DeleteProductKey();
}

}  // namespace
