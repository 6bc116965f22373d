// Shared set-up of the removal tests: a scratch folder under the temporary
// folder, both registry keys, the message boxes and progress lines recorded,
// and a Program Manager stand-in that records what it was asked to do.
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/Version.h"
#include "tests/support/BoxRecorder.h"
#include "uninstall/Removal.h"
#include "tests/support/Folders.h"
#include "util/DirList.h"
#include "util/FileStream.h"
#include "util/Message.h"
#include "util/Paths.h"
#include "util/Registry.h"
#include "util/System.h"
#include "util/Win.h"

// What a recording link saw, shared with the test after the link moved into
// the removal.
struct LinkLog {
  int opens = 0, closes = 0;
  std::vector<std::string> commands;
};

class RecordingLink : public uninstall::TProgmanLink {
 public:
  enum Mode { Accept, NoServer, SendFails, Throws };
  RecordingLink(std::shared_ptr<LinkLog> log, Mode mode) : log_(std::move(log)), mode_(mode) {}
  bool Open() override {
    ++log_->opens;
    return mode_ != NoServer;
  }
  bool Execute(const std::string& command) override {
    log_->commands.push_back(command);
    if (mode_ == Throws) throw std::runtime_error("conversation lost");
    return mode_ != SendFails;
  }
  void Close() override { ++log_->closes; }

 private:
  std::shared_ptr<LinkLog> log_;
  Mode mode_;
};

class RemovalFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = util::GetTempDir() + "lf-removal-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name() + "\\";
    Wipe();
    ASSERT_TRUE(CreateDirectoryA(root_.c_str(), nullptr));
    // Every test here deletes files: never anywhere outside the prefix.
    ASSERT_TRUE(testfolders::LiesInsidePrefix(root_)) << root_;
    util::TRegistry().DeleteKey(app::ProductRegistryKey);
    util::TRegistry().DeleteKey(app::MixmasterRegistryKey);
    util::SetBeepEnabled(false);
  }
  void TearDown() override {
    util::SetBeepEnabled(true);
    util::TRegistry().DeleteKey(app::ProductRegistryKey);
    util::TRegistry().DeleteKey(app::MixmasterRegistryKey);
    Wipe();
  }
  void Wipe() {
    std::string dir = root_;
    util::DeleteDirTree(dir);
  }

  // Makes a folder (and its parents under root_) and returns its path with "\".
  std::string Dir(const std::string& rel) {
    return testfolders::MakeDirs(root_, rel);
  }
  std::string File(const std::string& rel, const std::string& text = "x") {
    const std::string path = root_ + rel;
    EXPECT_TRUE(util::WriteWholeFile(path, text)) << path;
    return path;
  }
  std::string Read(const std::string& rel) {
    std::string text;
    return util::ReadWholeFile(root_ + rel, text) ? text : std::string("<missing>");
  }
  bool Exists(const std::string& rel) {
    const std::string path = root_ + rel;
    return util::FileExists(path) || util::DirectoryExists(path);
  }

  // Both registry keys, each with a value and a subkey.
  void MakeKeys(const std::string& appDir, const std::string& mixDir,
                const std::string& group = "Lanternfell") {
    util::TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(app::ProductRegistryKey + "\\Sub\\Deeper", true));
    reg.WriteString("x", "y");
    ASSERT_TRUE(reg.OpenKey(app::ProductRegistryKey, false));
    reg.WriteString("AppDir", appDir);
    reg.WriteString("Program Group", group);
    ASSERT_TRUE(reg.OpenKey(app::MixmasterRegistryKey + "\\Sub", true));
    reg.WriteString("x", "y");
    ASSERT_TRUE(reg.OpenKey(app::MixmasterRegistryKey, false));
    reg.WriteString("MixDir", mixDir);
  }
  static bool KeyExists(const std::string& key) { return util::RegKeyExists(key); }

  // A removal whose progress lines land in lines_ and whose Program Manager
  // is a recording stand-in.
  std::unique_ptr<uninstall::TRemoval> MakeRemoval(
      uninstall::TUninstallState in, RecordingLink::Mode mode = RecordingLink::Accept) {
    auto r = std::make_unique<uninstall::TRemoval>(
        std::move(in), [this](const std::string& line) { lines_.push_back(line); });
    r->SetProgmanLink(std::make_unique<RecordingLink>(link_, mode));
    return r;
  }

  std::string root_;
  std::vector<std::string> lines_;
  testsupport::TBoxRecorder boxes_;
  std::shared_ptr<LinkLog> link_ = std::make_shared<LinkLog>();
};
