// The setup wizard driven through its own controls: pre-filling from an
// earlier installation, the pages and their buttons, typed fields, the
// encrypted-store notice, the two questions, browsing, and one install run
// through the form with the wait dialog running out.
#include <iostream>
#include <memory>

#include "app/Version.h"
#include "dialogs/DirBrow.h"
#include "gui/Pump.h"
#include "setup/Destination.h"
#include "setup/SetupDlg.h"
#include "store/FileMan1.h"
#include "tests/support/RefusedFolders.h"
#include "tests/support/WizardFixture.h"
#include "uninstall/UninstDlg.h"
#include "util/DirList.h"
#include "util/FileStream.h"
#include "util/Paths.h"
#include "util/Registry.h"
#include "util/Text.h"

using Lines = std::vector<std::string>;
using testsupport::KeyExists;
using testsupport::WriteKey;
using setup::TSetupForm;
using testsupport::Press;
using testsupport::Type;

namespace {

const std::string kQuit = "Quit without installing Lanternfell?";
const std::string kEncryptedNotice =
    "I have found that your LN database is encrypted. Because of this I am unable to retrieve "
    "current configuration values. This is not a problem though. Click 'Install' to complete "
    "program setup.";

class SetupFormTest : public testsupport::WizardFixture {
 protected:
  // The wizard as start-up makes it; Show runs FormShow as the first showing.
  std::unique_ptr<TSetupForm> Open(bool show = true) {
    auto f = std::make_unique<TSetupForm>();
    if (show) {
      f->Show();
      gui::ProcessMessages();
    }
    return f;
  }
  void InstallKey(const std::vector<std::pair<std::string, std::string>>& values) {
    WriteKey(app::ProductRegistryKey, values);
  }
  // A store holding a default message with these lines.
  static void WriteDefaultMessage(const std::string& storePath, const Lines& lines) {
    util::TStringList message;
    for (const auto& l : lines) message.Add(l);
    ASSERT_EQ(store::WriteStoreLines(app::DefaultMessageKey, &message, storePath), 0);
  }

  static gui::TEdit* Edit(TSetupForm& f, const char* name) { return f.Get<gui::TEdit>(name); }
  static gui::TButton* Btn(TSetupForm& f, const char* name) { return f.Get<gui::TButton>(name); }
  static gui::TCheckBox* Box(TSetupForm& f, const char* name) {
    return f.Get<gui::TCheckBox>(name);
  }
  static Lines Review(TSetupForm& f) { return f.Get<gui::TTextBox>("RichEdit3")->Lines(); }

  // Start -> Address -> Review with the fields typed as a person would.
  void ToReview(TSetupForm& f, const std::string& address, const std::string& host) {
    ASSERT_EQ(f.PageIndex(), 0);
    ASSERT_TRUE(Press(Btn(f, "NextBtn")));
    Type(Edit(f, "EAddr"), address);
    Type(Edit(f, "Host"), host);
    ASSERT_TRUE(Press(Btn(f, "NextBtn")));
    ASSERT_EQ(f.PageIndex(), 2);
  }
};

TEST_F(SetupFormTest, NoEarlierInstallationOpensOnStartWithDesignValues) {
  // Started from a console in another folder: the distribution is still the
  // folder of the program itself.
  ASSERT_TRUE(util::SetCurrentDir(root_));
  auto f = Open();
  EXPECT_FALSE(f->FoundInstallation());
  EXPECT_EQ(Edit(*f, "AppDIR")->Text(), "C:\\Program Files\\Lanternfell");
  EXPECT_TRUE(Box(*f, "GroupBox")->Checked());
  EXPECT_EQ(Edit(*f, "EAddr")->Text(), "");
  EXPECT_EQ(Edit(*f, "Host")->Text(), "");
  EXPECT_EQ(f->PageIndex(), 0);
  EXPECT_FALSE(Btn(*f, "BackBtn")->Enabled());
  EXPECT_TRUE(Btn(*f, "NextBtn")->Enabled());
  EXPECT_EQ(Btn(*f, "NextBtn")->Caption(), "Next");
  EXPECT_EQ(Btn(*f, "CancelBtn")->Caption(), "Cancel");
  EXPECT_EQ(f->SourceDir(), util::StripBackslash(util::ExtractFilePath(util::GetExePath())));
  EXPECT_FALSE(util::SameDir(f->SourceDir(), root_));

  // Closing on the Start page asks nothing.
  ASSERT_TRUE(Press(Btn(*f, "CancelBtn")));
  EXPECT_TRUE(Boxes().empty());
  EXPECT_TRUE(f->Closed());
}

// Both wizards are centred on the whole screen, also when a task bar takes
// a strip of it (a work area smaller than the screen).
TEST_F(SetupFormTest, BothWizardsAreCentredOnTheScreen) {
  RECT saved;
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &saved, 0));
  const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  RECT work{0, 0, sw, sh - 120};
  const bool narrowed = SystemParametersInfoA(SPI_SETWORKAREA, 0, &work, 0);
  auto centre = [&](HWND h) {
    RECT r;
    GetWindowRect(h, &r);
    EXPECT_NEAR((r.left + r.right) / 2.0, sw / 2.0, 1.0);
    EXPECT_NEAR((r.top + r.bottom) / 2.0, sh / 2.0, 1.0);
  };
  {
    auto f = Open();
    centre(f->Handle());
  }
  {
    uninstall::TUninstWiz w;
    centre(w.Handle());
  }
  if (narrowed) SystemParametersInfoA(SPI_SETWORKAREA, 0, &saved, 0);
  std::cout << "[ note     ] work area " << (narrowed ? "narrowed by 120 pixels" : "unchanged")
            << std::endl;
}

