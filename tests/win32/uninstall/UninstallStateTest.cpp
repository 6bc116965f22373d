// What the un-install wizard finds before it shows anything: how its two
// check boxes start for every kind of installation, the order of the
// removal, and the state read from Wine's real registry and folders, handed
// to the removal as it is.
#include "RemovalFixture.h"
#include "uninstall/UninstallState.h"

using uninstall::TEntryStart;
using uninstall::TUninstallState;

namespace {

struct StartRow {
  const char* situation;
  TUninstallState found;
  TEntryStart app, mix;
  bool productFirst;
};

constexpr TEntryStart kClearedOff{.Checked = false, .Enabled = false};
constexpr TEntryStart kCheckedOff{.Checked = true, .Enabled = false};
constexpr TEntryStart kCheckedOn{.Checked = true, .Enabled = true};

}  // namespace

// Every row of the Options page's start: what is installed, the marker that
// forbids removing the product, and how the homes lie.
TEST(UninstallStateTest, CheckBoxesStartAsEachInstallationWants) {
  const StartRow rows[] = {
      {"nothing installed", {}, kClearedOff, kClearedOff, false},
      {"product only", {.AppInstalled = true}, kCheckedOn, kClearedOff, true},
      {"product only, marker",
       {.AppInstalled = true, .AppMarker = true},
       kClearedOff,
       kClearedOff,
       false},
      {"Mixmaster only", {.MixInstalled = true}, kClearedOff, kCheckedOn, false},
      {"both apart", {.AppInstalled = true, .MixInstalled = true}, kCheckedOn, kCheckedOn, true},
      {"both apart, marker",
       {.AppInstalled = true, .MixInstalled = true, .AppMarker = true},
       kClearedOff,
       kCheckedOn,
       false},
      {"Mixmaster inside the product",
       {.AppInstalled = true, .MixInstalled = true, .MixInsideApp = true},
       kCheckedOn,
       kCheckedOff,
       true},
      {"Mixmaster inside the product, marker",
       {.AppInstalled = true, .MixInstalled = true, .AppMarker = true, .MixInsideApp = true},
       kClearedOff,
       kCheckedOff,
       false},
      {"one home",
       {.AppInstalled = true, .MixInstalled = true, .SameHomeDir = true},
       kCheckedOn,
       kCheckedOff,
       true},
      {"one home, marker",
       {.AppInstalled = true, .MixInstalled = true, .AppMarker = true, .SameHomeDir = true},
       kClearedOff,
       kCheckedOff,
       false},
      {"product inside Mixmaster",
       {.AppInstalled = true, .MixInstalled = true, .AppInsideMix = true},
       kCheckedOn,
       kCheckedOn,
       false},
      {"product inside Mixmaster, marker",
       {.AppInstalled = true, .MixInstalled = true, .AppMarker = true, .AppInsideMix = true},
       kCheckedOff,
       kCheckedOn,
       false},
  };
  for (const StartRow& row : rows) {
    SCOPED_TRACE(row.situation);
    const TEntryStart app = row.found.AppEntryStart(), mix = row.found.MixEntryStart();
    EXPECT_EQ(app.Checked, row.app.Checked);
    EXPECT_EQ(app.Enabled, row.app.Enabled);
    EXPECT_EQ(mix.Checked, row.mix.Checked);
    EXPECT_EQ(mix.Enabled, row.mix.Enabled);
    EXPECT_EQ(row.found.ProductFirst(), row.productFirst);
  }
}

class UninstallStateReadTest : public RemovalFixture {
 protected:
  static void WriteKey(const std::string& key,
                       const std::vector<std::pair<std::string, std::string>>& values) {
    util::TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(key, true));
    for (const auto& [name, value] : values) reg.WriteString(name, value);
  }
};

