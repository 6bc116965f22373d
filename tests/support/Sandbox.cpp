// The per-test sandbox (see Sandbox.h).
#include "tests/support/Sandbox.h"

#include "app/Version.h"
#include "util/Registry.h"
#include "util/System.h"
#include "util/Win.h"

namespace testsupport {

namespace {
// Deletes the key with its subkeys; a link key (made by a registry-failure
// test) is removed as itself.
void DeleteKeyOrLink(const std::string& path) {
  HKEY link;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), REG_OPTION_OPEN_LINK, KEY_ALL_ACCESS, &link) ==
      ERROR_SUCCESS) {
    using NtDeleteKeyFn = LONG(WINAPI*)(HANDLE);
    auto del = reinterpret_cast<NtDeleteKeyFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtDeleteKey")));
    DWORD type = 0;
    bool isLink = RegQueryValueExA(link, "SymbolicLinkValue", nullptr, &type, nullptr,
                                   nullptr) == ERROR_SUCCESS && type == REG_LINK;
    if (isLink && del) del(link);
    RegCloseKey(link);
  }
  util::TRegistry().DeleteKey(path);
}
}  // namespace

void DeleteProductKey() {
  DeleteKeyOrLink(app::ProductRegistryKey);
  DeleteKeyOrLink(app::UninstallEntryKey);
}

void DeleteBothKeys() {
  DeleteProductKey();
  util::TRegistry().DeleteKey(app::MixmasterRegistryKey);
}

void WriteKey(const std::string& key,
              const std::vector<std::pair<std::string, std::string>>& values) {
  util::TRegistry reg;
  ASSERT_TRUE(reg.OpenKey(key, true)) << key;
  for (const auto& [name, value] : values) reg.WriteString(name, value);
}

bool KeyExists(const std::string& key) { return util::TRegistry().KeyExists(key); }

void TSandboxTest::SetUp() {
  DeleteBothKeys();
  util::SetBeepEnabled(false);
}

void TSandboxTest::TearDown() {
  util::SetBeepEnabled(true);
  DeleteBothKeys();
}

}  // namespace testsupport