// The read-only text boxes give the system (GetWindowText, screen readers)
// their exact paragraphs joined by CR LF.
TEST_F(SetupFormTest, ReadOnlyTextBoxesGiveTheirParagraphsToTheSystem) {
  InstallKey({{"AppDir", Dir("App")}});
  auto f = Open();
  auto text = [&](const char* name) { return testsupport::TextOf(f->Find(name)->Handle()); };
  EXPECT_EQ(text("RichEdit1"),
            "This wizard will guide you through the installation process. Below you'll find the "
            "\r\ndefault destination. Change it if you like. The folder need not exist and it "
            "need \r\nnot be in your computer's PATH statement. Then, click 'Next' to continue...");
  EXPECT_EQ(text("RichEdit2"),
            "I need your 'actual' email address and the mail server you normally send out-\r\n"
            "going mail through.  These will be used to create a default message and \r\n"
            "USENET article. Click 'Next' when finished.");
  EXPECT_EQ(text("RichEdit4"),
            "Please review your setup below, for accuracy. Click 'Back' to make changes. \r\n"
            "When satisfied, click \"Install\" to complete program setup.");
  EXPECT_EQ(text("RichEdit3"), "Folder = " + root_ + "App\\\r\nAddress = \r\nMailHost = \r\n"
                               "ProgramGroup = no");
  EXPECT_EQ(text("RichEdit6"),
            "Lanternfell is succesfully installed. I hope this update includes \r\n"
            "at least something you were hoping to see. If not, drop me an \r\n"
            "email. Though it is not possible to incorporate every idea that \r\n"
            "comes my way, I promise to give them serious thought and have \r\n"
            "included many user suggestions already.\r\n"
            "\r\n"
            "Thanks again for your interest in my program!");
  EXPECT_NE(text("RichEdit5").find("mix29bxx.zip"), std::string::npos);
}

// The encrypted-store notice is one paragraph, read whole.
TEST_F(SetupFormTest, EncryptedNoticeIsReadableAsText) {
  InstallKey({{"AppDir", Dir("App")}});
  File("App\\LN.pgp");
  auto f = Open();
  HWND h = f->Find("RichEdit3")->Handle();
  char buf[512];
  GetWindowTextA(h, buf, sizeof buf);
  EXPECT_EQ(std::string(buf), kEncryptedNotice);
}

