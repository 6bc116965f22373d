// The registry object over the Win32 registry calls.
#include "util/Registry.h"

#include <vector>

#include "util/AnsiPath.h"
#include "util/Errors.h"
#include "util/System.h"
#include "util/Text.h"

namespace util {

namespace {
[[noreturn]] void Fail(const std::string& what, LONG code) {
  throw ERegistryError(SystemErrorMessage(what + ": ", static_cast<unsigned long>(code)));
}

// Deletes every subkey of key (recursively), then the named key itself.
LONG DeleteTree(HKEY parent, const std::string& name) {
  HKEY raw = nullptr;
  LONG r = RegOpenKeyExA(parent, name.c_str(), 0, KEY_ALL_ACCESS, &raw);
  if (r != ERROR_SUCCESS) return r;
  KeyHandle key(raw);
  std::vector<std::string> children;
  char buf[256];
  for (DWORD i = 0;; ++i) {
    DWORD len = sizeof buf;
    if (RegEnumKeyExA(key.Get(), i, buf, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      break;
    children.emplace_back(buf, len);
  }
  for (const auto& c : children) DeleteTree(key.Get(), c);
  key.Reset();
  return RegDeleteKeyA(parent, name.c_str());
}
}  // namespace

TRegistry::TRegistry() : root_(HKEY_CURRENT_USER) {}
TRegistry::~TRegistry() = default;

void TRegistry::SetRootKey(HKEY root) {
  CloseKey();
  root_ = root;
}

bool TRegistry::OpenKey(const std::string& path, bool canCreate) {
  HKEY raw = nullptr;
  LONG r;
  if (canCreate)
    r = RegCreateKeyExA(root_, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, &raw, nullptr);
  else
    r = RegOpenKeyExA(root_, path.c_str(), 0, KEY_ALL_ACCESS, &raw);
  openError_ = static_cast<unsigned long>(r);
  if (r != ERROR_SUCCESS) {
    SetLastError(openError_);
    return false;
  }
  CloseKey();
  key_.Reset(raw);
  path_ = path;
  return true;
}

void TRegistry::CloseKey() {
  key_.Reset();
  path_.clear();
}

std::string TRegistry::ReadString(const std::string& name) {
  DWORD type = 0, size = 0;
  LONG r = RegQueryValueExA(key_.Get(), name.c_str(), nullptr, &type, nullptr, &size);
  if (r == ERROR_FILE_NOT_FOUND) return std::string();
  if (r != ERROR_SUCCESS) Fail("Failed to get data for '" + name + "'", r);
  if (type != REG_SZ && type != REG_EXPAND_SZ)
    throw ERegistryError("Invalid data type for '" + name + "'");
  std::vector<char> buf(size + 1, '\0');
  r = RegQueryValueExA(key_.Get(), name.c_str(), nullptr, &type,
                       reinterpret_cast<BYTE*>(buf.data()), &size);
  if (r != ERROR_SUCCESS) Fail("Failed to get data for '" + name + "'", r);
  return std::string(buf.data());  // up to the first NUL
}

std::string TRegistry::ReadFolder(const std::string& name, TUnspellable unspellable) {
  std::vector<wchar_t> wideName(name.size() + 1, L'\0');
  MultiByteToWideChar(CP_ACP, 0, name.c_str(), -1, wideName.data(),
                      static_cast<int>(wideName.size()));
  DWORD type = 0, size = 0;
  LONG r = RegQueryValueExW(key_.Get(), wideName.data(), nullptr, &type, nullptr, &size);
  if (r == ERROR_FILE_NOT_FOUND) return std::string();
  if (r != ERROR_SUCCESS) Fail("Failed to get data for '" + name + "'", r);
  if (type != REG_SZ && type != REG_EXPAND_SZ)
    throw ERegistryError("Invalid data type for '" + name + "'");
  // Room for a NUL that the stored data may lack.
  std::vector<wchar_t> buf(size / sizeof(wchar_t) + 1, L'\0');
  r = RegQueryValueExW(key_.Get(), wideName.data(), nullptr, &type,
                       reinterpret_cast<BYTE*>(buf.data()), &size);
  if (r != ERROR_SUCCESS) Fail("Failed to get data for '" + name + "'", r);
  return AnsiPath(buf.data(), unspellable);  // up to the first NUL
}

void TRegistry::WriteString(const std::string& name, const std::string& value) {
  LONG r = RegSetValueExA(key_.Get(), name.c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>(value.size() + 1));
  if (r != ERROR_SUCCESS) Fail("Failed to set data for '" + name + "'", r);
}

void TRegistry::WriteInteger(const std::string& name, int32_t value) {
  DWORD v = static_cast<DWORD>(value);
  LONG r = RegSetValueExA(key_.Get(), name.c_str(), 0, REG_DWORD,
                          reinterpret_cast<const BYTE*>(&v), sizeof v);
  if (r != ERROR_SUCCESS) Fail("Failed to set data for '" + name + "'", r);
}

void TRegistry::WriteBool(const std::string& name, bool value) { WriteInteger(name, value ? 1 : 0); }

bool TRegistry::ValueExists(const std::string& name) {
  return RegQueryValueExA(key_.Get(), name.c_str(), nullptr, nullptr, nullptr, nullptr) ==
         ERROR_SUCCESS;
}

bool TRegistry::KeyExists(const std::string& path) {
  KeyHandle key;
  return RegOpenKeyExA(root_, path.c_str(), 0, KEY_READ, key.Put()) == ERROR_SUCCESS;
}

bool TRegistry::DeleteKey(const std::string& path) {
  if (SameText(path, path_)) CloseKey();
  return DeleteTree(root_, path) == ERROR_SUCCESS;
}

}  // namespace util
