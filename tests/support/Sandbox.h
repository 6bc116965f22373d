// A test's own corner of the Wine prefix: a scratch folder, both programs'
// registry keys absent before and after, the beep off, and every message box
// recorded (answered OK unless told otherwise).
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/support/BoxRecorder.h"
#include "tests/support/TempDir.h"

namespace testsupport {

// Deletes HKCU\Software\Lanternfell and the product's entry in the list of
// installed programs with their subkeys; a link key (made by a
// registry-failure test) is removed as itself.
void DeleteProductKey();
// Deletes the product's and Mixmaster's keys.
void DeleteBothKeys();
// Creates the key and writes the given text values.
void WriteKey(const std::string& key,
              const std::vector<std::pair<std::string, std::string>>& values);
bool KeyExists(const std::string& key);

class TSandboxTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Paths relative to the scratch folder (see TTempDir).
  std::string Dir(const std::string& rel) { return tmp_.Dir(rel); }
  std::string File(const std::string& rel, const std::string& text = "x") {
    return tmp_.File(rel, text);
  }
  std::string Read(const std::string& rel) const { return tmp_.Read(rel); }
  bool Exists(const std::string& rel) const { return tmp_.Exists(rel); }

  TTempDir tmp_;
  const std::string root_ = tmp_.Path();  // with its trailing "\"
  TBoxRecorder boxes_;
};

}  // namespace testsupport