// The default destination: Program Files while the user can create folders
// there, the user's own programs folder where not; the probe leaves nothing.
TEST_F(SetupFormTest, DefaultDestinationIsAFolderTheUserCanCreate) {
  const std::string writable = Dir("PF");
  const std::string local = Dir("Local");
  EXPECT_TRUE(setup::CanCreateFolderIn(writable));
  EXPECT_EQ(setup::DefaultDestination(writable, local), writable + "Lanternfell");
  EXPECT_EQ(util::FindFiles(nullptr, writable + "*", FILE_ATTRIBUTE_DIRECTORY), 0)
      << "the probe left something";
  // In a folder with the user's things, an empty folder among them, and one
  // named as the probes are: the probe removes only the folder it made.
  const std::string used = Dir("Used");
  File("Used\\LN.dbc", "store");
  File("Used\\ReadMe.txt", "mine");
  Dir("Used\\Empty");
  Dir("Used\\~lf-probe-0-0");
  EXPECT_TRUE(setup::CanCreateFolderIn(used));
  EXPECT_EQ(Read("Used\\LN.dbc"), "store");
  EXPECT_EQ(Read("Used\\ReadMe.txt"), "mine");
  EXPECT_TRUE(util::DirectoryExists(used + "Empty"));
  EXPECT_TRUE(util::DirectoryExists(used + "~lf-probe-0-0"));
  util::TStringList files, subdirs;
  util::ListDirectory(used, files, subdirs);
  EXPECT_EQ(files.Count(), 2);
  EXPECT_EQ(subdirs.Count(), 2) << "the probe left a folder or removed one";

  // The test prefix's immutable folder (made by its set-up script), which
  // even root cannot write; where the machine could not make one, a path
  // below a file, in which no folder can be made either.
  std::string locked = "C:\\lf-readonly";
  const bool immutable = util::DirectoryExists(locked) && !setup::CanCreateFolderIn(locked);
  if (!immutable) locked = File("plain-file") + "\\sub";
  std::cout << "[ note     ] unwritable Program Files: "
            << (immutable ? "immutable folder " + locked : "seam " + locked) << std::endl;
  EXPECT_FALSE(setup::CanCreateFolderIn(locked));
  EXPECT_EQ(setup::DefaultDestination(locked, local), local + "Programs\\Lanternfell");
  EXPECT_EQ(setup::DefaultDestination(locked, ""), locked + "\\Lanternfell");

  // The wizard's design text follows the rule; here (Wine) the user can
  // create folders in C:\Program Files. A folder from the registry is used
  // as it stands.
  ASSERT_TRUE(setup::CanCreateFolderIn("C:\\Program Files"));
  EXPECT_NE(setup::LocalAppDataFolder(), "");
  {
    auto f = Open();
    EXPECT_EQ(Edit(*f, "AppDIR")->Text(), "C:\\Program Files\\Lanternfell");
  }
  InstallKey({{"AppDir", locked}});
  auto f = Open(false);
  EXPECT_EQ(Edit(*f, "AppDIR")->Text(), locked);
}

