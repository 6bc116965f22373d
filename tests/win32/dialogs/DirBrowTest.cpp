// The folder selection dialog run modally under Wine: cancel, title-bar
// close, the start folder, lower-cased answers and the required-file check.
#include <gtest/gtest.h>

#include "dialogs/DirBrow.h"
#include "gui/Form.h"
#include "tests/support/BoxRecorder.h"
#include "tests/support/FormDriver.h"
#include "util/Paths.h"
#include "util/Text.h"

namespace {
const gui::FormDef kOwnerForm = {"Browse Owner", 457, 305};
const gui::ControlDef kOwnerControls[] = {
    {gui::Kind::Label, "Lbl", "", 8, 8, 100, 13, "owner"},
};

dialogs::TBrowseDlg* Showing() {
  auto* f = dynamic_cast<dialogs::TBrowseDlg*>(
      gui::TForm::FromHandle(FindWindowA(nullptr, "Select Directory")));
  return f && f->Visible() ? f : nullptr;
}

// The program's folder without its trailing backslash.
std::string ExeFolder() { return util::StripBackslash(util::ExtractFilePath(util::GetExePath())); }

// Double-clicks (open) or clicks (select) the folder list's item for path.
void ClickFolder(gui::TDirList* list, const std::string& path, bool open) {
  int i = list->IndexOf(path);
  ASSERT_GE(i, 0) << path;
  RECT r;
  SendMessageA(list->Handle(), LB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&r));
  LPARAM at = MAKELPARAM(r.left + 20, (r.top + r.bottom) / 2);
  SendMessageA(list->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageA(list->Handle(), WM_LBUTTONUP, 0, at);
  if (!open) return;
  SendMessageA(list->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, at);
  SendMessageA(list->Handle(), WM_LBUTTONUP, 0, at);
}

class DirBrowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    owner_.Show();
    fixture_ = ExeFolder() + "\\BrowseFixture";
    CreateDirectoryA(fixture_.c_str(), nullptr);
    CreateDirectoryA((fixture_ + "\\MixedCase").c_str(), nullptr);
    HANDLE h = CreateFileA((fixture_ + "\\MixedCase\\needed.txt").c_str(), GENERIC_WRITE, 0,
                           nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(h);
  }
  void TearDown() override {
    DeleteFileA((fixture_ + "\\MixedCase\\needed.txt").c_str());
    RemoveDirectoryA((fixture_ + "\\MixedCase").c_str());
    RemoveDirectoryA(fixture_.c_str());
  }
  gui::TForm owner_{kOwnerForm, kOwnerControls};
  testsupport::TWatchdog dog_{20000};
  std::string fixture_;
};
}  // namespace

