// ReadRegistrySettings and WriteRegistrySettings against Wine's registry.
#include <gtest/gtest.h>

#include "app/Version.h"
#include "setup/InstallSteps.h"
#include "tests/support/BoxRecorder.h"
#include "tests/support/Sandbox.h"
#include "tests/support/TempDir.h"
#include "util/Paths.h"
#include "util/Registry.h"
#include "util/Win.h"

#include <tuple>
#include <utility>

namespace {

class RegistryStepsTest : public ::testing::Test {
 protected:
  void SetUp() override { testsupport::DeleteProductKey(); }
  void TearDown() override { testsupport::DeleteProductKey(); }

  void Put(const std::string& name, const std::string& value) {
    util::TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(app::ProductRegistryKey, true));
    reg.WriteString(name, value);
  }
  void PutInt(const std::string& name, int32_t value) {
    util::TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(app::ProductRegistryKey, true));
    reg.WriteInteger(name, value);
  }
  // Type and raw data of a value; type 0 when it is absent.
  struct TValue {
    DWORD type = 0;
    std::string text;
    DWORD number = 0;
  };
  TValue Get(const std::string& name, const std::string& keyPath = app::ProductRegistryKey) {
    TValue v;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_READ, &key)) return v;
    char buf[512] = {0};
    DWORD size = sizeof buf - 1;
    if (RegQueryValueExA(key, name.c_str(), nullptr, &v.type, reinterpret_cast<BYTE*>(buf),
                         &size) == ERROR_SUCCESS) {
      if (v.type == REG_DWORD) v.number = *reinterpret_cast<DWORD*>(buf);
      else v.text = buf;
    }
    RegCloseKey(key);
    return v;
  }

  // The state as a run of setup reads it from the registry.
  static setup::TInstallState ReadBack() {
    setup::TInstallState state;
    setup::ReadRegistrySettings(state);
    return state;
  }

  testsupport::TBoxRecorder boxes_;
};

TEST_F(RegistryStepsTest, NoKeyLeavesDesignValues) {
  const setup::TInstallState state = ReadBack();
  EXPECT_EQ(state.AppDir, "C:\\Program Files\\Lanternfell");
  EXPECT_TRUE(state.GroupBox);
  EXPECT_FALSE(state.FoundInstallation);
}

TEST_F(RegistryStepsTest, ExistingKeyFillsFolderGroupAndFound) {
  Put("AppDir", "D:\\Mail\\LN\\");
  const setup::TInstallState state = ReadBack();
  EXPECT_EQ(state.AppDir, "D:\\Mail\\LN\\");  // as stored, backslash kept
  EXPECT_FALSE(state.GroupBox);               // no "Program Group" value
  EXPECT_TRUE(state.FoundInstallation);

  Put("Program Group", "Lanternfell");
  Put("AppDir", "");
  const setup::TInstallState again = ReadBack();
  EXPECT_TRUE(again.GroupBox);
  EXPECT_EQ(again.AppDir, "C:\\Program Files\\Lanternfell");
  EXPECT_TRUE(again.FoundInstallation);
}