TEST_F(UninstallStateReadTest, FindsHomesGroupMarkerAndRelationsAndTheRemovalTakesThem) {
  {
    SCOPED_TRACE("nothing installed");
    const TUninstallState s = uninstall::FindInstallations();
    EXPECT_FALSE(s.AnyInstalled());
    EXPECT_EQ(s.AppDir, "");
    EXPECT_EQ(s.MixDir, "");
    EXPECT_FALSE(s.AppChecked || s.MixChecked || s.AppFirst);
  }
  {
    // Recorded without the backslash and in another letter case: read with
    // one added, compared in normalised form.
    SCOPED_TRACE("Mixmaster inside the product's home");
    const std::string app = Dir("App"), mix = Dir("App\\Mix");
    WriteKey(app::ProductRegistryKey,
             {{"AppDir", util::StripBackslash(app)}, {"Program Group", "Lanternfell"}});
    WriteKey(app::MixmasterRegistryKey, {{"MixDir", util::UpperCase(util::StripBackslash(mix))}});
    const TUninstallState s = uninstall::FindInstallations();
    EXPECT_TRUE(s.AppInstalled && s.MixInstalled);
    EXPECT_EQ(s.AppDir, app);
    EXPECT_EQ(s.MixDir, util::UpperCase(mix));
    EXPECT_EQ(s.GroupName, "Lanternfell");
    EXPECT_FALSE(s.AppMarker);
    EXPECT_TRUE(s.MixInsideApp);
    EXPECT_FALSE(s.AppInsideMix);
    EXPECT_FALSE(s.SameHomeDir);
    EXPECT_TRUE(s.AppChecked && s.MixChecked && s.AppFirst);
  }
  {
    SCOPED_TRACE("one home");
    const std::string home = Dir("App");
    WriteKey(app::MixmasterRegistryKey, {{"MixDir", util::UpperCase(home)}});
    const TUninstallState s = uninstall::FindInstallations();
    EXPECT_TRUE(s.SameHomeDir);
    EXPECT_FALSE(s.MixInsideApp || s.AppInsideMix);
    EXPECT_TRUE(s.AppFirst);
  }
  {
    // The marker forbids removing the product, yet a product inside
    // Mixmaster's home is held checked and goes second; the removal follows
    // the state exactly as it was found.
    SCOPED_TRACE("product with marker inside Mixmaster's home");
    const std::string mix = Dir("Mix"), app = Dir("Mix\\LN");
    File("Mix\\LN\\unln.dsk");
    File("Mix\\LN\\readme.txt");
    File("Mix\\LN\\LN.dbc", "store");
    File("Mix\\mix.exe");
    WriteKey(app::ProductRegistryKey, {{"AppDir", app}, {"Program Group", "Lanternfell"}});
    WriteKey(app::MixmasterRegistryKey, {{"MixDir", mix}});
    const TUninstallState s = uninstall::FindInstallations();
    EXPECT_TRUE(s.AppMarker);
    EXPECT_TRUE(s.AppInsideMix);
    EXPECT_TRUE(s.AppChecked && s.MixChecked);
    EXPECT_FALSE(s.AppFirst);

    lines_.clear();
    auto removal = MakeRemoval(s);
    removal->RunRemovals();
    EXPECT_EQ(lines_,
              (Lines{"Removing Mixmaster...", "   program files...done", "   registry key...done",
                     "Removing Lanternfell...", "   program group...done",
                     "   program files...done", "   registry key...done"}));
    EXPECT_EQ(link_->commands, Lines{"[DeleteGroup(Lanternfell)]"});
    EXPECT_FALSE(Exists("Mix\\mix.exe"));
    EXPECT_FALSE(Exists("Mix\\LN\\readme.txt"));
    EXPECT_EQ(Read("Mix\\LN\\LN.dbc"), "store");
    EXPECT_TRUE(util::DirectoryExists(mix));
    EXPECT_FALSE(KeyExists(app::ProductRegistryKey));
    EXPECT_FALSE(KeyExists(app::MixmasterRegistryKey));
  }
}
