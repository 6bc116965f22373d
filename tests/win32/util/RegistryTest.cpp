// The registry object against Wine's real registry (HKEY_CURRENT_USER).
#include <gtest/gtest.h>

#include "util/Errors.h"
#include "util/Registry.h"
#include "util/System.h"

namespace {
const char kBase[] = "Software\\LanternfellTests\\Registry";

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override { util::TRegistry().DeleteKey(kBase); }
  void TearDown() override { util::TRegistry().DeleteKey(kBase); }
};
}  // namespace

TEST_F(RegistryTest, OpenCreatesMissingParentsOnlyWhenAsked) {
  const std::string deep = std::string(kBase) + "\\a\\b\\c";
  util::TRegistry reg;
  EXPECT_FALSE(reg.OpenKey(deep, false));
  EXPECT_FALSE(reg.KeyExists(kBase));
  ASSERT_TRUE(reg.OpenKey(deep, true));
  EXPECT_TRUE(reg.HasCurrentKey());
  reg.CloseKey();
  EXPECT_TRUE(reg.KeyExists(deep));
  EXPECT_TRUE(util::RegKeyExists(deep));
}

TEST_F(RegistryTest, FailedOpenKeepsItsReasonAndTheCurrentKey) {
  util::TRegistry reg;
  ASSERT_TRUE(reg.OpenKey(kBase, true));
  EXPECT_EQ(reg.OpenError(), 0u);
  SetLastError(0);
  EXPECT_FALSE(reg.OpenKey(std::string(kBase) + "\\missing", false));
  EXPECT_EQ(reg.OpenError(), static_cast<unsigned long>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_TRUE(reg.HasCurrentKey());
  EXPECT_EQ(reg.CurrentPath(), kBase);
  ASSERT_TRUE(reg.OpenKey(kBase, false));
  EXPECT_EQ(reg.OpenError(), 0u);
  reg.CloseKey();
  EXPECT_FALSE(reg.KeyExists(std::string(kBase) + "\\missing"));
  EXPECT_TRUE(reg.KeyExists(kBase));
}

TEST_F(RegistryTest, ValuesRoundTripAndAbsentReadsEmpty) {
  util::TRegistry reg;
  ASSERT_TRUE(reg.OpenKey(kBase, true));
  EXPECT_EQ(reg.ReadString("missing"), "");
  reg.WriteString("AppDir", "C:\\Program Files\\Lanternfell");
  reg.WriteString("Empty", "");
  reg.WriteInteger("WindowState", 0);
  reg.WriteBool("Update", true);
  EXPECT_EQ(reg.ReadString("AppDir"), "C:\\Program Files\\Lanternfell");
  EXPECT_EQ(reg.ReadString("Empty"), "");
  EXPECT_TRUE(reg.ValueExists("Update"));
  // A value that is not text is an error, not an empty text.
  EXPECT_THROW(reg.ReadString("Update"), util::ERegistryError);
  EXPECT_THROW(reg.ReadString("WindowState"), util::EGeneralError);
}

TEST_F(RegistryTest, RefusedWriteRaises) {
  util::TRegistry reg;  // no key open: the write cannot land anywhere
  EXPECT_THROW(reg.WriteString("x", "y"), util::ERegistryError);
  EXPECT_THROW(reg.WriteInteger("x", 1), util::ERegistryError);
}

TEST_F(RegistryTest, DeleteKeyRemovesTheWholeSubtree) {
  util::TRegistry reg;
  ASSERT_TRUE(reg.OpenKey(std::string(kBase) + "\\one\\two", true));
  reg.WriteString("v", "1");
  ASSERT_TRUE(reg.OpenKey(std::string(kBase) + "\\three", true));
  reg.WriteString("v", "3");
  ASSERT_TRUE(reg.OpenKey(kBase, false));  // deleting the open key closes it first
  EXPECT_TRUE(reg.DeleteKey(kBase));
  EXPECT_FALSE(reg.KeyExists(kBase));
  EXPECT_FALSE(reg.KeyExists(std::string(kBase) + "\\one"));
  EXPECT_FALSE(reg.DeleteKey(kBase));  // a second delete finds nothing
}

// RunOnce lives in HKEY_LOCAL_MACHINE when that key can be opened for
// writing (it can in the test prefix), else in HKEY_CURRENT_USER; the entry
// is removed again so that no later start of the prefix runs it.
TEST(AddRunOnceTest, WritesTheEntryIntoTheFirstRunOnceKeyThatOpens) {
  const char kRunOnce[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
  const std::string name = "LanternfellTestEntry";
  const std::string command = "\"C:\\Program Files\\Lanternfell\\lf_not_there.exe\" -x";
  ASSERT_TRUE(util::AddRunOnce(name, command));

  util::TRegistry machine, user;
  machine.SetRootKey(HKEY_LOCAL_MACHINE);
  const bool inMachine = machine.OpenKey(kRunOnce, false);
  util::TRegistry& where = inMachine ? machine : user;
  if (!inMachine) {
    ASSERT_TRUE(user.OpenKey(kRunOnce, false));
  }
  EXPECT_EQ(where.ReadString(name), command);
  HKEY key = nullptr;
  if (RegOpenKeyExA(where.RootKey(), kRunOnce, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
    RegDeleteValueA(key, name.c_str());
    RegCloseKey(key);
  }
  EXPECT_FALSE(where.ValueExists(name));
  // When the machine's key took it, the user's has no such entry.
  if (inMachine && user.OpenKey(kRunOnce, false)) {
    EXPECT_FALSE(user.ValueExists(name));
  }
}
