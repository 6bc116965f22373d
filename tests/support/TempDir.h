// Shared pieces of the install-step tests: a per-test temporary folder, file
// helpers, and cleanup of the
// product's registry key (the tests run in a private Wine prefix).
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "util/Text.h"

namespace lftest {

// A fresh, empty folder below the temporary folder (with its trailing "\"),
// removed with everything in it (attributes cleared first) on destruction.
class TTempDir {
 public:
  TTempDir();
  ~TTempDir();
  const std::string& Path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + name; }

 private:
  std::string path_;
};

void WriteFileText(const std::string& path, const std::string& data);
std::string ReadFileText(const std::string& path);
void MakeDir(const std::string& path);
// Removes a tree whatever its attributes (test cleanup, not the product's).
void ForceRemoveTree(const std::string& path);
// Deletes HKCU\Software\Lanternfell with its subkeys (a link key included).
void DeleteProductKey();
// Lower-cased short form, the comparable form of a path.
std::string Normalised(const std::string& path);

}  // namespace lftest
