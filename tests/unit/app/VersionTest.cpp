// The shared names and the values derived from the executable's path.
#include <gtest/gtest.h>

#include "app/Startup.h"
#include "app/Version.h"
#include "util/Errors.h"

TEST(VersionTest, StoreKeysUseTheSingleByteSeparator) {
  EXPECT_EQ(app::DefaultMessageKey.size(), 15u);
  EXPECT_EQ(app::DefaultMessageKey, std::string("default\xff" "message"));
  EXPECT_EQ(app::DefaultArticleKey, std::string("default\xff" "article"));
  EXPECT_EQ(app::UninstallerFileName, "UninstLN.exe");
  EXPECT_EQ(app::ProductRegistryKey, "Software\\Lanternfell");
  EXPECT_EQ(app::SummarySeparator, "\xad");
  EXPECT_EQ(app::IncomingMark, "\xa8");
  EXPECT_EQ(app::OutgoingMark, "\xa9");
}

TEST(VersionTest, StoreFileNamesInAnyCaseAndNothingElse) {
  for (const char* name : {"LN.dbc", "ln.DBC", "LN.dbc.jnl", "LN.DBC.JNL", "LN.pgp", "ln.pgp",
                           "LN.pgp.bak", "ln.PGP.BAK"})
    EXPECT_TRUE(app::IsStoreFileName(name)) << name;
  for (const char* name : {"", "LN.exe", "LN.ini", "LN.dbc.bak", "LN.jnl", "LN.dbc.jnl.bak",
                           "LN.pgp.jnl", "xLN.dbc", "LN.dbc ", "UninstLN.exe"})
    EXPECT_FALSE(app::IsStoreFileName(name)) << name;
  EXPECT_TRUE(app::IsStoreFileName(app::StoreFileName + ".jnl"));
}

TEST(VersionTest, DerivedNamesComeFromTheExecutablePath) {
  app::ResetDerivedNames();
  EXPECT_THROW(app::ExeStorePath(), util::EGeneralError);  // read before start-up
  app::InitDerivedNames("C:\\Dist\\setup.exe");
  EXPECT_EQ(app::ExePathUpper(), "C:\\DIST\\SETUP.EXE");
  EXPECT_EQ(app::ExeStorePath(), "C:\\DIST\\SETUP.dbc");
  EXPECT_EQ(app::ExeHomeDir(), "c:\\dist\\");
  EXPECT_EQ(app::ExePgpBackupPath(), "C:\\DIST\\SETUP.pgp.bak");
  EXPECT_EQ(app::ExePgpTempPath(), "C:\\DIST\\SETUP.pgp.tmp");
  EXPECT_EQ(app::ExeIniPath(), "C:\\DIST\\SETUP.ini");
}

TEST(StartupTest, OnlySetupExeWithoutMinusUChoosesSetup) {
  using app::TMode;
  EXPECT_EQ(app::SelectMode("C:\\Dist\\SETUP.EXE", ""), TMode::Setup);
  EXPECT_EQ(app::SelectMode("C:\\Dist\\setup.exe", "-U"), TMode::Uninstall);
  EXPECT_EQ(app::SelectMode("C:\\Dist\\setup.exe", "-x"), TMode::Setup);
  EXPECT_EQ(app::SelectMode("C:\\Dist\\setup.exe", "/u"), TMode::Setup);
  EXPECT_EQ(app::SelectMode("C:\\LN\\UninstLN.exe", ""), TMode::Uninstall);
  EXPECT_EQ(app::SelectMode("C:\\LN\\UninstLN.exe", "-x"), TMode::Uninstall);
  EXPECT_EQ(app::SelectMode("C:\\Dist\\install.exe", ""), TMode::Uninstall);
  EXPECT_EQ(app::SelectMode("C:\\setup.exe\\x.exe", ""), TMode::Uninstall);
  EXPECT_EQ(app::SelectMode("C:setup.exe", ""), TMode::Setup);
}
