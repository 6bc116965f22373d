// The removal actions against Wine's real file system and registry: what each
// home folder keeps, the progress list in both orders, the registry keys.
#include "RemovalFixture.h"

using uninstall::TRemovalInput;
using Lines = std::vector<std::string>;

namespace {
const Lines kAppLines = {"Removing Lanternfell...", "   program group...done",
                         "   program files...done", "   registry key...done"};
const Lines kMixLines = {"Removing Mixmaster...", "   program files...done",
                         "   registry key...done"};

Lines Join(const Lines& a, const Lines& b) {
  Lines all = a;
  all.insert(all.end(), b.begin(), b.end());
  all.push_back("Done!");
  return all;
}
}  // namespace

class RemovalTest : public RemovalFixture {};

TEST_F(RemovalTest, ProductHomeKeepsStoreFilesSubfoldersAndItself) {
  const std::string home = Dir("Product");
  File("Product\\LN.DBC");
  File("Product\\ln.pgp");
  File("Product\\LN.pgp.bak");
  File("Product\\LN.dbc.jnl");  // the store's journal: a cut write is still repaired
  File("Product\\readme.txt");
  File("Product\\ln.dbc.bak");  // only the store's names are kept
  File("Product\\ln.pgp.jnl");
  File("Product\\LN.exe");
  Dir("Product\\Mail\\Inbox");
  File("Product\\Mail\\letter.txt");
  File("Product\\Mail\\Inbox\\ln.tmp");
  MakeKeys(home, "");

  auto removal = MakeRemoval({home, "", "Lanternfell", true, true, false});
  removal->RunRemovals();

  EXPECT_TRUE(Exists("Product\\LN.DBC"));
  EXPECT_TRUE(Exists("Product\\ln.pgp"));
  EXPECT_TRUE(Exists("Product\\LN.pgp.bak"));
  EXPECT_TRUE(Exists("Product\\LN.dbc.jnl"));
  EXPECT_FALSE(Exists("Product\\ln.pgp.jnl"));
  EXPECT_FALSE(Exists("Product\\readme.txt"));
  EXPECT_FALSE(Exists("Product\\ln.dbc.bak"));
  EXPECT_FALSE(Exists("Product\\LN.exe"));
  EXPECT_TRUE(Exists("Product\\Mail\\letter.txt"));
  EXPECT_TRUE(Exists("Product\\Mail\\Inbox\\ln.tmp"));
  EXPECT_TRUE(util::DirectoryExists(home));
  EXPECT_EQ(lines_, kAppLines);
  EXPECT_EQ(link_->commands, Lines{"[DeleteGroup(Lanternfell)]"});
  EXPECT_FALSE(KeyExists(app::ProductRegistryKey));
  EXPECT_TRUE(KeyExists(app::MixmasterRegistryKey));  // not chosen, not touched
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(RemovalTest, MixHomeWithOnlyPoolGoesCompletely) {
  const std::string home = Dir("Mix");
  File("Mix\\mix.exe");
  File("Mix\\mix.cfg");
  Dir("Mix\\Pool\\Old");
  File("Mix\\Pool\\m1.txt");
  File("Mix\\Pool\\Old\\m0.txt");
  MakeKeys("", home);

  // Held without its trailing backslash: the step adds it.
  auto removal = MakeRemoval({"", util::StripBackslash(home), "", true, false, true});
  removal->RunRemovals();

  EXPECT_FALSE(util::DirectoryExists(home));
  EXPECT_EQ(lines_, kMixLines);
  EXPECT_FALSE(KeyExists(app::MixmasterRegistryKey));
  EXPECT_TRUE(KeyExists(app::ProductRegistryKey));
  EXPECT_EQ(link_->opens, 0);  // the product was not chosen: no group command
}

TEST_F(RemovalTest, MixHomeWithAnotherSubfolderKeepsItAndItself) {
  const std::string home = Dir("Mix");
  File("Mix\\mix.exe");
  Dir("Mix\\pool");
  File("Mix\\pool\\m1.txt");
  Dir("Mix\\keys");
  File("Mix\\keys\\secring.mix");

  auto removal = MakeRemoval({"", home, "", true, false, true});
  removal->DeleteMixFiles();

  EXPECT_FALSE(Exists("Mix\\mix.exe"));
  EXPECT_FALSE(Exists("Mix\\pool"));
  EXPECT_TRUE(Exists("Mix\\keys\\secring.mix"));
  EXPECT_TRUE(util::DirectoryExists(home));
  EXPECT_EQ(lines_, Lines{"   program files...done"});
}

TEST_F(RemovalTest, MixHomeStaysWhenPoolCannotBeEmptied) {
  const std::string home = Dir("Mix");
  Dir("Mix\\pool");
  const std::string locked = File("Mix\\pool\\locked.txt");
  ASSERT_TRUE(SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_READONLY));

  auto removal = MakeRemoval({"", home, "", true, false, true});
  removal->DeleteMixFiles();

  EXPECT_TRUE(Exists("Mix\\pool\\locked.txt"));
  EXPECT_TRUE(util::DirectoryExists(home));
  SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(RemovalTest, ProgressListFollowsTheChosenOrder) {
  for (bool appFirst : {true, false}) {
    SCOPED_TRACE(appFirst ? "product first" : "Mixmaster first");
    lines_.clear();
    const std::string appHome = Dir("App"), mixHome = Dir("Mix");
    File("App\\readme.txt");
    File("Mix\\mix.exe");
    MakeKeys(appHome, mixHome);

    auto removal = MakeRemoval({appHome, mixHome, "LanternfellTest", appFirst, true, true});
    removal->RunRemovals();
    removal->Finish();

    EXPECT_EQ(lines_, appFirst ? Join(kAppLines, kMixLines) : Join(kMixLines, kAppLines));
    EXPECT_FALSE(KeyExists(app::ProductRegistryKey));
    EXPECT_FALSE(KeyExists(app::MixmasterRegistryKey));
    EXPECT_FALSE(Exists("App\\readme.txt"));
    EXPECT_FALSE(util::DirectoryExists(mixHome));
  }
}

TEST_F(RemovalTest, MixmasterOnlyLeavesTheProductAlone) {
  const std::string appHome = Dir("App"), mixHome = Dir("Mix");
  File("App\\readme.txt");
  MakeKeys(appHome, mixHome);

  auto removal = MakeRemoval({appHome, mixHome, "LanternfellTest", true, false, true});
  removal->RunRemovals();
  removal->Finish();

  EXPECT_EQ(lines_, (Lines{"Removing Mixmaster...", "   program files...done",
                           "   registry key...done", "Done!"}));
  EXPECT_TRUE(Exists("App\\readme.txt"));
  EXPECT_TRUE(KeyExists(app::ProductRegistryKey));
  EXPECT_FALSE(KeyExists(app::MixmasterRegistryKey));
  EXPECT_EQ(link_->opens, 0);
}

TEST_F(RemovalTest, MissingHomeFoldersStillGiveEveryLine) {
  MakeKeys(root_ + "gone\\", "");
  auto removal = MakeRemoval({root_ + "gone\\", "", "", false, true, true});
  removal->RunRemovals();
  Lines expected = kMixLines;
  expected.insert(expected.end(), kAppLines.begin(), kAppLines.end());
  EXPECT_EQ(lines_, expected);
  EXPECT_FALSE(util::DirectoryExists(root_ + "gone"));
  EXPECT_FALSE(KeyExists(app::ProductRegistryKey));
  EXPECT_FALSE(KeyExists(app::MixmasterRegistryKey));
}

TEST_F(RemovalTest, NoDdeServerShowsErrorWritesNoGroupLineAndRemovesTheRest) {
  const std::string home = Dir("App");
  File("App\\readme.txt");
  MakeKeys(home, "");

  // The real DDE client, pointed at a service that nobody answers.
  uninstall::TRemoval removal({home, "", "Lanternfell", true, true, false},
                              [this](const std::string& line) { lines_.push_back(line); });
  removal.SetProgmanLink(std::make_unique<uninstall::TDdeClientConv>("LFNOSUCHSERVICE"));
  removal.RunRemovals();

  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].text, "Unable to remove Lanternfell program group!");
  EXPECT_EQ(boxes_[0].caption, "Error");
  EXPECT_EQ(boxes_[0].buttons, util::MsgButtons::Ok);
  EXPECT_EQ(boxes_[0].owner, util::MsgOwner::MainWindow);
  EXPECT_EQ(lines_, (Lines{"Removing Lanternfell...", "   program files...done",
                           "   registry key...done"}));
  EXPECT_FALSE(Exists("App\\readme.txt"));
  EXPECT_FALSE(KeyExists(app::ProductRegistryKey));
}
