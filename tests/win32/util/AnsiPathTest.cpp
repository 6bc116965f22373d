// Folders whose names the ANSI code page cannot spell, as the system hands
// them over: exact ANSI texts pass, others come in their short form, and one
// without a short form is named once in a box.
#include <gtest/gtest.h>

#include <shlobj.h>

#include "tests/support/BoxRecorder.h"
#include "tests/support/TempDir.h"
#include "tests/support/Unspellable.h"
#include "util/AnsiPath.h"
#include "util/FileStream.h"
#include "util/Paths.h"
#include "util/Registry.h"
#include "util/Text.h"
#include "util/Win.h"

using namespace testsupport;

namespace {

// What an ANSI function gives for the name: a look-alike ("L" for "Ł") or
// "?" where the code page has no such letter.
std::string Lossy(const std::wstring& wide) {
  char out[MAX_PATH * 2] = {};
  WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, out, sizeof out, nullptr, nullptr);
  return out;
}

class AnsiPathTest : public ::testing::Test {
 protected:
  void SetUp() override {
    name_ = UnspellableName();
    if (name_.empty()) GTEST_SKIP() << "the code page " << GetACP() << " spells every name";
    base_ = Widen(tmp_.Path()) + L"lf-" + name_;
    ASSERT_TRUE(MakeDirW(base_));
  }
  void TearDown() override {
    if (!base_.empty()) RemoveTreeW(base_);
  }

  TTempDir tmp_;
  TBoxRecorder boxes_;
  std::wstring name_, base_;
};

TEST_F(AnsiPathTest, TextsTheCodePageSpellsPassAsTheyAreAndOthersDoNot) {
  std::string ansi = "left over";
  EXPECT_TRUE(util::ToAnsiExactly(L"C:\\Program Files\\Lanternfell", ansi));
  EXPECT_EQ(ansi, "C:\\Program Files\\Lanternfell");
  const std::wstring western = Widen("C:\\Users\\J\xF6rg");  // the code page's own letter
  EXPECT_TRUE(util::ToAnsiExactly(western.c_str(), ansi));
  EXPECT_EQ(ansi, "C:\\Users\\J\xF6rg");
  EXPECT_FALSE(util::ToAnsiExactly(name_.c_str(), ansi));
  EXPECT_EQ(ansi, "");
  // No best fit: "Ł" is not "L", nor a Greek capital an "Y".
  EXPECT_FALSE(util::ToAnsiExactly(L"\u0141", ansi) && ansi == "L");
  EXPECT_EQ(util::AnsiPath(L"C:\\windows"), "C:\\windows");
  EXPECT_EQ(util::AnsiPath(L""), "");
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(AnsiPathTest, FolderOutsideTheCodePageComesInItsShortFormAndNamesTheSameFolder) {
  // What the ANSI functions had ("?" or a look-alike for the letter) names
  // another folder, or none.
  const std::string lossy = Lossy(base_);
  EXPECT_NE(Widen(lossy), base_) << lossy;
  EXPECT_FALSE(util::DirectoryExists(lossy)) << lossy;

  const std::string ansi = util::AnsiPath(base_.c_str());
  ASSERT_FALSE(ansi.empty());
  EXPECT_EQ(ansi.find('?'), std::string::npos) << ansi;
  EXPECT_TRUE(util::DirectoryExists(ansi));
  ASSERT_TRUE(WriteFileW(base_ + L"\\wide.txt", "written by name"));
  EXPECT_EQ(ReadFileText(ansi + "\\wide.txt"), "written by name");
  ASSERT_TRUE(util::WriteWholeFile(ansi + "\\short.txt", "written through the short form"));
  EXPECT_TRUE(FileExistsW(base_ + L"\\short.txt"));

  // A trailing backslash, as the temporary folder has it, stays.
  const std::string withSlash = util::AnsiPath((base_ + L"\\").c_str());
  ASSERT_FALSE(withSlash.empty());
  EXPECT_EQ(withSlash.back(), '\\');
  EXPECT_TRUE(util::SameDir(withSlash, ansi));
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(AnsiPathTest, FolderWithoutAnAnsiFormIsNamedOnceInABox) {
  // A folder that does not exist has no short form, as none has on a drive
  // with short names switched off.
  const std::wstring missing = base_ + L"\\gone " + name_;
  EXPECT_EQ(util::AnsiPath(missing.c_str()), "");
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].caption, "Folder Name Error");
  EXPECT_NE(boxes_[0].text.find("\n\n" + Utf8(missing) + "\n\n"), std::string::npos)
      << boxes_[0].text;
  EXPECT_NE(boxes_[0].text.find("no short (8.3) name"), std::string::npos);
  EXPECT_EQ(boxes_[0].buttons, util::MsgButtons::Ok);
  EXPECT_EQ(boxes_[0].owner, util::MsgOwner::MainWindow);

  EXPECT_EQ(util::AnsiPath(missing.c_str()), "");  // named once in a run
  const std::wstring other = missing + L" 2";
  EXPECT_EQ(util::AnsiPath(other.c_str(), util::TUnspellable::Quiet), "");
  EXPECT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(util::AnsiPath(other.c_str()), "");
  ASSERT_EQ(boxes_.size(), 2u);
  EXPECT_NE(boxes_[1].text.find(Utf8(other)), std::string::npos);
}