TEST_F(SetupFormTest, KeyWithoutProgramGroupLandsOnReviewWithGroupNo) {
  const std::string home = Dir("App");
  InstallKey({{"AppDir", home}});
  auto f = Open();
  EXPECT_TRUE(f->FoundInstallation());
  EXPECT_FALSE(Box(*f, "GroupBox")->Checked());
  EXPECT_EQ(f->PageIndex(), 2);
  EXPECT_EQ(Review(*f),
            (Lines{"Folder = " + home, "Address = ", "MailHost = ", "ProgramGroup = no"}));
  EXPECT_EQ(Btn(*f, "NextBtn")->Caption(), "Install");
  EXPECT_TRUE(Btn(*f, "NextBtn")->Enabled());
  EXPECT_TRUE(Btn(*f, "BackBtn")->Enabled());
  EXPECT_EQ(Btn(*f, "CancelBtn")->Caption(), "Cancel");
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(SetupFormTest, AfterTheJumpToReviewNextHasTheFocusAndSpaceOrEnterAsks) {
  InstallKey({{"AppDir", Dir("App")}, {"Program Group", "Lanternfell"}});
  auto f = Open();
  ASSERT_EQ(f->PageIndex(), 2);
  EXPECT_TRUE(Btn(*f, "NextBtn")->Focused());

  // Space on the focused button presses it: "Install now?"; Cancel keeps the page.
  Answer(testsupport::Always(util::mrCancel));
  testsupport::Key(*f, VK_SPACE);
  EXPECT_EQ(BoxTexts(), Lines{"Install now?"});
  EXPECT_EQ(f->PageIndex(), 2);
  testsupport::Key(*f, VK_RETURN);
  EXPECT_EQ(BoxTexts(), (Lines{"Install now?", "Install now?"}));
  EXPECT_EQ(f->PageIndex(), 2);
  EXPECT_TRUE(Btn(*f, "NextBtn")->Focused());

  // Esc is Cancel: the quit question, No keeps the wizard.
  Answer(testsupport::Always(util::mrNo));
  testsupport::Key(*f, VK_ESCAPE);
  EXPECT_EQ(BoxTexts().back(), kQuit);
  EXPECT_FALSE(f->Closed());
  EXPECT_EQ(f->PageIndex(), 2);
}

TEST_F(SetupFormTest, AppDirWithTrailingBackslashAndStoredAddressAndHost) {
  const std::string home = Dir("Mail LN");  // ends in "\"
  WriteDefaultMessage(home + "LN.dbc",
                      {"From: Name <a@b.c>", "host: smtp.x", "To: ", "Subject: ", "", "~~"});
  InstallKey({{"AppDir", home}, {"Program Group", "Lanternfell"}});

  auto f = Open(false);
  EXPECT_EQ(Edit(*f, "AppDIR")->Text(), home);  // as stored, "\" kept, none added
  EXPECT_EQ(Edit(*f, "EAddr")->Text(), "Name <a@b.c>");
  EXPECT_EQ(Edit(*f, "Host")->Text(), "smtp.x");
  EXPECT_TRUE(Box(*f, "GroupBox")->Checked());
  EXPECT_EQ(f->PageIndex(), 0);
  EXPECT_TRUE(Btn(*f, "NextBtn")->Enabled());

  f->Show();
  gui::ProcessMessages();
  EXPECT_EQ(f->PageIndex(), 2);
  EXPECT_EQ(Review(*f), (Lines{"Folder = " + home, "Address = Name <a@b.c>",
                               "MailHost = smtp.x", "ProgramGroup = yes"}));
  EXPECT_TRUE(Btn(*f, "BackBtn")->Enabled());
}

TEST_F(SetupFormTest, StoredAddressWithoutHostKeepsNextEnabledOnStart) {
  const std::string home = Dir("App");
  WriteDefaultMessage(home + "LN.dbc", {"From: Name <a@b.c>", "To: ", "", "body"});
  InstallKey({{"AppDir", util::StripBackslash(home)}, {"Program Group", "Lanternfell"}});

  auto f = Open(false);
  EXPECT_EQ(Edit(*f, "EAddr")->Text(), "Name <a@b.c>");
  EXPECT_EQ(Edit(*f, "Host")->Text(), "");
  EXPECT_EQ(f->PageIndex(), 0);
  EXPECT_TRUE(Btn(*f, "NextBtn")->Enabled());

  // The jump to Review passes the Address page without stopping there, so
  // Install is enabled; going back to Address applies the rule.
  f->Show();
  gui::ProcessMessages();
  EXPECT_EQ(f->PageIndex(), 2);
  EXPECT_TRUE(Btn(*f, "NextBtn")->Enabled());
  ASSERT_TRUE(Press(Btn(*f, "BackBtn")));
  EXPECT_EQ(f->PageIndex(), 1);
  EXPECT_FALSE(Btn(*f, "NextBtn")->Enabled());
}

TEST_F(SetupFormTest, AddressPageAndButtonsFollowThePages) {
  auto f = Open();
  gui::TButton* back = Btn(*f, "BackBtn");
  gui::TButton* next = Btn(*f, "NextBtn");
  gui::TEdit* addr = Edit(*f, "EAddr");
  gui::TEdit* host = Edit(*f, "Host");

  ASSERT_TRUE(Press(next));
  EXPECT_EQ(f->PageIndex(), 1);
  EXPECT_TRUE(back->Enabled());
  EXPECT_EQ(next->Caption(), "Next");
  EXPECT_FALSE(next->Enabled());  // both fields empty

  Type(addr, "Name <a@b.c>");
  EXPECT_FALSE(next->Enabled());
  Type(host, "smtp.x");
  EXPECT_TRUE(next->Enabled());
  testsupport::Erase(host);
  EXPECT_EQ(host->Text(), "");
  EXPECT_FALSE(next->Enabled());
  Type(host, " ");  // blanks are text
  EXPECT_TRUE(next->Enabled());
  testsupport::Erase(addr);
  EXPECT_FALSE(next->Enabled());
  Type(addr, "  ");
  EXPECT_TRUE(next->Enabled());

  ASSERT_TRUE(Press(next));
  EXPECT_EQ(f->PageIndex(), 2);
  EXPECT_EQ(next->Caption(), "Install");
  EXPECT_TRUE(next->Enabled());
  EXPECT_TRUE(back->Enabled());
  EXPECT_EQ(Btn(*f, "CancelBtn")->Caption(), "Cancel");
  EXPECT_EQ(Review(*f), (Lines{"Folder = C:\\Program Files\\Lanternfell", "Address =   ",
                               "MailHost =  ", "ProgramGroup = yes"}));

  ASSERT_TRUE(Press(back));
  EXPECT_EQ(f->PageIndex(), 1);
  EXPECT_EQ(next->Caption(), "Next");
  EXPECT_TRUE(next->Enabled());
  ASSERT_TRUE(Press(back));
  EXPECT_EQ(f->PageIndex(), 0);
  EXPECT_FALSE(back->Enabled());
  EXPECT_TRUE(next->Enabled());

  // The review is written anew on every forward entry.
  ASSERT_TRUE(Press(Box(*f, "GroupBox")));
  Edit(*f, "AppDIR")->SetText("D:\\Other");
  ASSERT_TRUE(Press(next));
  testsupport::Erase(host);
  Type(host, "mail.y");
  ASSERT_TRUE(Press(next));
  EXPECT_EQ(Review(*f), (Lines{"Folder = D:\\Other", "Address =   ", "MailHost = mail.y",
                               "ProgramGroup = no"}));
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(SetupFormTest, EncryptedStoreShowsOnlyTheNotice) {
  const std::string home = Dir("Enc");
  File("Enc\\LN.pgp");
  InstallKey({{"AppDir", home}, {"Program Group", "Lanternfell"}});
  auto f = Open();

  EXPECT_EQ(f->PageIndex(), 2);
  EXPECT_EQ(Review(*f), Lines{kEncryptedNotice});
  EXPECT_EQ(f->Get<gui::TTextBox>("RichEdit4")->Color(), RGB(128, 128, 128));
  EXPECT_FALSE(Btn(*f, "BackBtn")->Enabled());
  EXPECT_FALSE(Press(Btn(*f, "BackBtn")));
  EXPECT_EQ(Btn(*f, "NextBtn")->Caption(), "Install");
  EXPECT_TRUE(Btn(*f, "NextBtn")->Enabled());
}

TEST_F(SetupFormTest, PlainStoreBesideEncryptedOneShowsTheReview) {
  const std::string home = Dir("Both");
  File("Both\\LN.pgp");
  WriteDefaultMessage(home + "LN.dbc", {"From: Me <m@e.x>", "Host: smtp.e.x"});
  InstallKey({{"AppDir", home}, {"Program Group", "Lanternfell"}});
  auto f = Open();

  EXPECT_EQ(Review(*f), (Lines{"Folder = " + home, "Address = Me <m@e.x>",
                               "MailHost = smtp.e.x", "ProgramGroup = yes"}));
  EXPECT_NE(f->Get<gui::TTextBox>("RichEdit4")->Color(), RGB(128, 128, 128));
  EXPECT_TRUE(Btn(*f, "BackBtn")->Enabled());
}

TEST_F(SetupFormTest, QuitQuestionOnAddressAndReviewOnly) {
  Answer(testsupport::Always(util::mrNo));
  auto f = Open();
  ASSERT_TRUE(Press(Btn(*f, "NextBtn")));
  ASSERT_TRUE(Press(Btn(*f, "CancelBtn")));
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].text, kQuit);
  EXPECT_EQ(Boxes()[0].caption, "Lanternfell");
  EXPECT_EQ(Boxes()[0].buttons, util::MsgButtons::YesNo);
  EXPECT_FALSE(f->Closed());
  EXPECT_EQ(f->PageIndex(), 1);

  Type(Edit(*f, "EAddr"), "a");
  Type(Edit(*f, "Host"), "h");
  ASSERT_TRUE(Press(Btn(*f, "NextBtn")));
  ASSERT_TRUE(Press(Btn(*f, "CancelBtn")));
  EXPECT_EQ(BoxTexts(), (Lines{kQuit, kQuit}));
  EXPECT_FALSE(f->Closed());

  // Esc takes the same road as the Cancel button.
  SendMessageA(f->Handle(), WM_COMMAND, IDCANCEL, 0);
  EXPECT_EQ(BoxTexts(), (Lines{kQuit, kQuit, kQuit}));
  EXPECT_FALSE(f->Closed());

  Answer(testsupport::Always(util::mrYes));
  ASSERT_TRUE(Press(Btn(*f, "CancelBtn")));
  EXPECT_EQ(Boxes().size(), 4u);
  EXPECT_TRUE(f->Closed());
}

