// CreateProgramGroup with the user's Programs folder pointed at a test folder;
// the Explorer window it opens is watched through the starter seam.
#include <gtest/gtest.h>

#include "app/Version.h"
#include "setup/InstallSteps.h"
#include "tests/support/BoxRecorder.h"
#include "tests/support/ShellLinkReader.h"
#include "tests/support/TempDir.h"
#include "tests/support/Unspellable.h"
#include "util/DirList.h"
#include "util/FileStream.h"
#include "util/Paths.h"
#include "util/Registry.h"
#include "util/Text.h"
#include "util/Win.h"

#include <shlobj.h>

namespace {

struct TStart {
  std::string commandLine;
  uint16_t show;
};

class CreateProgramGroupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    {
      util::TRegistry reg;
      ASSERT_TRUE(reg.OpenKey(setup::ShellFoldersKey, true));
      hadPrograms_ = reg.ValueExists("Programs");
      savedPrograms_ = reg.ReadString("Programs");
    }
    programs_ = tmp_.Path("Start Menu\\Programs");
    testsupport::MakeDir(tmp_.Path("Start Menu"));
    testsupport::MakeDir(programs_);
    SetPrograms(programs_);
    home_ = tmp_.Path("Home Dir\\");
    testsupport::MakeDir(home_);
    for (const char* f : {"LN.exe", "UninstLN.exe", "QuickStart.rtf", "ReadMe.txt"})
      testsupport::WriteFileText(home_ + f, "x");  // no License.txt
    state_.AppDir = home_;
    setup::SetProgramStarter([this](const std::string& cmd, uint16_t show) {
      starts_.push_back({cmd, show});
      return true;
    });
  }
  void TearDown() override {
    setup::SetProgramStarter(nullptr);
    util::TRegistry reg;
    if (reg.OpenKey(setup::ShellFoldersKey, true)) {
      if (hadPrograms_)
        reg.WriteString("Programs", savedPrograms_);
      else
        RegDeleteValueA(HKEY_CURRENT_USER, "Programs");
    }
  }
  void SetPrograms(const std::string& value) {
    util::TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(setup::ShellFoldersKey, true));
    reg.WriteString("Programs", value);
  }
  void RemoveProgramsValue() {
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, setup::ShellFoldersKey.c_str(), 0,
                            KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    RegDeleteValueA(key, "Programs");
    RegCloseKey(key);
  }

  testsupport::TTempDir tmp_;
  testsupport::TBoxRecorder boxes_;
  bool hadPrograms_ = false;
  std::string savedPrograms_, programs_, home_;
  setup::TInstallState state_;
  std::vector<TStart> starts_;
};

TEST_F(CreateProgramGroupTest, FirstInstallMakesFiveShortcutsAndOpensTheGroup) {
  ASSERT_TRUE(setup::CreateProgramGroup(state_));
  const std::string group = util::LowerCase(programs_) + "\\Lanternfell";
  EXPECT_EQ(setup::ProgramGroupFolder(), group);
  ASSERT_TRUE(util::DirectoryExists(group));

  struct {
    const char* link;
    const char* target;
    const char* description;
  } const expected[] = {
      {"License.LNK", "License.txt", "License"},
      {"Lanternfell.LNK", "LN.exe", "Lanternfell"},
      {"Uninstall LN.LNK", "UninstLN.exe", "Uninstall Lanternfell"},
      {"QuickStart.LNK", "QuickStart.rtf", "Quick Start"},
      {"ReadMe.LNK", "ReadMe.txt", "Read Me"},
  };
  util::TStringList names = testsupport::FileNames(group);
  EXPECT_EQ(names.Count(), 5);
  for (const auto& e : expected) {
    EXPECT_NE(std::find(names.Lines().begin(), names.Lines().end(), e.link), names.Lines().end())
        << e.link;
    testsupport::TLinkFields f = testsupport::ReadShortcut(group + "\\" + e.link);
    ASSERT_TRUE(f.loaded) << e.link;
    const std::string target = util::LowerCase(home_ + e.target);
    EXPECT_TRUE(util::SameText(f.path, target)) << e.link << ": " << f.path;
    EXPECT_EQ(f.description, e.description);
    EXPECT_EQ(f.workingDir, util::LowerCase(home_));
    EXPECT_TRUE(util::SameText(f.iconFile, target)) << f.iconFile;
    EXPECT_EQ(f.iconIndex, 0);
    EXPECT_EQ(f.arguments, "");
  }

  ASSERT_EQ(starts_.size(), 1u);
  EXPECT_EQ(starts_[0].commandLine, "explorer.exe " + group);  // unquoted, blanks and all
  EXPECT_EQ(starts_[0].show, 5);
  EXPECT_TRUE(boxes_.boxes.empty());
}