TEST_F(DirBrowTest, CancelAndTitleBarCloseAnswerCancelAndStartInTheProgramFolder) {
  testsupport::TBoxRecorder boxes;
  util::SetCurrentDir(util::GetTempDir());
  std::string listed;
  testsupport::When([] { return Showing() != nullptr; }, [&] {
    listed = Showing()->DirectoryListBox1->Directory();
    testsupport::Press(Showing()->CancelBtn->Handle());
  });
  EXPECT_EQ(dialogs::BrowseForFolder(owner_.Handle(), "needed.txt"), "cancel");
  EXPECT_TRUE(util::SameText(listed, ExeFolder()));
  EXPECT_TRUE(util::SameText(util::StripBackslash(util::GetCurrentDir()), ExeFolder()));

  testsupport::When([] { return Showing() != nullptr; }, [] {
    PostMessageA(Showing()->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
  });
  EXPECT_EQ(dialogs::BrowseForAnyFolder(owner_.Handle()), "cancel");
  EXPECT_TRUE(boxes.boxes.empty());  // no check on a cancel
}

TEST_F(DirBrowTest, OkAndEnterGiveTheChosenFolderInLowerCase) {
  testsupport::When([] { return Showing() != nullptr; },
                [] { testsupport::Press(Showing()->OkBtn->Handle()); });
  EXPECT_EQ(dialogs::BrowseForAnyFolder(owner_.Handle()), util::LowerCase(ExeFolder()));

  testsupport::When([] { return Showing() != nullptr; }, [&] {
    auto* dlg = Showing();
    ClickFolder(dlg->DirectoryListBox1, fixture_, true);
    ClickFolder(dlg->DirectoryListBox1, fixture_ + "\\MixedCase", false);
    dlg->DirectoryListBox1->SetFocus();
    testsupport::PostKey(dlg->DirectoryListBox1->Handle(), VK_RETURN);  // Enter: the default Ok
  });
  EXPECT_EQ(dialogs::BrowseForAnyFolder(owner_.Handle()),
            util::LowerCase(fixture_ + "\\MixedCase"));
}

TEST_F(DirBrowTest, RequiredFileMissingShowsInvalidPathAndKeepsTheDialog) {
  testsupport::TBoxRecorder boxes;
  bool stayed = false;
  testsupport::When([] { return Showing() != nullptr; }, [&] {
    testsupport::Press(Showing()->OkBtn->Handle());  // the program folder has no needed.txt
    testsupport::When([&] { return !boxes.boxes.empty(); }, [&] {
      testsupport::After(100, [&] {
        auto* dlg = Showing();
        stayed = dlg != nullptr;
        if (!dlg) return;
        ClickFolder(dlg->DirectoryListBox1, fixture_, true);
        ClickFolder(dlg->DirectoryListBox1, fixture_ + "\\MixedCase", true);
        testsupport::Press(dlg->OkBtn->Handle());
      });
    });
  });
  HWND seenOwner = nullptr;
  std::string answer = dialogs::BrowseForFolder(owner_.Handle(), "needed.txt");
  EXPECT_TRUE(stayed);
  EXPECT_EQ(answer, util::LowerCase(fixture_ + "\\MixedCase"));
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].caption, "Invalid path");
  EXPECT_EQ(boxes.boxes[0].text,
            "The file 'needed.txt' is not in the directory you have chosen.\nPlease select again.");
  EXPECT_EQ(boxes.boxes[0].buttons, util::MsgButtons::Ok);
  EXPECT_EQ(boxes.boxes[0].owner, util::MsgOwner::Window);
  seenOwner = static_cast<HWND>(boxes.boxes[0].ownerWindow);
  EXPECT_NE(seenOwner, owner_.Handle());  // owned by the dialog, not the wizard
  EXPECT_NE(seenOwner, nullptr);
}

TEST_F(DirBrowTest, LayoutAsDesigned) {
  dialogs::TBrowseDlg dlg(owner_.Handle());
  EXPECT_EQ(dlg.Caption(), "Select Directory");
  RECT c;
  GetClientRect(dlg.Handle(), &c);
  EXPECT_EQ(c.right, 401);
  EXPECT_EQ(c.bottom, 215);
  EXPECT_TRUE(GetWindowLongA(dlg.Handle(), GWL_STYLE) & WS_SYSMENU);
  auto place = [&](gui::TControl* ctl) {
    RECT r;
    GetWindowRect(ctl->Handle(), &r);
    MapWindowPoints(nullptr, dlg.Handle(), reinterpret_cast<POINT*>(&r), 2);
    return std::vector<long>{r.left, r.top, r.right - r.left};
  };
  EXPECT_EQ(place(dlg.DirectoryListBox1), (std::vector<long>{16, 16, 177}));
  EXPECT_EQ(place(dlg.FileListBox1), (std::vector<long>{208, 16, 177}));
  EXPECT_EQ(place(dlg.DriveComboBox1), (std::vector<long>{16, 145, 177}));
  EXPECT_EQ(place(dlg.OkBtn), (std::vector<long>{224, 178, 75}));
  EXPECT_EQ(place(dlg.CancelBtn), (std::vector<long>{312, 178, 75}));
  EXPECT_EQ(dlg.OkBtn->Caption(), "Ok");
  EXPECT_TRUE(dlg.OkBtn->IsDefault());
  EXPECT_EQ(dlg.OkBtn->ModalResult(), gui::mrOk);
  EXPECT_EQ(dlg.CancelBtn->ModalResult(), gui::mrCancel);
  EXPECT_EQ(dlg.FileListBox1->Color(), gui::clGray);
}