TEST_F(SetupFormTest, InstallNowCancelledOrWaitCancelledRunsNoStep) {
  const std::string dest = root_ + "Dest";
  auto f = Open();
  Edit(*f, "AppDIR")->SetText(dest);
  ASSERT_TRUE(Press(Box(*f, "GroupBox")));
  ToReview(*f, "Name <a@b.c>", "smtp.x");

  Answer(testsupport::Always(util::mrCancel));
  ASSERT_TRUE(Press(Btn(*f, "NextBtn")));
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].text, "Install now?");
  EXPECT_EQ(Boxes()[0].caption, "Lanternfell");
  EXPECT_EQ(Boxes()[0].buttons, util::MsgButtons::OkCancel);
  EXPECT_EQ(f->PageIndex(), 2);
  EXPECT_EQ(Btn(*f, "NextBtn")->Caption(), "Install");
  EXPECT_FALSE(util::DirectoryExists(dest));
  EXPECT_FALSE(KeyExists(app::ProductRegistryKey));

  // OK, then the wait dialog cancelled (and the cancel confirmed).
  Answer([](const std::string& text) {
    return text == "Install now?" ? util::mrOk : util::mrYes;
  });
  testsupport::CancelWaitDialogWhenReady();
  ASSERT_TRUE(Press(Btn(*f, "NextBtn")));
  EXPECT_EQ(BoxTexts(), (Lines{"Install now?", "Install now?", "Cancel process?"}));
  EXPECT_EQ(f->PageIndex(), 2);
  EXPECT_EQ(Btn(*f, "NextBtn")->Caption(), "Install");
  EXPECT_TRUE(Btn(*f, "BackBtn")->Enabled());
  EXPECT_FALSE(util::DirectoryExists(dest));
  EXPECT_FALSE(KeyExists(app::ProductRegistryKey));
  EXPECT_TRUE(f->Visible());
}

