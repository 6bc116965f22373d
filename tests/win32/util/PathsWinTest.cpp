// Short names, system folders and last-error texts under Wine.
#include <gtest/gtest.h>

#include "util/FileStream.h"
#include "util/Paths.h"
#include "util/System.h"
#include "util/Text.h"
#include "util/Win.h"

namespace {
std::string MakeDir(const std::string& path) {
  CreateDirectoryA(path.c_str(), nullptr);
  return path;
}
}  // namespace

TEST(PathsWinTest, ShortAndLongSpellingsOfOneFolderCompareSame) {
  const std::string base = util::GetTempDir() + "Lanternfell Long Folder Name";
  MakeDir(base);
  MakeDir(base + "\\Mixmaster Inside");
  const std::string shortForm = util::GetShortPath(base);
  ASSERT_FALSE(shortForm.empty());
  EXPECT_NE(util::LowerCase(shortForm), util::LowerCase(base));  // really two spellings
  EXPECT_TRUE(util::SameDir(base, util::UpperCase(shortForm) + "\\"));
  EXPECT_EQ(util::NormaliseDir(base), util::LowerCase(shortForm) + "\\");
  EXPECT_TRUE(util::DirInside(base + "\\Mixmaster Inside", shortForm));
  EXPECT_FALSE(util::DirInside(shortForm, base + "\\Mixmaster Inside"));
  EXPECT_FALSE(util::DirInside(base, base));
  RemoveDirectoryA((base + "\\Mixmaster Inside").c_str());
  RemoveDirectoryA(base.c_str());
}

TEST(PathsWinTest, MissingFoldersHaveNoShortFormAndNoRelation) {
  const std::string gone = util::GetTempDir() + "no such folder here";
  EXPECT_EQ(util::GetShortPath(gone), "");
  EXPECT_EQ(util::NormaliseDir(gone), "");
  EXPECT_FALSE(util::SameDir(gone, gone));
  // The trailing backslash keeps c:\mix2\ out of c:\mix\.
  EXPECT_FALSE(util::NormalisedInside("c:\\mix2\\", "c:\\mix\\"));
  EXPECT_TRUE(util::NormalisedInside("c:\\mix\\pool\\", "c:\\mix\\"));
}

TEST(PathsWinTest, WindowsAndTempFoldersKeepTheirBackslashRules) {
  const std::string win = util::GetWindowsDir();
  ASSERT_FALSE(win.empty());
  EXPECT_NE(win.back(), '\\');
  EXPECT_TRUE(util::SameText(win, "C:\\windows"));
  const std::string tmp = util::GetTempDir();
  ASSERT_FALSE(tmp.empty());
  EXPECT_EQ(tmp.back(), '\\');
  EXPECT_TRUE(util::DirectoryExists(util::GetCurrentDir()));
  EXPECT_TRUE(util::FileExists(util::GetExePath()));
}

// The executable's folder does not follow the current directory.
TEST(PathsWinTest, ExeDirIsTheFolderOfTheRunningProgramWhereverItRuns) {
  const std::string saved = util::GetCurrentDir();
  ASSERT_TRUE(util::SetCurrentDir(util::GetTempDir()));
  const std::string dir = util::GetExeDir();
  util::SetCurrentDir(saved);
  ASSERT_FALSE(dir.empty());
  EXPECT_NE(dir.back(), '\\');
  EXPECT_TRUE(util::DirectoryExists(dir));
  EXPECT_EQ(dir + "\\" + util::ExtractFileName(util::GetExePath()), util::GetExePath());
  EXPECT_FALSE(util::SameDir(dir, util::GetTempDir()));
}

TEST(PathsWinTest, LastErrorTextIsTheSystemMessage) {
  SetLastError(ERROR_FILE_NOT_FOUND);
  const std::string text = util::LastErrorText();
  EXPECT_NE(util::LowerCase(text).find("file"), std::string::npos) << text;
  EXPECT_EQ(text.back(), '\n');  // kept as the system formats it
  EXPECT_EQ(util::ErrorText(0xDEADBEEF).rfind("Unknown error", 0), 0u);
}

TEST(PathsWinTest, SystemErrorMessageIsTheContextAndTheSystemTextOnOneLine) {
  auto blank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
  for (unsigned long code : {2ul /* file not found */, 32ul /* sharing */, 0xDEADBEEFul}) {
    const std::string raw = util::ErrorText(code);
    const std::string msg = util::SystemErrorMessage("Cannot do it: ", code);
    EXPECT_EQ(msg.rfind("Cannot do it: ", 0), 0u) << msg;
    EXPECT_EQ(msg.find_first_of("\r\n"), std::string::npos) << msg;
    EXPECT_FALSE(blank(msg.back())) << msg;
    // Only the line breaks and the trailing white space are gone.
    std::string letters;
    for (char c : raw)
      if (!blank(c)) letters += c;
    std::string msgLetters;
    for (char c : msg.substr(14))
      if (!blank(c)) msgLetters += c;
    EXPECT_EQ(msgLetters, letters) << msg;
  }
  EXPECT_EQ(util::SystemErrorMessage("x ", 0xDEADBEEF).rfind("x Unknown error ", 0), 0u);
}

TEST(PathsWinTest, FullPathResolvesDotsSlashesAndTheCurrentFolder) {
  EXPECT_EQ(util::FullPath("C:\\a\\b\\..\\c/./d\\\\e"), "C:\\a\\c\\d\\e");
  EXPECT_EQ(util::FullPath("C:\\a\\.."), "C:\\");
  EXPECT_EQ(util::FullPath(""), "");
  const std::string here = util::GetCurrentDir();
  EXPECT_EQ(util::FullPath("lf_not_there.txt"), util::AppendBackslash(here) + "lf_not_there.txt");
}
