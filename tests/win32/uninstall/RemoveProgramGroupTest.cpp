// The program group step: the exact DDE command on the wire, its three
// message boxes, refused group names, and Wine's own Program Manager server.
#include "RemovalFixture.h"
#include "tests/support/DdeServer.h"
#include "uninstall/GroupGuard.h"

using uninstall::TUninstallState;

class RemoveProgramGroupTest : public RemovalFixture {
 protected:
  // A removal that talks real DDE to the given service.
  std::unique_ptr<uninstall::TRemoval> MakeDdeRemoval(const std::string& group,
                                                      const std::string& service) {
    auto r = std::make_unique<uninstall::TRemoval>(
        TUninstallState{.GroupName = group, .AppChecked = true},
        [this](const std::string& line) { lines_.push_back(line); });
    r->SetProgmanLink(std::make_unique<uninstall::TDdeClientConv>(service, service));
    return r;
  }
};

// The group name goes out as recorded, in any letter case; an absent group
// (empty value) opens no conversation and sends nothing, yet the step
// reports as done.
TEST_F(RemoveProgramGroupTest, CommandTravelsAsAnsiTextWithItsNulButNotForAnAbsentGroup) {
  TDdeServer server("LFTESTPROGMAN");
  ASSERT_TRUE(server.Ready());

  EXPECT_TRUE(MakeDdeRemoval("", "LFTESTPROGMAN")->RemoveProgramGroup());
  EXPECT_TRUE(MakeDdeRemoval("LANTERNFELL", "LFTESTPROGMAN")->RemoveProgramGroup());
  EXPECT_TRUE(MakeDdeRemoval("Lanternfell", "LFTESTPROGMAN")->RemoveProgramGroup());

  // Commands arrive in the order sent: an empty one would come first.
  const Lines got = server.WaitForCommands(2);
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0], std::string("[DeleteGroup(LANTERNFELL)]\0", 27));
  EXPECT_EQ(got[1], std::string("[DeleteGroup(Lanternfell)]\0", 27));
  EXPECT_TRUE(boxes_.empty());
  EXPECT_EQ(lines_, (Lines{"   program group...done", "   program group...done",
                           "   program group...done"}));

  // Through the recording seam: not even a conversation for the empty name.
  lines_.clear();
  auto removal = MakeRemoval({.AppChecked = true});
  EXPECT_TRUE(removal->RemoveProgramGroup());
  EXPECT_EQ(link_->opens, 0);
  EXPECT_TRUE(link_->commands.empty());
  EXPECT_TRUE(boxes_.empty());
  EXPECT_EQ(lines_, Lines{"   program group...done"});
}

// "Program Group" naming another program's group: nothing is sent, the box
// says the group could not be removed, and the product's files and registry
// key go all the same.
TEST_F(RemoveProgramGroupTest, AnotherProgramsGroupIsNeverSent) {
  for (const std::string name : {"Startup", "Accessories", "StartUp\\..\\Accessories",
                                 "Lanternfell Tools", "Lanternfell ", "Tools\\Lanternfell"}) {
    SCOPED_TRACE(name);
    boxes_.clear();
    lines_.clear();
    link_ = std::make_shared<LinkLog>();
    const std::string home = Dir("App");
    File("App\\readme.txt");
    File("App\\LN.dbc", "store");
    MakeKeys(home, "", name);

    auto removal = MakeRemoval({.AppDir = home, .GroupName = name, .AppChecked = true});
    removal->RunRemovals();

    EXPECT_EQ(link_->opens, 0);
    EXPECT_TRUE(link_->commands.empty());
    ExpectGroupErrorAndTheRestRemoved();
    EXPECT_EQ(Read("App\\LN.dbc"), "store");
  }
}