TEST_F(SetupFormTest, InstallThroughTheFormEndsOnDone) {
  const std::string dist = Dir("Dist");
  File("Dist\\setup.exe", "installer");
  File("Dist\\LN.exe", "program");
  File("Dist\\readme.txt", "read me");
  ASSERT_TRUE(util::SetCurrentDir(dist));
  const std::string dest = root_ + "Dest";

  auto f = Open();
  // The form runs inside the test program, whose own folder is no
  // distribution.
  f->SetSourceDir(util::StripBackslash(dist));
  Edit(*f, "AppDIR")->SetText(dest);
  ASSERT_TRUE(Press(Box(*f, "GroupBox")));  // no program group, no Explorer window
  ToReview(*f, "Name <a@b.c>", "smtp.x");

  ASSERT_TRUE(Press(Btn(*f, "NextBtn")));  // OK to "Install now?"; the wait runs out
  EXPECT_EQ(BoxTexts(), Lines{"Install now?"});

  EXPECT_EQ(f->PageIndex(), 3);
  EXPECT_FALSE(Btn(*f, "BackBtn")->Enabled());
  EXPECT_FALSE(Btn(*f, "NextBtn")->Enabled());
  EXPECT_EQ(Btn(*f, "NextBtn")->Caption(), "Next");
  EXPECT_EQ(Btn(*f, "CancelBtn")->Caption(), "Exit");
  EXPECT_TRUE(Btn(*f, "CancelBtn")->Enabled());

  EXPECT_TRUE(Exists("Dest\\LN.exe"));
  EXPECT_TRUE(Exists("Dest\\UninstLN.exe"));
  EXPECT_TRUE(Exists("Dest\\readme.txt"));
  EXPECT_FALSE(Exists("Dest\\setup.exe"));
  util::TStringList message;
  EXPECT_EQ(store::ReadStoreLines(message, app::DefaultMessageKey, dest + "\\LN.dbc"), 0);
  EXPECT_NE(message.IndexOf("From: Name <a@b.c>"), -1) << message.Text();
  {
    util::TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(app::ProductRegistryKey, false));
    EXPECT_EQ(reg.ReadString("AppDir"), dest);
    EXPECT_EQ(reg.ReadString("Program Group"), "");
  }

  // Closing on Done asks nothing; the product's folder becomes current.
  ASSERT_TRUE(Press(Box(*f, "RunQuickBox")));  // do not start the (fake) product
  ASSERT_TRUE(Press(Btn(*f, "CancelBtn")));
  EXPECT_EQ(BoxTexts(), Lines{"Install now?"});
  EXPECT_TRUE(f->Closed());
  EXPECT_TRUE(util::SameDir(util::GetCurrentDir(), dest));
}

