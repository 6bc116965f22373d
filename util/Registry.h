// The registry object: one per task, on HKEY_CURRENT_USER unless told
// otherwise. Reads of a missing value give ""; a value of the wrong type and a
// refused write raise ERegistryError. The destructor closes the open key.
#pragma once
#include <cstdint>
#include <string>

#include "util/AnsiPath.h"
#include "util/Handle.h"

namespace util {

class TRegistry {
 public:
  TRegistry();
  ~TRegistry();
  TRegistry(const TRegistry&) = delete;
  TRegistry& operator=(const TRegistry&) = delete;

  // Closes any open key and switches the root.
  void SetRootKey(HKEY root);
  HKEY RootKey() const { return root_; }

  // Opens path under the root with full access, creating it and its missing
  // parents only when canCreate; the key becomes the current key. On failure
  // the current key stays as it was and the system's reason is kept: in
  // OpenError() and, for code that reads it, in the thread's last error.
  bool OpenKey(const std::string& path, bool canCreate);
  // Why the last OpenKey failed (a Win32 error code); 0 after a success.
  unsigned long OpenError() const { return openError_; }
  void CloseKey();
  bool HasCurrentKey() const { return key_.Valid(); }
  const std::string& CurrentPath() const { return path_; }

  // REG_SZ or REG_EXPAND_SZ; "" when absent or empty; other types raise.
  std::string ReadString(const std::string& name);
  // A value that names a folder (REG_SZ or REG_EXPAND_SZ, not expanded),
  // read as the system stores it, in UTF-16, and made ANSI like the folders
  // the system names (AnsiPath): "" when absent, empty, or without an ANSI
  // spelling (reported then, unless Quiet). Other types raise, as in
  // ReadString.
  std::string ReadFolder(const std::string& name, TUnspellable unspellable = TUnspellable::Report);
  void WriteString(const std::string& name, const std::string& value);
  void WriteInteger(const std::string& name, int32_t value);
  void WriteBool(const std::string& name, bool value);
  bool ValueExists(const std::string& name);

  // True when the key can be opened; it is closed again at once.
  bool KeyExists(const std::string& path);
  // Deletes the key with all its subkeys, deepest first.
  bool DeleteKey(const std::string& path);

 private:
  HKEY root_;
  KeyHandle key_;
  std::string path_;
  unsigned long openError_ = 0;
};

}  // namespace util