TEST_F(RemoveProgramGroupTest, FailedSendAndRaisedErrorEachShowTheirBoxAndStillClose) {
  struct Case {
    RecordingLink::Mode mode;
    std::string text, caption;
  };
  const Case cases[] = {
      {RecordingLink::SendFails, "ExecuteMacroLines failed!\nUnable to create Program Group!",
       "Program Error"},
      {RecordingLink::Throws, "Exception caught at ExecuteMacro", "Exception"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.caption);
    boxes_.clear();
    lines_.clear();
    link_ = std::make_shared<LinkLog>();
    auto removal = MakeRemoval({.GroupName = "Lanternfell", .AppChecked = true}, c.mode);
    EXPECT_FALSE(removal->RemoveProgramGroup());
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].text, c.text);
    EXPECT_EQ(boxes_[0].caption, c.caption);
    EXPECT_EQ(boxes_[0].buttons, util::MsgButtons::Ok);
    EXPECT_EQ(boxes_[0].owner, util::MsgOwner::MainWindow);
    EXPECT_EQ(link_->commands, Lines{"[DeleteGroup(Lanternfell)]"});
    EXPECT_EQ(link_->closes, 1);
    EXPECT_EQ(lines_, Lines{"   program group...done"});
  }
}

TEST_F(RemoveProgramGroupTest, UnsafeGroupNamesAreNotSent) {
  for (const std::string name :
       {"..", "..\\..", "Lanternfell\\..\\..", ". .", "\\Windows", "C:\\x", "C:x",
        "A)][DeleteGroup(B", "A,B", "Lan\"ternfell", "Line\nbreak"}) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(uninstall::IsSafeGroupName(name));
    boxes_.clear();
    lines_.clear();
    link_ = std::make_shared<LinkLog>();
    EXPECT_FALSE(MakeRemoval({.GroupName = name, .AppChecked = true})->RemoveProgramGroup());
    EXPECT_TRUE(link_->commands.empty());
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].text, "Unable to remove Lanternfell program group!");
    EXPECT_EQ(boxes_[0].caption, "Error");
    EXPECT_TRUE(lines_.empty());
  }
  for (const std::string name :
       {"", "Lanternfell", "Lanternfell .9b2", "Tools\\Lanternfell", "Mail.Net", "Lanternfell's"})
    EXPECT_TRUE(uninstall::IsSafeGroupName(name)) << name;
}

// Wine's shell answers Program Manager's DDE commands (the desktop process
// registers "PROGMAN") and deletes the group's folder under Programs.
TEST_F(RemoveProgramGroupTest, WineShellDeletesTheGroupFolder) {
  util::TRegistry reg;
  ASSERT_TRUE(
      reg.OpenKey("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", false));
  const std::string programs = reg.ReadString("Programs");
  ASSERT_FALSE(programs.empty());
  const std::string group = app::ProductName;
  const std::string folder = programs + "\\" + group;
  CreateDirectoryA(folder.c_str(), nullptr);
  ASSERT_TRUE(util::DirectoryExists(folder));
  ASSERT_TRUE(util::WriteWholeFile(folder + "\\ReadMe.LNK", "not really a link"));
  const std::string other = programs + "\\Lanternfell Removal Neighbour";
  CreateDirectoryA(other.c_str(), nullptr);

  auto removal = MakeDdeRemoval(group, uninstall::ProgmanService);
  const bool sent = removal->RemoveProgramGroup();
  ASSERT_TRUE(boxes_.empty()) << "no PROGMAN server answered: " << boxes_[0].text;
  EXPECT_TRUE(sent);
  // The server deletes the folder when it handles the command, which may be a
  // moment after the conversation closed.
  for (int i = 0; i < 100 && util::DirectoryExists(folder); ++i) Sleep(100);
  EXPECT_FALSE(util::DirectoryExists(folder));
  EXPECT_TRUE(util::DirectoryExists(other));
  EXPECT_TRUE(util::DirectoryExists(programs));
  RemoveDirectoryA(other.c_str());
  EXPECT_EQ(lines_, Lines{"   program group...done"});
}