TEST_F(SetupFormTest, BrowseCancelKeepsAppDirAndOkTakesTheFolder) {
  auto f = Open();
  gui::TEdit* appDir = Edit(*f, "AppDIR");
  appDir->SetText("D:\\Keep Me");

  testsupport::When([] { return testsupport::VisibleForm<dialogs::TBrowseDlg>() != nullptr; },
                [] {
                  PostMessageA(testsupport::VisibleForm<dialogs::TBrowseDlg>()->CancelBtn->Handle(),
                               BM_CLICK, 0, 0);
                });
  ASSERT_TRUE(Press(Btn(*f, "BrowseBtn")));
  EXPECT_EQ(appDir->Text(), "D:\\Keep Me");

  // Accepted, the dialog's folder (it opens on the running program's folder)
  // replaces the text, in lower case.
  std::string chosen;
  testsupport::When([] { return testsupport::VisibleForm<dialogs::TBrowseDlg>() != nullptr; },
                [&chosen] {
                  auto* dlg = testsupport::VisibleForm<dialogs::TBrowseDlg>();
                  chosen = dlg->DirectoryListBox1->Directory();
                  PostMessageA(dlg->OkBtn->Handle(), BM_CLICK, 0, 0);
                });
  ASSERT_TRUE(Press(Btn(*f, "BrowseBtn")));
  ASSERT_FALSE(chosen.empty());
  EXPECT_EQ(appDir->Text(), util::LowerCase(chosen));
  EXPECT_TRUE(Boxes().empty());
}

// Each kind of folder that is not the product's own, typed on the Start
// page: Next shows the box naming it, the wizard stays on Start, nothing is
// made or recorded, and the user's files of the distribution's names keep
// their bytes. A folder inside Documents goes on as always.
TEST_F(SetupFormTest, TypedFolderThatIsNotItsOwnKeepsTheStartPage) {
  const std::vector<testsupport::TRefusedFolder> refused = testsupport::RefusedFolders();
  EXPECT_GE(refused.size(), 14u);
  std::string documents;
  for (const testsupport::TRefusedFolder& f : refused) {
    SCOPED_TRACE(f.kind + ": " + f.path);
    if (f.kind == "Documents") documents = f.path;
    const std::string dir = util::AppendBackslash(f.path);
    const testsupport::TSentinels sentinels(dir);
    const bool hadUninstaller = util::FileExists(dir + "UninstLN.exe");
    ClearBoxes();
    auto f1 = Open();
    testsupport::Erase(Edit(*f1, "AppDIR"));
    Type(Edit(*f1, "AppDIR"), f.path);
    ASSERT_TRUE(Press(Btn(*f1, "NextBtn")));
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].caption, "Lanternfell");
    EXPECT_EQ(Boxes()[0].buttons, util::MsgButtons::Ok);
    EXPECT_EQ(Boxes()[0].text.rfind("Setup will not install Lanternfell in\n" + f.path + "\n", 0),
              0u)
        << Boxes()[0].text;
    EXPECT_NE(Boxes()[0].text.find("Choose a folder of its own, such as\n" +
                                   setup::ProposedDestination(f.path)),
              std::string::npos)
        << Boxes()[0].text;
    EXPECT_EQ(Boxes()[0].text.find("earlier"), std::string::npos);
    EXPECT_EQ(f1->PageIndex(), 0);
    EXPECT_EQ(Btn(*f1, "NextBtn")->Caption(), "Next");
    EXPECT_FALSE(Btn(*f1, "BackBtn")->Enabled());
    EXPECT_EQ(Edit(*f1, "AppDIR")->Text(), f.path);
    sentinels.ExpectUnchanged();
    EXPECT_EQ(util::FileExists(dir + "UninstLN.exe"), hadUninstaller);
    EXPECT_FALSE(KeyExists(app::ProductRegistryKey));
  }
  ASSERT_FALSE(documents.empty());
  ClearBoxes();
  auto f = Open();
  testsupport::Erase(Edit(*f, "AppDIR"));
  Type(Edit(*f, "AppDIR"), documents + "\\Lanternfell");
  ASSERT_TRUE(Press(Btn(*f, "NextBtn")));
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(f->PageIndex(), 1);
  // Program Files itself is refused; the usual folder in it is not.
  ASSERT_TRUE(Press(Btn(*f, "BackBtn")));
  testsupport::Erase(Edit(*f, "AppDIR"));
  Type(Edit(*f, "AppDIR"), "C:\\Program Files");
  ASSERT_TRUE(Press(Btn(*f, "NextBtn")));
  EXPECT_EQ(BoxTexts().size(), 1u);
  EXPECT_EQ(f->PageIndex(), 0);
  testsupport::Erase(Edit(*f, "AppDIR"));
  Type(Edit(*f, "AppDIR"), "C:\\Program Files\\Lanternfell");
  ASSERT_TRUE(Press(Btn(*f, "NextBtn")));
  EXPECT_EQ(BoxTexts().size(), 1u);
  EXPECT_EQ(f->PageIndex(), 1);
}

