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
using Lines = std::vector<std::string>;

// The progress lines of each program's removal when every step succeeds.
inline const Lines kAppLines = {"Removing Lanternfell...", "   program group...done",
                                "   program files...done", "   registry key...done"};
inline const Lines kMixLines = {"Removing Mixmaster...", "   program files...done",
                                "   registry key...done"};
// The product's lines when its program group could not be removed.
inline const Lines kAppLinesWithoutGroup = {"Removing Lanternfell...", "   program files...done",
                                            "   registry key...done"};

// a's lines, then b's.
inline Lines Concat(const Lines& a, const Lines& b) {
  Lines all = a;
  all.insert(all.end(), b.begin(), b.end());
  return all;
}

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
    ASSERT_TRUE(reg.OpenKey(app::UninstallEntryKey, true));
    reg.WriteString("DisplayName", app::ProductName);
    ASSERT_TRUE(reg.OpenKey(app::MixmasterRegistryKey + "\\Sub", true));
    reg.WriteString("x", "y");
    ASSERT_TRUE(reg.OpenKey(app::MixmasterRegistryKey, false));
    reg.WriteString("MixDir", mixDir);
  }

  // Both programs chosen, in the given order, with the group setup writes.
  static uninstall::TUninstallState BothChosen(const std::string& appDir, const std::string& mixDir,
                                             bool appFirst = true) {
    return {.AppDir = appDir,
            .MixDir = mixDir,
            .GroupName = "Lanternfell",
            .AppFirst = appFirst,
            .AppChecked = true,
            .MixChecked = true};
  }

  // The group step's failure: one error box, no group line; the product's
  // files (readme.txt in App) and key went all the same.
  void ExpectGroupErrorAndTheRestRemoved() {
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].text, "Unable to remove Lanternfell program group!");
    EXPECT_EQ(boxes_[0].caption, "Error");
    EXPECT_EQ(boxes_[0].buttons, util::MsgButtons::Ok);
    EXPECT_EQ(boxes_[0].owner, util::MsgOwner::MainWindow);
    EXPECT_EQ(lines_, kAppLinesWithoutGroup);
    EXPECT_FALSE(Exists("App\\readme.txt"));
    EXPECT_FALSE(KeyExists(app::ProductRegistryKey));
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