TEST_F(RegistryStepsTest, FirstInstallWritesAllSixValues) {
  setup::TInstallState state;
  state.AppDir = "C:\\Program Files\\Lanternfell\\";
  ASSERT_TRUE(setup::WriteRegistrySettings(state));
  EXPECT_TRUE(boxes_.boxes.empty());

  EXPECT_EQ(Get("AppDir").type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(Get("AppDir").text, "C:\\Program Files\\Lanternfell");
  EXPECT_EQ(Get("Version").text, ".9b2");
  EXPECT_EQ(Get("Program Group").text, "Lanternfell");
  EXPECT_EQ(Get("WindowState").type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(Get("WindowState").number, 0u);
  EXPECT_EQ(Get("WindowPos").text, "-1,-1,565,350");
  EXPECT_EQ(Get("Update").type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(Get("Update").number, 1u);

  // Read back the way the next run of setup does.
  const setup::TInstallState next = ReadBack();
  EXPECT_EQ(next.AppDir, "C:\\Program Files\\Lanternfell");
  EXPECT_TRUE(next.GroupBox);
  EXPECT_TRUE(next.FoundInstallation);
}

TEST_F(RegistryStepsTest, ReinstallKeepsWindowSettingsAndOldGroupValue) {
  Put("Program Group", "Lanternfell");
  PutInt("WindowState", 2);
  Put("WindowPos", "10,20,600,400");
  PutInt("Update", 0);
  setup::TInstallState state;
  state.AppDir = "C:\\";
  state.GroupBox = false;
  state.FoundInstallation = true;
  ASSERT_TRUE(setup::WriteRegistrySettings(state));

  EXPECT_EQ(Get("AppDir").text, "C:");                 // exactly one "\" removed
  EXPECT_EQ(Get("Program Group").text, "Lanternfell");  // not removed when unchecked
  EXPECT_EQ(Get("WindowState").number, 2u);
  EXPECT_EQ(Get("WindowPos").text, "10,20,600,400");
  EXPECT_EQ(Get("Update").number, 1u);
  EXPECT_EQ(Get("Version").text, ".9b2");

  state.AppDir = "E:\\Two\\\\";
  ASSERT_TRUE(setup::WriteRegistrySettings(state));
  EXPECT_EQ(Get("AppDir").text, "E:\\Two\\");
}

TEST_F(RegistryStepsTest, UncheckedBoxOnFirstInstallWritesNoGroupValue) {
  setup::TInstallState state;
  state.AppDir = "C:\\LN";
  state.GroupBox = false;
  ASSERT_TRUE(setup::WriteRegistrySettings(state));
  EXPECT_EQ(Get("Program Group").type, 0u);
  EXPECT_EQ(Get("WindowPos").text, "-1,-1,565,350");
}

// Makes keyPath a registry link to a key that cannot exist: opening or
// creating it fails from then on.
void BlockKey(const std::string& keyPath) {
  HKEY link;
  DWORD disposition;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, nullptr,
                            REG_OPTION_CREATE_LINK | REG_OPTION_VOLATILE,
                            KEY_ALL_ACCESS | KEY_CREATE_LINK, nullptr, &link, &disposition),
            ERROR_SUCCESS);
  const WCHAR target[] = L"\\Registry\\Nowhere\\Lanternfell";
  ASSERT_EQ(RegSetValueExW(link, L"SymbolicLinkValue", 0, REG_LINK,
                           reinterpret_cast<const BYTE*>(target), sizeof target - sizeof(WCHAR)),
            ERROR_SUCCESS);
  RegCloseKey(link);
  util::TRegistry probe;
  ASSERT_FALSE(probe.OpenKey(keyPath, true)) << "link did not block the key";
}

// The entry of the system's list of installed programs, next to the
// product's key: what Settings and Programs and Features show and start.
TEST_F(RegistryStepsTest, EntryOfInstalledAppsNamesTheProductAndItsUninstaller) {
  testsupport::TTempDir tmp;
  const std::string dist = tmp.Dir("dist"), home = tmp.Dir("Program Files\\Lanternfell");
  // The distribution as it lies in home after the copy: setup.exe as the
  // un-installer. 3000 + 2048 + 1 bytes are 5049, 4.93 KiB: 5 KiB.
  for (const auto& [source, target, size] : {std::tuple{"setup.exe", "UninstLN.exe", 3000},
                                             {"LN.exe", "LN.exe", 2048},
                                             {"ReadMe.txt", "ReadMe.txt", 1}}) {
    tmp.File(std::string("dist\\") + source, std::string(size, 's'));
    tmp.File(std::string("Program Files\\Lanternfell\\") + target, std::string(size, 't'));
  }
  // The user's own files in home are not the installation's size.
  tmp.File("Program Files\\Lanternfell\\LN.dbc", std::string(50000, 'm'));

  setup::TInstallState state;
  state.AppDir = home;  // with its trailing "\"
  state.SourceDir = util::StripBackslash(dist);
  char before[16], after[16];
  SYSTEMTIME t;
  GetLocalTime(&t);
  wsprintfA(before, "%04u%02u%02u", t.wYear, t.wMonth, t.wDay);
  ASSERT_TRUE(setup::WriteRegistrySettings(state));
  GetLocalTime(&t);
  wsprintfA(after, "%04u%02u%02u", t.wYear, t.wMonth, t.wDay);
  EXPECT_TRUE(boxes_.empty());

  const std::string& entry = app::UninstallEntryKey;
  EXPECT_EQ(entry, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Lanternfell");
  for (const char* text : {"DisplayName", "DisplayVersion", "Publisher", "DisplayIcon",
                           "UninstallString", "InstallLocation", "InstallDate"})
    EXPECT_EQ(Get(text, entry).type, static_cast<DWORD>(REG_SZ)) << text;
  EXPECT_EQ(Get("DisplayName", entry).text, "Lanternfell");
  EXPECT_EQ(Get("DisplayVersion", entry).text, ".9b2");
  EXPECT_EQ(Get("Publisher", entry).text, "Lanternfell");
  EXPECT_EQ(Get("DisplayIcon", entry).text, home + "LN.exe");
  EXPECT_EQ(Get("UninstallString", entry).text, "\"" + home + "UninstLN.exe\"");
  EXPECT_EQ(Get("InstallLocation", entry).text, util::StripBackslash(home));
  const std::string date = Get("InstallDate", entry).text;
  EXPECT_TRUE(date == before || date == after) << date;
  for (const auto& [number, value] :
       {std::pair{"EstimatedSize", 5u}, {"NoModify", 1u}, {"NoRepair", 1u}}) {
    EXPECT_EQ(Get(number, entry).type, static_cast<DWORD>(REG_DWORD)) << number;
    EXPECT_EQ(Get(number, entry).number, value) << number;
  }

  // Every run writes the entry anew: an update's larger program shows.
  // 3000 + 10240 + 1 bytes are 12.93 KiB: 13.
  tmp.File("Program Files\\Lanternfell\\LN.exe", std::string(10240, 'u'));
  state.FoundInstallation = true;
  ASSERT_TRUE(setup::WriteRegistrySettings(state));
  EXPECT_EQ(Get("EstimatedSize", entry).number, 13u);
  EXPECT_EQ(Get("UninstallString", entry).text, "\"" + home + "UninstLN.exe\"");
}

// The entry is part of the step: one that cannot be written is the same
// "Registry Error" and a failed step, after the product's own key.
TEST_F(RegistryStepsTest, EntryThatCannotBeCreatedShowsRegistryError) {
  ASSERT_NO_FATAL_FAILURE(BlockKey(app::UninstallEntryKey));
  setup::TInstallState state;
  state.AppDir = "C:\\LN";
  EXPECT_FALSE(setup::WriteRegistrySettings(state));
  ASSERT_EQ(boxes_.boxes.size(), 1u);
  EXPECT_EQ(boxes_.boxes[0].text, "Unable to write to Win95 registry!\n\nEntries NOT saved!");
  EXPECT_EQ(boxes_.boxes[0].caption, "Registry Error");
  EXPECT_EQ(Get("AppDir").text, "C:\\LN");  // written before it, and kept
  EXPECT_EQ(Get("Update").number, 1u);
}

// The product's key made a registry link to a key that cannot exist: opening
// or creating it fails, which the step must report, not call success.
TEST_F(RegistryStepsTest, KeyThatCannotBeCreatedShowsRegistryError) {
  ASSERT_NO_FATAL_FAILURE(BlockKey(app::ProductRegistryKey));

  setup::TInstallState state;
  state.AppDir = "C:\\LN";
  EXPECT_FALSE(setup::WriteRegistrySettings(state));
  ASSERT_EQ(boxes_.boxes.size(), 1u);
  EXPECT_EQ(boxes_.boxes[0].text, "Unable to write to Win95 registry!\n\nEntries NOT saved!");
  EXPECT_EQ(boxes_.boxes[0].caption, "Registry Error");
  EXPECT_EQ(boxes_.boxes[0].buttons, util::MsgButtons::Ok);
  EXPECT_EQ(boxes_.boxes[0].owner, util::MsgOwner::MainWindow);

  // Reading treats the unreachable key as no installation.
  const setup::TInstallState read = ReadBack();
  EXPECT_FALSE(read.FoundInstallation);
}

}  // namespace