// The same folders recorded by an earlier installation: the wizard opens on
// Review and shows where that installation is; Install shows the box (which
// says the earlier files stay) instead of "Install now?", and stays on
// Review with nothing made or changed; Back leads to the folder.
TEST_F(SetupFormTest, RecordedFolderThatIsNotItsOwnIsShownAndRefusedOnInstall) {
  const std::vector<testsupport::TRefusedFolder> refused = testsupport::RefusedFolders();
  EXPECT_GE(refused.size(), 14u);
  for (const testsupport::TRefusedFolder& f : refused) {
    SCOPED_TRACE(f.kind + ": " + f.path);
    const std::string dir = util::AppendBackslash(f.path);
    const testsupport::TSentinels sentinels(dir);
    const bool hadUninstaller = util::FileExists(dir + "UninstLN.exe");
    const bool hadStore = util::FileExists(dir + "LN.dbc");
    InstallKey({{"AppDir", f.path}, {"Program Group", "Lanternfell"}});
    ClearBoxes();
    auto w = Open();
    EXPECT_TRUE(Boxes().empty());
    ASSERT_EQ(w->PageIndex(), 2);
    ASSERT_FALSE(Review(*w).empty());
    EXPECT_EQ(Review(*w)[0], "Folder = " + f.path);

    ASSERT_TRUE(Press(Btn(*w, "NextBtn")));
    ASSERT_EQ(Boxes().size(), 1u);  // and no "Install now?"
    const std::string& text = Boxes()[0].text;
    EXPECT_EQ(text.rfind("Setup will not install Lanternfell in\n" + f.path + "\n", 0), 0u)
        << text;
    EXPECT_NE(text.find("Click 'Back' to choose a folder of its own, such as\n" +
                        setup::ProposedDestination(f.path)),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("\n\nThe earlier files stay where they are."), std::string::npos) << text;
    EXPECT_EQ(w->PageIndex(), 2);
    EXPECT_EQ(Btn(*w, "NextBtn")->Caption(), "Install");
    EXPECT_TRUE(Btn(*w, "BackBtn")->Enabled());
    sentinels.ExpectUnchanged();
    EXPECT_EQ(util::FileExists(dir + "UninstLN.exe"), hadUninstaller);
    EXPECT_EQ(util::FileExists(dir + "LN.dbc"), hadStore);
    {
      util::TRegistry reg;
      ASSERT_TRUE(reg.OpenKey(app::ProductRegistryKey, false));
      EXPECT_EQ(reg.ReadString("AppDir"), f.path);
      EXPECT_EQ(reg.ReadString("Version"), "");
    }
    // Back to Start: the same folder is refused on Next as well.
    ASSERT_TRUE(Press(Btn(*w, "BackBtn")));
    ASSERT_TRUE(Press(Btn(*w, "BackBtn")));
    ASSERT_EQ(w->PageIndex(), 0);
    ASSERT_TRUE(Press(Btn(*w, "NextBtn")));
    ASSERT_EQ(Boxes().size(), 2u);
    EXPECT_NE(Boxes()[1].text.find("\n\nChoose a folder"), std::string::npos);
    EXPECT_NE(Boxes()[1].text.find("The earlier files stay"), std::string::npos);
    EXPECT_EQ(w->PageIndex(), 0);
    w.reset();
    testsupport::DeleteProductKey();
  }
}

// Behind the encrypted-store notice Back is off; a refused folder turns it
// on, or the user could not reach the folder to change it.
TEST_F(SetupFormTest, RefusedRecordedFolderOpensBackPastTheEncryptedNotice) {
  std::string documents;
  for (const auto& f : testsupport::RefusedFolders())
    if (f.kind == "Documents") documents = f.path;
  ASSERT_FALSE(documents.empty());
  ASSERT_TRUE(testsupport::LiesInsidePrefix(documents));
  const std::string pgp = util::AppendBackslash(documents) + "LN.pgp";
  ASSERT_FALSE(util::FileExists(pgp));
  testsupport::WriteFileText(pgp, "encrypted");
  InstallKey({{"AppDir", documents}, {"Program Group", "Lanternfell"}});
  auto f = Open();
  EXPECT_EQ(Review(*f), Lines{kEncryptedNotice});
  EXPECT_FALSE(Btn(*f, "BackBtn")->Enabled());
  ASSERT_TRUE(Press(Btn(*f, "NextBtn")));
  EXPECT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(f->PageIndex(), 2);
  EXPECT_TRUE(Btn(*f, "BackBtn")->Enabled());
  ASSERT_TRUE(Press(Btn(*f, "BackBtn")));
  EXPECT_EQ(f->PageIndex(), 1);
  EXPECT_EQ(testsupport::ReadFileText(pgp), "encrypted");
  DeleteFileA(pgp.c_str());
}

}  // namespace
