// Shared set-up of the removal tests: the sandbox (scratch folder, both
// registry keys, message boxes recorded), the progress lines recorded, and a
// Program Manager stand-in that records what it was asked to do.
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/Version.h"
#include "tests/support/Sandbox.h"
#include "uninstall/Removal.h"
#include "util/FileStream.h"
#include "util/Paths.h"
#include "util/Registry.h"
#include "util/Win.h"

using namespace testsupport;

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

class RemovalFixture : public TSandboxTest {
 protected:
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

  // A removal whose progress lines land in lines_ and whose Program Manager
  // is a recording stand-in.
  std::unique_ptr<uninstall::TRemoval> MakeRemoval(
      uninstall::TUninstallState in, RecordingLink::Mode mode = RecordingLink::Accept) {
    auto r = std::make_unique<uninstall::TRemoval>(
        std::move(in), [this](const std::string& line) { lines_.push_back(line); });
    r->SetProgmanLink(std::make_unique<RecordingLink>(link_, mode));
    return r;
  }

  std::vector<std::string> lines_;
  std::shared_ptr<LinkLog> link_ = std::make_shared<LinkLog>();
};
