// The removal actions against Wine's real file system and registry: what each
// home folder keeps, the progress list in both orders, the registry keys.
#include "RemovalFixture.h"
#include "util/Text.h"

using uninstall::TUninstallState;

namespace {
// Both removals' lines in order, then the closing line.
Lines Join(const Lines& a, const Lines& b) {
  Lines all = Concat(a, b);
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

  auto removal = MakeRemoval({.AppDir = home, .GroupName = "Lanternfell", .AppChecked = true});
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
  EXPECT_FALSE(KeyExists(app::UninstallEntryKey));    // gone from Installed apps with it
  EXPECT_TRUE(KeyExists(app::MixmasterRegistryKey));  // not chosen, not touched
  EXPECT_TRUE(boxes_.empty());
}

// The store's rollback journal is one of the store's files: the product's
// removal keeps it, and so does Mixmaster's in a home the two share.
TEST_F(RemovalTest, StoreJournalIsKeptInEitherHome) {
  const std::string home = Dir("Shared");
  File("Shared\\LN.dbc");
  File("Shared\\ln.DBC.jnl", "journal");
  File("Shared\\LN.dbc.jnl.old");
  MakeKeys(home, home);

  auto removal = MakeRemoval(BothChosen(home, home));
  removal->RunRemovals();

  EXPECT_EQ(Read("Shared\\ln.DBC.jnl"), "journal");
  EXPECT_TRUE(Exists("Shared\\LN.dbc"));
  EXPECT_FALSE(Exists("Shared\\LN.dbc.jnl.old"));
}

TEST_F(RemovalTest, MixHomeWithOnlyPoolGoesCompletely) {
  const std::string home = Dir("Mix");
  File("Mix\\mix.exe");
  File("Mix\\mix.cfg");
  Dir("Mix\\Pool\\Old");
  File("Mix\\Pool\\m1.txt");
  File("Mix\\Pool\\Old\\m0.txt");
  // Beside the home, with names the home's is a prefix of: the user's.
  Dir("Mixer");
  File("Mixer\\LN.dbc");
  File("Mix.txt");
  MakeKeys("", home);

  // Held without its trailing backslash: the step adds it.
  auto removal = MakeRemoval({.MixDir = util::StripBackslash(home), .MixChecked = true});
  removal->RunRemovals();

  EXPECT_FALSE(util::DirectoryExists(home));
  EXPECT_TRUE(Exists("Mixer\\LN.dbc"));
  EXPECT_TRUE(Exists("Mix.txt"));
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

  auto removal = MakeRemoval({.MixDir = home, .MixChecked = true});
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

  auto removal = MakeRemoval({.MixDir = home, .MixChecked = true});
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

    auto removal = MakeRemoval(BothChosen(appHome, mixHome, appFirst));
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

  auto removal = MakeRemoval(
      {.AppDir = appHome, .MixDir = mixHome, .GroupName = "Lanternfell", .MixChecked = true});
  removal->RunRemovals();
  removal->Finish();

  EXPECT_EQ(lines_, (Lines{"Removing Mixmaster...", "   program files...done",
                           "   registry key...done", "Done!"}));
  EXPECT_TRUE(Exists("App\\readme.txt"));
  EXPECT_TRUE(KeyExists(app::ProductRegistryKey));
  EXPECT_TRUE(KeyExists(app::UninstallEntryKey));  // the product is still installed
  EXPECT_FALSE(KeyExists(app::MixmasterRegistryKey));
  EXPECT_EQ(link_->opens, 0);
}

TEST_F(RemovalTest, MissingHomeFoldersStillGiveEveryLine) {
  MakeKeys(root_ + "gone\\", "");
  auto removal = MakeRemoval(
      {.AppDir = root_ + "gone\\", .AppFirst = false, .AppChecked = true, .MixChecked = true});
  removal->RunRemovals();
  EXPECT_EQ(lines_, Concat(kMixLines, kAppLines));
  EXPECT_FALSE(util::DirectoryExists(root_ + "gone"));
  EXPECT_FALSE(KeyExists(app::ProductRegistryKey));
  EXPECT_FALSE(KeyExists(app::MixmasterRegistryKey));
}

TEST_F(RemovalTest, NoDdeServerShowsErrorWritesNoGroupLineAndRemovesTheRest) {
  const std::string home = Dir("App");
  File("App\\readme.txt");
  MakeKeys(home, "");

  // The real DDE client, pointed at a service that nobody answers.
  uninstall::TRemoval removal({.AppDir = home, .GroupName = "Lanternfell", .AppChecked = true},
                              [this](const std::string& line) { lines_.push_back(line); });
  removal.SetProgmanLink(std::make_unique<uninstall::TDdeClientConv>("LFNOSUCHSERVICE"));
  removal.RunRemovals();

  ExpectGroupErrorAndTheRestRemoved();
}

// The product and Mixmaster in one folder, both chosen (the wizard then
// checks both): Mixmaster's file step takes every file there but the
// product's store, in either order and however the folder is spelled.
TEST_F(RemovalTest, SharedHomeKeepsTheProductStoreAndEverythingElseGoes) {
  const std::string store("LNDBC\0\x01\xff store bytes", 20);
  for (bool appFirst : {true, false}) {
    SCOPED_TRACE(appFirst ? "product first" : "Mixmaster first");
    lines_.clear();
    link_ = std::make_shared<LinkLog>();
    const std::string home = Dir("Shared");
    File("Shared\\LN.dbc", store);
    File("Shared\\ln.PGP", "encrypted");
    File("Shared\\Ln.Pgp.Bak", "backup");
    for (const char* other : {"Shared\\LN.exe", "Shared\\UninstLN.exe", "Shared\\mix.exe",
                              "Shared\\mix.cfg", "Shared\\ln.dbc.old", "Shared\\LN.ini"})
      File(other);
    Dir("Shared\\pool");
    File("Shared\\pool\\m1.txt");
    // The two values may spell the one folder differently.
    const std::string mixDir = appFirst ? home : util::UpperCase(util::StripBackslash(home));
    MakeKeys(home, mixDir);

    auto removal = MakeRemoval(BothChosen(home, mixDir, appFirst));
    removal->RunRemovals();
    removal->Finish();

    EXPECT_EQ(Read("Shared\\LN.dbc"), store);
    EXPECT_EQ(Read("Shared\\ln.PGP"), "encrypted");
    EXPECT_EQ(Read("Shared\\Ln.Pgp.Bak"), "backup");
    for (const char* gone :
         {"Shared\\LN.exe", "Shared\\UninstLN.exe", "Shared\\mix.exe", "Shared\\mix.cfg",
          "Shared\\ln.dbc.old", "Shared\\LN.ini", "Shared\\pool"})
      EXPECT_FALSE(Exists(gone)) << gone;
    EXPECT_TRUE(util::DirectoryExists(home));
    EXPECT_EQ(lines_, appFirst ? Join(kAppLines, kMixLines) : Join(kMixLines, kAppLines));
    EXPECT_EQ(link_->commands, Lines{"[DeleteGroup(Lanternfell)]"});
    EXPECT_FALSE(KeyExists(app::ProductRegistryKey));
    EXPECT_FALSE(KeyExists(app::MixmasterRegistryKey));
    EXPECT_TRUE(boxes_.empty());
    tmp_.Clear();
  }
}

// The product's home inside Mixmaster's pool, or the pool itself: the pool
// removal clears everything around it but leaves the home, what is in it and
// the folders on the way to it; the product's own removal then takes its
// files but the store. Mixmaster's home stays, as when anything resists.
TEST_F(RemovalTest, ProductHomeInsidePoolKeepsTheStoreAndThePathToIt) {
  const std::string store("LNDBC\0\x02\xfe pooled store", 21);
  for (bool homeIsPool : {false, true}) {
    for (bool productChosen : {true, false}) {
      SCOPED_TRACE(std::string(homeIsPool ? "home is the pool" : "home deep in the pool") +
                   (productChosen ? ", both chosen" : ", Mixmaster only"));
      lines_.clear();
      const std::string mixHome = Dir("Mix");
      File("Mix\\mix.exe");
      Dir("Mix\\pool\\old");
      File("Mix\\pool\\old\\m0.txt");
      File("Mix\\pool\\m1.txt");
      Dir("Mix\\pool\\users\\other");
      File("Mix\\pool\\users\\other\\m2.txt");
      File("Mix\\pool\\users\\m3.txt");
      const std::string appRel = homeIsPool ? "Mix\\Pool" : "Mix\\pool\\users\\Lanternfell";
      const std::string appHome = Dir(appRel);
      File(appRel + "\\LN.DBC", store);
      File(appRel + "\\ln.pgp.bak", "backup");
      File(appRel + "\\readme.txt");
      Dir(appRel + "\\Mail");
      File(appRel + "\\Mail\\letter.txt", "letter");
      MakeKeys(appHome, mixHome);

      // The wizard removes Mixmaster first when the product lies inside it.
      auto removal = MakeRemoval({.AppDir = appHome,
                                  .MixDir = mixHome,
                                  .GroupName = "Lanternfell",
                                  .AppFirst = false,
                                  .AppChecked = productChosen,
                                  .MixChecked = true});
      removal->RunRemovals();

      EXPECT_EQ(Read(appRel + "\\LN.DBC"), store);
      EXPECT_EQ(Read(appRel + "\\ln.pgp.bak"), "backup");
      EXPECT_EQ(Read(appRel + "\\Mail\\letter.txt"), "letter");
      EXPECT_TRUE(util::DirectoryExists(appHome));
      EXPECT_TRUE(util::DirectoryExists(mixHome));
      EXPECT_FALSE(Exists("Mix\\mix.exe"));
      // Only the product's own removal deletes files in its home.
      EXPECT_EQ(Exists(appRel + "\\readme.txt"), !productChosen);
      if (homeIsPool) {
        // All of the pool is the product's home: its subfolders stay.
        EXPECT_EQ(Exists("Mix\\pool\\m1.txt"), !productChosen);
        EXPECT_TRUE(Exists("Mix\\pool\\old\\m0.txt"));
        EXPECT_TRUE(Exists("Mix\\pool\\users\\other\\m2.txt"));
      } else {
        for (const char* gone : {"Mix\\pool\\old", "Mix\\pool\\m1.txt", "Mix\\pool\\users\\other",
                                 "Mix\\pool\\users\\m3.txt"})
          EXPECT_FALSE(Exists(gone)) << gone;
      }
      EXPECT_EQ(lines_, productChosen ? Concat(kMixLines, kAppLines) : kMixLines);
      EXPECT_FALSE(KeyExists(app::MixmasterRegistryKey));
      EXPECT_EQ(KeyExists(app::ProductRegistryKey), !productChosen);
      tmp_.Clear();
    }
  }
}

// The product removed earlier (its key gone) left its store in the folder it
// shared with Mixmaster; removing Mixmaster now still leaves the store, and
// the home folder with it, while everything else goes.
TEST_F(RemovalTest, MixmasterAloneLeavesAStoreLeftInItsHome) {
  const std::string home = Dir("Mix");
  File("Mix\\LN.DBC", "mail");
  File("Mix\\ln.pgp", "encrypted mail");
  File("Mix\\mix.exe");
  File("Mix\\LN.dbc.old");
  Dir("Mix\\pool");
  File("Mix\\pool\\m1.txt");
  MakeKeys("", home);
  util::TRegistry().DeleteKey(app::ProductRegistryKey);

  auto removal = MakeRemoval({.MixDir = home, .MixChecked = true});
  removal->RunRemovals();

  EXPECT_EQ(Read("Mix\\LN.DBC"), "mail");
  EXPECT_EQ(Read("Mix\\ln.pgp"), "encrypted mail");
  EXPECT_FALSE(Exists("Mix\\mix.exe"));
  EXPECT_FALSE(Exists("Mix\\LN.dbc.old"));
  EXPECT_FALSE(Exists("Mix\\pool"));
  EXPECT_TRUE(util::DirectoryExists(home));
  EXPECT_EQ(lines_, kMixLines);
  EXPECT_FALSE(KeyExists(app::MixmasterRegistryKey));
}
