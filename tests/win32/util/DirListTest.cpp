// FindFiles, ListDirectory and DeleteDirTree against Wine's file system.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/TempDir.h"
#include "util/DirList.h"
#include "util/FileStream.h"
#include "util/Paths.h"
#include "util/Text.h"
#include "util/Win.h"

namespace {

using testsupport::MakeDir;
using testsupport::ReadFileText;
using testsupport::TTempDir;
using testsupport::WriteFileText;

bool Contains(const util::TStringList& list, const std::string& line) {
  const auto& l = list.Lines();
  return std::find(l.begin(), l.end(), line) != l.end();
}

TEST(DirListTest, FindFilesListsFilesAndFoldersWithoutDots) {
  TTempDir tmp;
  WriteFileText(tmp.Path("Alpha.TXT"), "a");
  WriteFileText(tmp.Path("beta.txt"), "b");
  WriteFileText(tmp.Path("Hidden.txt"), "h");
  SetFileAttributesA((tmp.Path("Hidden.txt")).c_str(), FILE_ATTRIBUTE_HIDDEN);
  MakeDir(tmp.Path("SubDir"));

  util::TStringList list;
  list.Add("left over from before");
  EXPECT_EQ(util::FindFiles(&list, tmp.Path("*.*"), util::faAnyFile), 4);
  ASSERT_EQ(list.Count(), 4);
  EXPECT_TRUE(Contains(list, tmp.Path("Alpha.TXT")));  // the case the system reports
  EXPECT_TRUE(Contains(list, tmp.Path("beta.txt")));
  EXPECT_TRUE(Contains(list, tmp.Path("Hidden.txt")));
  EXPECT_TRUE(Contains(list, tmp.Path("SubDir")));
  EXPECT_FALSE(Contains(list, tmp.Path(".")));
  EXPECT_FALSE(Contains(list, tmp.Path("..")));

  // Without the hidden and directory bits in the mask those entries stay out;
  // the count is the same with no target list.
  EXPECT_EQ(util::FindFiles(nullptr, tmp.Path("*.*"), 0), 2);
  EXPECT_EQ(util::FindFiles(&list, tmp.Path("*.txt"), util::faAnyFile), 3);
  EXPECT_FALSE(Contains(list, tmp.Path("SubDir")));

  EXPECT_EQ(util::FindFiles(&list, tmp.Path("missing\\*.*"), util::faAnyFile), 0);
  EXPECT_EQ(list.Count(), 0);
}

TEST(DirListTest, ListDirectoryCountsOnlyPlainFoldersAsSubdirectories) {
  TTempDir tmp;
  WriteFileText(tmp.Path("File.TXT"), "x");
  MakeDir(tmp.Path("Plain"));
  MakeDir(tmp.Path("Hid"));
  SetFileAttributesA((tmp.Path("Hid")).c_str(), FILE_ATTRIBUTE_HIDDEN);
  ASSERT_EQ(GetFileAttributesA((tmp.Path("Hid")).c_str()), 0x12u);

  util::TStringList files, subdirs;
  subdirs.Add("stale");
  util::ListDirectory(tmp.Path(), files, subdirs);
  const std::string lower = util::LowerCase(tmp.Path());
  ASSERT_EQ(subdirs.Count(), 1);
  EXPECT_EQ(subdirs[0], lower + "plain");
  EXPECT_EQ(files.Count(), 2);
  EXPECT_TRUE(Contains(files, lower + "file.txt"));
  EXPECT_TRUE(Contains(files, lower + "hid"));
}

TEST(DirListTest, DeleteDirTreeRemovesNestedTreeAndAddsBackslash) {
  TTempDir tmp;
  for (const char* variant : {"noslash", "slash\\"}) {
    std::string root = tmp.Path(std::string(variant));
    MakeDir(root);
    MakeDir(util::AppendBackslash(root) + "a");
    MakeDir(util::AppendBackslash(root) + "a\\b");
    WriteFileText(util::AppendBackslash(root) + "a\\b\\deep.txt", "d");
    WriteFileText(util::AppendBackslash(root) + "top.txt", "t");

    std::string dir = root;
    EXPECT_TRUE(util::DeleteDirTree(dir)) << variant;
    EXPECT_EQ(dir, util::AppendBackslash(root));
    EXPECT_FALSE(util::DirectoryExists(root)) << variant;
  }
}

TEST(DirListTest, DeleteDirTreeLeavesReadOnlyFileAndEveryFolderAboveIt) {
  TTempDir tmp;
  const std::string root = tmp.Path("tree");
  MakeDir(root);
  MakeDir(root + "\\a");
  MakeDir(root + "\\a\\b");
  MakeDir(root + "\\empty");
  WriteFileText(root + "\\a\\b\\ro.txt", "r");
  WriteFileText(root + "\\a\\gone.txt", "g");
  SetFileAttributesA((root + "\\a\\b\\ro.txt").c_str(), FILE_ATTRIBUTE_READONLY);

  std::string dir = root;
  EXPECT_FALSE(util::DeleteDirTree(dir));
  EXPECT_EQ(dir, root + "\\");
  EXPECT_TRUE(util::FileExists(root + "\\a\\b\\ro.txt"));
  EXPECT_TRUE(util::DirectoryExists(root + "\\a\\b"));
  EXPECT_FALSE(util::FileExists(root + "\\a\\gone.txt"));
  EXPECT_FALSE(util::DirectoryExists(root + "\\empty"));
}

TEST(DirListTest, DeleteDirTreeNeverDescendsIntoHiddenFolder) {
  TTempDir tmp;
  const std::string root = tmp.Path("tree");
  MakeDir(root);
  MakeDir(root + "\\hid");
  WriteFileText(root + "\\hid\\inside.txt", "i");
  WriteFileText(root + "\\loose.txt", "l");
  SetFileAttributesA((root + "\\hid").c_str(), FILE_ATTRIBUTE_HIDDEN);
  ASSERT_EQ(GetFileAttributesA((root + "\\hid").c_str()), 0x12u);

  std::string dir = root + "\\";
  EXPECT_FALSE(util::DeleteDirTree(dir));
  EXPECT_TRUE(util::FileExists(root + "\\hid\\inside.txt"));
  EXPECT_FALSE(util::FileExists(root + "\\loose.txt"));
  EXPECT_TRUE(util::DirectoryExists(root));
}

TEST(DirListTest, DeleteDirTreeOnEmptyOrMissingPathTouchesNothing) {
  TTempDir tmp;
  std::string empty;
  EXPECT_FALSE(util::DeleteDirTree(empty));
  EXPECT_EQ(empty, "");
  std::string missing = tmp.Path("not-there");
  EXPECT_FALSE(util::DeleteDirTree(missing));
  EXPECT_EQ(missing, tmp.Path("not-there"));
  // A file is not a folder either.
  std::string file = tmp.Path("file.txt");
  WriteFileText(file, "f");
  EXPECT_FALSE(util::DeleteDirTree(file));
  EXPECT_TRUE(util::FileExists(file));
}

// A tree removal told to leave one folder: that folder stays whole, and so
// does every folder on the way to it; everything around goes. Named in any
// spelling that normalises alike.
TEST(DirListTest, DeleteDirTreeLeavesTheKeptFolderAndThePathToIt) {
  TTempDir tmp;
  const std::string root = tmp.Path("tree");
  MakeDir(root);
  MakeDir(root + "\\a");
  MakeDir(root + "\\a\\Kept Folder");
  MakeDir(root + "\\a\\Kept Folder\\inner");
  MakeDir(root + "\\a\\beside");
  MakeDir(root + "\\other");
  WriteFileText(root + "\\a\\Kept Folder\\LN.dbc", "kept");
  WriteFileText(root + "\\a\\Kept Folder\\inner\\x.txt", "kept too");
  WriteFileText(root + "\\a\\beside\\gone.txt", "g");
  WriteFileText(root + "\\a\\gone.txt", "g");
  WriteFileText(root + "\\other\\gone.txt", "g");
  WriteFileText(root + "\\gone.txt", "g");
  const std::string keep = util::NormaliseDir(util::UpperCase(root + "\\a\\kept folder"));
  ASSERT_FALSE(keep.empty());

  std::string dir = root;
  EXPECT_FALSE(util::DeleteDirTree(dir, keep));
  EXPECT_EQ(dir, root + "\\");
  EXPECT_EQ(ReadFileText(root + "\\a\\Kept Folder\\LN.dbc"), "kept");
  EXPECT_EQ(ReadFileText(root + "\\a\\Kept Folder\\inner\\x.txt"), "kept too");
  EXPECT_FALSE(util::DirectoryExists(root + "\\a\\beside"));
  EXPECT_FALSE(util::FileExists(root + "\\a\\gone.txt"));
  EXPECT_FALSE(util::DirectoryExists(root + "\\other"));
  EXPECT_FALSE(util::FileExists(root + "\\gone.txt"));

  // The kept folder itself, or one inside it, as the tree: nothing happens.
  for (const std::string& top : {root + "\\a\\Kept Folder", root + "\\a\\Kept Folder\\inner"}) {
    std::string d = top;
    EXPECT_FALSE(util::DeleteDirTree(d, keep));
    EXPECT_TRUE(util::DirectoryExists(top));
  }
  EXPECT_TRUE(util::FileExists(root + "\\a\\Kept Folder\\inner\\x.txt"));

  // Told to keep nothing, it is the plain tree removal.
  std::string again = root;
  EXPECT_TRUE(util::DeleteDirTree(again, std::string()));
  EXPECT_FALSE(util::DirectoryExists(root));
}

}  // namespace
