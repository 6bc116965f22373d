// The process starters: waiting for a program, a missing program, and the
// folder window opened through Explorer.
#include <gtest/gtest.h>

#include <algorithm>

#include "dialogs/StartProgram.h"
#include "tests/support/BoxRecorder.h"
#include "tests/support/TempDir.h"
#include "util/FileStream.h"
#include "util/Paths.h"
#include "util/Win.h"

namespace {

using testsupport::MakeDir;
using testsupport::TTempDir;

TEST(StartProgramTest, WaitReturnsAfterTheProcessHasEnded) {
  TTempDir tmp;
  const std::string marker = tmp.Path("marker.txt");
  const std::string cmd = "cmd.exe /c echo done> \"" + marker + "\"";
  EXPECT_EQ(dialogs::StartProgramAndWait(cmd, 0), static_cast<unsigned long>(WAIT_OBJECT_0));
  EXPECT_TRUE(util::FileExists(marker));

  util::Handle process = dialogs::StartProcess("cmd.exe /c exit 7", 0);
  ASSERT_TRUE(process.Valid());
  ASSERT_EQ(WaitForSingleObject(process.Get(), INFINITE), WAIT_OBJECT_0);
  DWORD code = 0;
  ASSERT_TRUE(GetExitCodeProcess(process.Get(), &code));
  EXPECT_EQ(code, 7u);
  EXPECT_TRUE(dialogs::StartProgram("cmd.exe /c exit 0", 0));
}

TEST(StartProgramTest, MissingProgramStartsNothingAndShowsNothing) {
  testsupport::TBoxRecorder boxes;
  TTempDir tmp;
  const std::string missing = tmp.Path("no-such-program.exe");
  EXPECT_FALSE(dialogs::StartProgram(missing, 1));
  EXPECT_FALSE(dialogs::StartProcess(missing, 1).Valid());
  EXPECT_EQ(dialogs::StartProgramAndWait(missing, 1), static_cast<unsigned long>(WAIT_FAILED));
  EXPECT_TRUE(boxes.boxes.empty());
}

// Explorer is found by its bare name, so a stand-in named explorer.exe in the
// current folder (searched before the system's folders) receives the start
// and records its command line and show state.
TEST(StartProgramTest, OpenFolderWindowStartsExplorerOnThePathShownNormally) {
  TTempDir tmp;
  const std::string recorder = util::AppendBackslash(util::GetExeDir()) + LF_START_RECORDER_NAME;
  ASSERT_TRUE(CopyFileA(recorder.c_str(), tmp.Path("explorer.exe").c_str(), FALSE)) << recorder;
  const std::string folder = tmp.Path("Programs\\Lanternfell Group");
  MakeDir(tmp.Path("Programs"));
  MakeDir(folder);

  const std::string saved = util::GetCurrentDir();
  ASSERT_TRUE(util::SetCurrentDir(tmp.Path()));
  const bool started = dialogs::OpenFolderWindow(folder);
  util::SetCurrentDir(saved);
  ASSERT_TRUE(started);

  // The stand-in runs on its own; its record is whole once both lines are in.
  const std::string record = tmp.Path("explorer.txt");
  std::string text;
  for (int i = 0; i < 200; ++i) {
    if (util::FileExists(record)) text = testsupport::ReadFileText(record);
    if (std::count(text.begin(), text.end(), '\n') == 2) break;
    Sleep(50);
  }
  // The path goes unquoted, spaces and all.
  EXPECT_EQ(text, "explorer.exe " + folder + "\n1\n");
}

}  // namespace