// The user's folders where a user of that name has them: the shell's
// folders (through the user shell folders of the registry), the copy that
// older programs read, the temporary folder and the current folder.
TEST_F(AnsiPathTest, TheSystemsFoldersOutsideTheCodePageComeInTheirShortForm) {
  const std::wstring local = base_ + L"\\AppData\\Local", temp = local + L"\\Temp";
  const std::wstring programs = base_ + L"\\Start Menu\\Programs";
  ASSERT_TRUE(MakeDirW(temp));
  ASSERT_TRUE(MakeDirW(programs));
  const std::string shortLocal = util::AnsiPath(local.c_str());
  ASSERT_FALSE(shortLocal.empty());
  {
    TSavedValue localValue(kUserShellFolders, L"Local AppData", local);
    const std::string shell = util::GetShellFolder(CSIDL_LOCAL_APPDATA);
    EXPECT_EQ(shell.find('?'), std::string::npos) << shell;
    EXPECT_TRUE(util::SameDir(shell, shortLocal)) << shell;
  }
  {
    TSavedValue programsValue(kShellFolders, L"Programs", programs);
    util::TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                            false));
    const std::string folder = reg.ReadFolder("Programs");
    EXPECT_TRUE(util::SameDir(folder, util::AnsiPath(programs.c_str()))) << folder;
    EXPECT_EQ(reg.ReadString("Programs"), Lossy(programs));  // what the ANSI read has
    EXPECT_EQ(reg.ReadFolder("no such value"), "");
  }
  {
    wchar_t saved[MAX_PATH] = {};
    GetEnvironmentVariableW(L"TMP", saved, MAX_PATH);
    SetEnvironmentVariableW(L"TMP", temp.c_str());
    const std::string tmp = util::GetTempDir();
    SetEnvironmentVariableW(L"TMP", saved[0] ? saved : nullptr);
    ASSERT_FALSE(tmp.empty());
    EXPECT_EQ(tmp.back(), '\\');
    EXPECT_TRUE(util::SameDir(tmp, util::AnsiPath(temp.c_str()))) << tmp;
  }
  {
    const std::string saved = util::GetCurrentDir();
    ASSERT_TRUE(SetCurrentDirectoryW(base_.c_str()));
    const std::string current = util::GetCurrentDir();
    util::SetCurrentDir(saved);
    EXPECT_TRUE(util::SameDir(current, util::AnsiPath(base_.c_str()))) << current;
  }
  EXPECT_TRUE(boxes_.empty());
}

}  // namespace