TEST_F(CreateProgramGroupTest, ReinstallReplacesShortcutsWithoutOpeningAWindow) {
  const std::string group = util::LowerCase(programs_) + "\\Lanternfell";
  testsupport::MakeDir(group);
  testsupport::WriteFileText(group + "\\Lanternfell.LNK", "not a shortcut");
  state_.FoundInstallation = true;
  ASSERT_TRUE(setup::CreateProgramGroup(state_));
  testsupport::TLinkFields f = testsupport::ReadShortcut(group + "\\Lanternfell.LNK");
  ASSERT_TRUE(f.loaded);
  EXPECT_EQ(f.description, "Lanternfell");
  EXPECT_EQ(testsupport::FileNames(group).Count(), 5);
  EXPECT_TRUE(starts_.empty());
}

TEST_F(CreateProgramGroupTest, UncheckedBoxMakesNothing) {
  state_.GroupBox = false;
  EXPECT_TRUE(setup::CreateProgramGroup(state_));
  EXPECT_FALSE(util::DirectoryExists(programs_ + "\\Lanternfell"));
  EXPECT_TRUE(starts_.empty());
}

TEST_F(CreateProgramGroupTest, MissingOrEmptyProgramsValueFallsBackToTheShellsFolder) {
  char shellPath[MAX_PATH] = {0};
  ASSERT_TRUE(SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_PROGRAMS | CSIDL_FLAG_CREATE, nullptr,
                                         SHGFP_TYPE_CURRENT, shellPath)));
  const std::string expected = util::LowerCase(shellPath);
  ASSERT_FALSE(expected.empty());

  RemoveProgramsValue();
  EXPECT_EQ(setup::ProgramsFolder(), expected);
  SetPrograms("");
  EXPECT_EQ(setup::ProgramsFolder(), expected);

  const std::string group = expected + "\\Lanternfell";
  testsupport::RemoveTree(group);
  SetPrograms("");
  ASSERT_TRUE(setup::CreateProgramGroup(state_));
  EXPECT_TRUE(util::FileExists(group + "\\Lanternfell.LNK"));
  EXPECT_FALSE(util::DirectoryExists("\\Lanternfell"));  // never the drive's root
  ASSERT_EQ(starts_.size(), 1u);
  EXPECT_EQ(starts_[0].commandLine, "explorer.exe " + group);
  testsupport::RemoveTree(group);
}

// A recorded Programs folder named outside the code page that is not there
// yet has no short form: the shell's own folder is used, and nothing is
// said about the recorded one. One that is there comes in its short form.
TEST_F(CreateProgramGroupTest, ProgramsValueOutsideTheCodePageIsUsedInItsShortForm) {
  const std::wstring name = testsupport::UnspellableName();
  if (name.empty()) GTEST_SKIP() << "the code page " << GetACP() << " spells every name";
  testsupport::TBoxRecorder boxes;
  const std::wstring folder = testsupport::Widen(tmp_.Path()) + L"Start " + name;
  char shellPath[MAX_PATH] = {0};
  ASSERT_TRUE(SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_PROGRAMS | CSIDL_FLAG_CREATE, nullptr,
                                         SHGFP_TYPE_CURRENT, shellPath)));
  {
    testsupport::TSavedValue value(testsupport::kShellFolders, L"Programs", folder);
    EXPECT_EQ(setup::ProgramsFolder(), util::LowerCase(shellPath));
    EXPECT_TRUE(boxes.empty()) << boxes.Texts()[0];
  }
  // (Asked, the shell wrote its own folder into the value: set it again.)
  ASSERT_TRUE(testsupport::MakeDirW(folder));
  {
    testsupport::TSavedValue value(testsupport::kShellFolders, L"Programs", folder);
    const std::string programs = setup::ProgramsFolder();
    EXPECT_EQ(programs, util::LowerCase(util::AnsiPath(folder.c_str())));
    EXPECT_TRUE(util::DirectoryExists(programs)) << programs;
    ASSERT_TRUE(setup::CreateProgramGroup(state_));
    EXPECT_EQ(testsupport::CountW(folder + L"\\Lanternfell\\*.LNK"), 5);
  }
  testsupport::RemoveTreeW(folder);
}

}  // namespace
