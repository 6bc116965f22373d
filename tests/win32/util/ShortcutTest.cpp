// CreateShortcut read back through the shell.
#include <gtest/gtest.h>

#include "tests/support/ShellLinkReader.h"
#include "tests/support/TempDir.h"
#include "util/FileStream.h"
#include "util/Paths.h"
#include "util/Shortcut.h"
#include "util/Text.h"
#include "util/Win.h"

namespace {

using testsupport::MakeDir;
using testsupport::TTempDir;
using testsupport::WriteFileText;

TEST(ShortcutTest, FieldsReadBackAndSecondCallReplacesLink) {
  TTempDir tmp;
  MakeDir(tmp.Path("Program Files X"));
  const std::string target = tmp.Path("Program Files X\\LN.exe");
  const std::string icon = tmp.Path("Program Files X\\Icons.dll");
  WriteFileText(target, "MZ");
  WriteFileText(icon, "MZ");
  const std::string link = tmp.Path("Lanternfell.LNK");

  ASSERT_TRUE(SUCCEEDED(util::CreateShortcut(target, link, icon, "Lanternfell", "")));
  testsupport::TLinkFields f = testsupport::ReadShortcut(link);
  ASSERT_TRUE(f.loaded);
  EXPECT_TRUE(util::SameText(f.path, target)) << f.path;
  EXPECT_EQ(f.description, "Lanternfell");
  EXPECT_EQ(f.workingDir, util::LowerCase(tmp.Path("Program Files X\\")));
  EXPECT_TRUE(util::SameText(f.iconFile, icon)) << f.iconFile;
  EXPECT_EQ(f.iconIndex, 0);
  EXPECT_EQ(f.arguments, "");

  ASSERT_TRUE(SUCCEEDED(util::CreateShortcut(target, link, target, "Second", "-x  \"a b\"")));
  f = testsupport::ReadShortcut(link);
  ASSERT_TRUE(f.loaded);
  EXPECT_EQ(f.description, "Second");
  EXPECT_EQ(f.arguments, "-x  \"a b\"");
  EXPECT_TRUE(util::SameText(f.iconFile, target)) << f.iconFile;
}

TEST(ShortcutTest, MissingFolderOrOverlongPathGivesFailureCode) {
  TTempDir tmp;
  const std::string target = tmp.Path("LN.exe");
  WriteFileText(target, "MZ");
  const std::string link = tmp.Path("no-such-folder\\x.LNK");
  EXPECT_TRUE(FAILED(util::CreateShortcut(target, link, target, "d", "")));
  EXPECT_FALSE(util::FileExists(link));

  const std::string longLink = tmp.Path() + std::string(300, 'L') + ".LNK";
  EXPECT_TRUE(FAILED(util::CreateShortcut(target, longLink, target, "d", "")));
}

}  // namespace
