// The un-install wizard driven through its own controls: the Options page in
// each installation state, navigation, the close question, the confirmation
// and a full removal with the wait dialog run for real.
#include <memory>

#include "app/Version.h"
#include "gui/Pump.h"
#include "tests/support/FormDriver.h"
#include "tests/support/WizardFixture.h"
#include "uninstall/UninstDlg.h"
#include "util/FileStream.h"
#include "util/Paths.h"
#include "util/Text.h"

using Lines = std::vector<std::string>;
using testsupport::KeyExists;
using testsupport::WriteKey;
using uninstall::TUninstWiz;
using testsupport::Press;

namespace {

// The only group name setup records.
const std::string kGroup = "Lanternfell";

class UninstWizTest : public testsupport::WizardFixture {
 protected:
  // The wizard as start-up makes it, shown so that a person could use it.
  std::unique_ptr<TUninstWiz> Open() {
    auto w = std::make_unique<TUninstWiz>();
    w->Show();
    gui::ProcessMessages();
    return w;
  }
  void InstallApp(const std::string& appDir, const std::string& group = kGroup) {
    WriteKey(app::ProductRegistryKey, {{"AppDir", appDir}, {"Program Group", group}});
  }
  void InstallMix(const std::string& mixDir) {
    WriteKey(app::MixmasterRegistryKey, {{"MixDir", mixDir}});
  }

  // Next twice, from Start to the Review page.
  static void ToReview(TUninstWiz& w) {
    ASSERT_TRUE(Press(Btn(w, "NextBtn")));
    ASSERT_TRUE(Press(Btn(w, "NextBtn")));
    ASSERT_EQ(Page(w), "Review");
  }

  static gui::TCheckBox* AppBox(TUninstWiz& w) { return w.Get<gui::TCheckBox>("AppEntries"); }
  static gui::TCheckBox* MixBox(TUninstWiz& w) { return w.Get<gui::TCheckBox>("MixEntries"); }
  static gui::TButton* Btn(TUninstWiz& w, const char* name) { return w.Get<gui::TButton>(name); }
  static std::string Page(TUninstWiz& w) { return w.Get<gui::TPageBook>("Notebook")->ActivePage(); }
  static Lines Review(TUninstWiz& w) { return w.Get<gui::TMemo>("Memo1")->Lines(); }
  static std::string Shown(const std::string& dir) {
    return util::LowerCase(util::StripBackslash(dir));
  }
};

TEST_F(UninstWizTest, NothingInstalledOffersNothingAndClosesWithoutQuestion) {
  auto w = Open();

  EXPECT_EQ(Page(*w), "Start");
  EXPECT_EQ(w->Get<gui::TTextBox>("RichEdit7")->Lines(),
            (Lines{"Neither Lanternfell nor Mixmaster are installed on this machine!",
                   "Nothing to un-install!"}));
  EXPECT_FALSE(Btn(*w, "NextBtn")->Enabled());
  EXPECT_FALSE(Btn(*w, "BackBtn")->Enabled());
  EXPECT_FALSE(w->Get<gui::TLabel>("Label24")->Enabled());
  EXPECT_FALSE(Press(Btn(*w, "NextBtn")));

  ASSERT_TRUE(Press(Btn(*w, "CancelBtn")));
  EXPECT_TRUE(w->Closed());
  EXPECT_TRUE(Boxes().empty());
}

// The read-only text boxes give the system their exact paragraphs joined
// by CR LF (the Options text ends with an empty paragraph).
TEST_F(UninstWizTest, ReadOnlyTextBoxesGiveTheirParagraphsToTheSystem) {
  InstallApp(Dir("App"));
  auto w = Open();
  auto text = [&](const char* name) { return testsupport::TextOf(w->Find(name)->Handle()); };
  EXPECT_EQ(text("RichEdit7"),
            "You have indicated that you would like to un-install the program. \r\n"
            "On the next screen you will have the opportunity to select, by item, \r\n"
            "which elements you wish to un-install.");
  EXPECT_EQ(text("RichEdit8"),
            "IF YOU REMOVE LANTERNFELL: All files in the LN home directory will be \r\n"
            "deleted--except your LN database file (LN.dbc or LN.pgp). In either case the \r\n"
            "home dir will still exist and any subdirectories within will not be touched.\r\n"
            "\r\n"
            "IF YOU REMOVE MIXMASTER: All files in the Mix home directory will be deleted. \r\n"
            "Also, if the mix dir has no subdirectories (other than 'pool'), it will be deleted. "
            "If you \r\n"
            "have any files there that you wish to preserve, remove them before uninstalling.\r\n");
  EXPECT_EQ(text("RichEdit9"),
            "Please review the items below. Click 'Back' to make corrections. \r\n"
            "Then, Click 'Finish' to remove components.");
}

TEST_F(UninstWizTest, OnlyMixmasterInstalled) {
  const std::string mix = Dir("Mix");
  InstallMix(mix);
  auto w = Open();

  EXPECT_EQ(AppBox(*w)->Caption(), "Lanternfell  { not installed }");
  EXPECT_FALSE(AppBox(*w)->Checked());
  EXPECT_FALSE(AppBox(*w)->Enabled());
  EXPECT_EQ(MixBox(*w)->Caption(), "Mixmaster    { " + Shown(mix) + " }");
  EXPECT_TRUE(MixBox(*w)->Checked());
  EXPECT_TRUE(MixBox(*w)->Enabled());
  EXPECT_FALSE(w->AppFirst());

  ASSERT_TRUE(Press(Btn(*w, "NextBtn")));
  EXPECT_EQ(Page(*w), "Options");
  EXPECT_TRUE(Btn(*w, "NextBtn")->Enabled());
  ASSERT_TRUE(Press(Btn(*w, "NextBtn")));
  EXPECT_EQ(Page(*w), "Review");
  EXPECT_EQ(Review(*w), (Lines{"Lanternfell = NO", "Mixmaster = YES"}));

  // Clearing the only chosen item leaves nothing to do: Next goes grey.
  ASSERT_TRUE(Press(Btn(*w, "BackBtn")));
  ASSERT_TRUE(Press(MixBox(*w)));
  EXPECT_FALSE(MixBox(*w)->Checked());
  EXPECT_FALSE(Btn(*w, "NextBtn")->Enabled());
  ASSERT_TRUE(Press(MixBox(*w)));
  EXPECT_TRUE(Btn(*w, "NextBtn")->Enabled());
}

TEST_F(UninstWizTest, MarkerInProductFolderWithoutMixmasterLeavesNothingToChoose) {
  const std::string app = Dir("App");
  File("App\\unln.dsk");
  InstallApp(app);
  auto w = Open();

  EXPECT_FALSE(AppBox(*w)->Checked());
  EXPECT_FALSE(AppBox(*w)->Enabled());
  EXPECT_FALSE(MixBox(*w)->Checked());
  EXPECT_FALSE(MixBox(*w)->Enabled());
  EXPECT_EQ(AppBox(*w)->Caption(), "Lanternfell  { " + Shown(app) + " }");
  EXPECT_EQ(MixBox(*w)->Caption(), "Mixmaster    { not installed }");
  EXPECT_FALSE(Btn(*w, "NextBtn")->Enabled());
  EXPECT_FALSE(Press(Btn(*w, "NextBtn")));

  // Moved on from code, the Options page still offers nothing.
  w->NextBtnClick();
  EXPECT_EQ(Page(*w), "Options");
  EXPECT_FALSE(Btn(*w, "NextBtn")->Enabled());
  EXPECT_FALSE(Press(AppBox(*w)));
  EXPECT_FALSE(Press(MixBox(*w)));
}

TEST_F(UninstWizTest, MixmasterInsideProductFolderFollowsTheProductBox) {
  const std::string app = Dir("App");
  const std::string mix = Dir("App\\Mix");
  InstallApp(app);
  InstallMix(mix);
  auto w = Open();
  EXPECT_TRUE(w->MixInsideApp());
  EXPECT_TRUE(w->AppFirst());

  EXPECT_TRUE(AppBox(*w)->Checked());
  EXPECT_TRUE(AppBox(*w)->Enabled());
  EXPECT_TRUE(MixBox(*w)->Checked());
  EXPECT_FALSE(MixBox(*w)->Enabled());

  ASSERT_TRUE(Press(Btn(*w, "NextBtn")));
  ASSERT_TRUE(Press(AppBox(*w)));  // clear the product
  EXPECT_FALSE(AppBox(*w)->Checked());
  EXPECT_TRUE(MixBox(*w)->Enabled());
  EXPECT_TRUE(MixBox(*w)->Checked());
  EXPECT_TRUE(Btn(*w, "NextBtn")->Enabled());

  ASSERT_TRUE(Press(MixBox(*w)));  // and Mixmaster: nothing left
  EXPECT_FALSE(Btn(*w, "NextBtn")->Enabled());

  ASSERT_TRUE(Press(AppBox(*w)));  // the product again takes Mixmaster along
  EXPECT_TRUE(AppBox(*w)->Checked());
  EXPECT_TRUE(MixBox(*w)->Checked());
  EXPECT_FALSE(MixBox(*w)->Enabled());
  EXPECT_TRUE(Btn(*w, "NextBtn")->Enabled());
}

TEST_F(UninstWizTest, SameHomeFolderBindsBothBoxes) {
  const std::string home = Dir("Both");
  InstallApp(home);
  InstallMix(home);
  auto w = Open();
  EXPECT_TRUE(w->SameHomeDir());

  // Both start checked, so creation raises no click: only Mixmaster is held.
  EXPECT_TRUE(AppBox(*w)->Checked());
  EXPECT_TRUE(AppBox(*w)->Enabled());
  EXPECT_TRUE(MixBox(*w)->Checked());
  EXPECT_FALSE(MixBox(*w)->Enabled());
  EXPECT_TRUE(w->AppFirst());

  // Clear the product (frees Mixmaster), clear Mixmaster (frees the product),
  // check the product: it checks Mixmaster, whose handler in turn holds the
  // product, so both end checked and disabled.
  ASSERT_TRUE(Press(Btn(*w, "NextBtn")));
  ASSERT_TRUE(Press(AppBox(*w)));
  EXPECT_TRUE(MixBox(*w)->Enabled());
  ASSERT_TRUE(Press(MixBox(*w)));
  EXPECT_TRUE(AppBox(*w)->Enabled());
  EXPECT_FALSE(Btn(*w, "NextBtn")->Enabled());
  ASSERT_TRUE(Press(AppBox(*w)));
  EXPECT_TRUE(AppBox(*w)->Checked());
  EXPECT_FALSE(AppBox(*w)->Enabled());
  EXPECT_TRUE(MixBox(*w)->Checked());
  EXPECT_FALSE(MixBox(*w)->Enabled());
  EXPECT_TRUE(Btn(*w, "NextBtn")->Enabled());
}

// With the marker, creation clears the product's box from code and its click
// handler frees Mixmaster's: the boxes still end as the homes want.
TEST_F(UninstWizTest, MarkerWithASharedOrEnclosingMixmasterHome) {
  {
    SCOPED_TRACE("one home");
    const std::string home = Dir("Both");
    File("Both\\unln.dsk");
    InstallApp(home);
    InstallMix(home);
    auto w = Open();
    EXPECT_FALSE(AppBox(*w)->Checked());
    EXPECT_FALSE(AppBox(*w)->Enabled());
    EXPECT_TRUE(MixBox(*w)->Checked());
    EXPECT_FALSE(MixBox(*w)->Enabled());
    EXPECT_TRUE(Btn(*w, "NextBtn")->Enabled());
    EXPECT_FALSE(w->AppFirst());
  }
  {
    SCOPED_TRACE("product inside Mixmaster's home");
    const std::string mix = Dir("Mix"), app = Dir("Mix\\LN");
    File("Mix\\LN\\unln.dsk");
    InstallApp(app);
    InstallMix(mix);
    auto w = Open();
    EXPECT_TRUE(w->AppInsideMix());
    EXPECT_TRUE(AppBox(*w)->Checked());
    EXPECT_FALSE(AppBox(*w)->Enabled());
    EXPECT_TRUE(MixBox(*w)->Checked());
    EXPECT_TRUE(MixBox(*w)->Enabled());
    EXPECT_FALSE(w->AppFirst());

    // Clearing Mixmaster frees the product.
    ASSERT_TRUE(Press(Btn(*w, "NextBtn")));
    ASSERT_TRUE(Press(MixBox(*w)));
    EXPECT_TRUE(AppBox(*w)->Enabled());
    EXPECT_TRUE(AppBox(*w)->Checked());
  }
}

TEST_F(UninstWizTest, HomeFolderWithoutTrailingBackslashIsComparedWithOne) {
  // "Home" recorded as ...\Home: the caption shows it lower-cased without the
  // backslash, the comparison adds one, so ...\HomeMix is not inside it.
  Dir("Home");
  const std::string beside = Dir("HomeMix");
  const std::string appValue = root_ + "Home";
  InstallApp(appValue);
  InstallMix(util::StripBackslash(beside));
  {
    auto w = Open();
    EXPECT_EQ(w->AppDir(), appValue + "\\");
    EXPECT_EQ(AppBox(*w)->Caption(), "Lanternfell  { " + util::LowerCase(appValue) + " }");
    EXPECT_EQ(MixBox(*w)->Caption(), "Mixmaster    { " + Shown(beside) + " }");
    EXPECT_FALSE(w->MixInsideApp());
    EXPECT_FALSE(w->SameHomeDir());
    EXPECT_TRUE(MixBox(*w)->Enabled());
  }
  const std::string inside = Dir("Home\\Mix");
  InstallMix(util::StripBackslash(inside));
  {
    auto w = Open();
    EXPECT_TRUE(w->MixInsideApp());
    EXPECT_FALSE(MixBox(*w)->Enabled());
    EXPECT_TRUE(MixBox(*w)->Checked());
  }
}

TEST_F(UninstWizTest, NavigationCaptionsReviewAndCloseQuestion) {
  InstallApp(Dir("App"));
  InstallMix(Dir("Mix"));
  Answer(testsupport::Always(util::mrNo));
  auto w = Open();
  gui::TButton* back = Btn(*w, "BackBtn");
  gui::TButton* next = Btn(*w, "NextBtn");
  gui::TButton* cancel = Btn(*w, "CancelBtn");

  EXPECT_EQ(Page(*w), "Start");
  EXPECT_FALSE(back->Enabled());
  EXPECT_EQ(next->Caption(), "Next");
  ASSERT_TRUE(Press(next));
  EXPECT_EQ(Page(*w), "Options");
  EXPECT_TRUE(back->Enabled());
  EXPECT_EQ(next->Caption(), "Next");

  // Closing from Options asks; No keeps the wizard.
  ASSERT_TRUE(Press(cancel));
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].text, "Quit without un-installing?");
  EXPECT_EQ(Boxes()[0].caption, "Un-Install");
  EXPECT_EQ(Boxes()[0].buttons, util::MsgButtons::YesNo);
  EXPECT_FALSE(w->Closed());
  EXPECT_TRUE(w->Visible());

  ASSERT_TRUE(Press(AppBox(*w)));  // the review follows the boxes
  ASSERT_TRUE(Press(next));
  EXPECT_EQ(Page(*w), "Review");
  EXPECT_EQ(next->Caption(), "Finish");
  EXPECT_EQ(Review(*w), (Lines{"Lanternfell = NO", "Mixmaster = YES"}));

  ASSERT_TRUE(Press(cancel));  // asks on Review too
  EXPECT_EQ(BoxTexts(), (Lines{"Quit without un-installing?", "Quit without un-installing?"}));
  EXPECT_FALSE(w->Closed());

  ASSERT_TRUE(Press(back));
  EXPECT_EQ(Page(*w), "Options");
  EXPECT_EQ(next->Caption(), "Next");
  ASSERT_TRUE(Press(AppBox(*w)));
  ASSERT_TRUE(Press(next));
  EXPECT_EQ(Review(*w), (Lines{"Lanternfell = YES", "Mixmaster = YES"}));
  ASSERT_TRUE(Press(back));
  ASSERT_TRUE(Press(back));
  EXPECT_EQ(Page(*w), "Start");
  EXPECT_FALSE(back->Enabled());
  EXPECT_EQ(next->Caption(), "Next");

  // Closing from Start asks nothing.
  ClearBoxes();
  ASSERT_TRUE(Press(cancel));
  EXPECT_TRUE(Boxes().empty());
  EXPECT_TRUE(w->Closed());
}

TEST_F(UninstWizTest, ClosingFromReviewAfterYes) {
  InstallApp(Dir("App"));
  Answer(testsupport::Always(util::mrYes));
  auto w = Open();
  ASSERT_NO_FATAL_FAILURE(ToReview(*w));
  ASSERT_TRUE(Press(Btn(*w, "CancelBtn")));
  EXPECT_EQ(BoxTexts(), Lines{"Quit without un-installing?"});
  EXPECT_TRUE(w->Closed());
  EXPECT_TRUE(KeyExists(app::ProductRegistryKey));
}

TEST_F(UninstWizTest, KeysOnTheReviewPageList) {
  InstallApp(Dir("App"));
  auto w = Open();
  ASSERT_NO_FATAL_FAILURE(ToReview(*w));
  gui::TMemo* memo = w->Get<gui::TMemo>("Memo1");
  gui::TControl* review = w->Find("Review");

  // Esc in the list asks the quit question; No keeps the page and its list.
  Answer(testsupport::Always(util::mrNo));
  memo->SetFocus();
  ASSERT_TRUE(memo->Focused());
  testsupport::Key(*w, VK_ESCAPE);
  EXPECT_EQ(BoxTexts(), Lines{"Quit without un-installing?"});
  EXPECT_FALSE(w->Closed());
  EXPECT_EQ(Page(*w), "Review");
  EXPECT_TRUE(IsWindow(review->Handle()));
  EXPECT_TRUE(memo->Showing());
  EXPECT_EQ(Review(*w), (Lines{"Lanternfell = YES", "Mixmaster = NO"}));

  // Tab and Shift+Tab leave the list.
  memo->SetFocus();
  testsupport::Key(*w, VK_TAB);
  EXPECT_FALSE(memo->Focused());
  EXPECT_TRUE(Btn(*w, "BackBtn")->Focused());
  memo->SetFocus();
  testsupport::Key(*w, VK_TAB, true);
  EXPECT_FALSE(memo->Focused());
  EXPECT_TRUE(Btn(*w, "CancelBtn")->Focused());

  // Enter on the focused Finish asks "Uninstall now?".
  Answer(testsupport::Always(util::mrCancel));
  Btn(*w, "NextBtn")->SetFocus();
  testsupport::Key(*w, VK_RETURN);
  EXPECT_EQ(BoxTexts().back(), "Uninstall now?");
  EXPECT_EQ(Page(*w), "Review");
}

TEST_F(UninstWizTest, FinishCancelledAtTheQuestionOrTheWaitDialogChangesNothing) {
  const std::string app = Dir("App");
  File("App\\readme.txt");
  InstallApp(app);
  auto w = Open();
  ASSERT_NO_FATAL_FAILURE(ToReview(*w));

  Answer(testsupport::Always(util::mrCancel));
  ASSERT_TRUE(Press(Btn(*w, "NextBtn")));
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].text, "Uninstall now?");
  EXPECT_EQ(Boxes()[0].caption, "Lanternfell");
  EXPECT_EQ(Boxes()[0].buttons, util::MsgButtons::OkCancel);
  EXPECT_EQ(Boxes()[0].owner, util::MsgOwner::MainWindow);
  EXPECT_EQ(Page(*w), "Review");
  EXPECT_EQ(Btn(*w, "NextBtn")->Caption(), "Finish");
  EXPECT_TRUE(Btn(*w, "NextBtn")->Enabled());
  EXPECT_TRUE(Btn(*w, "BackBtn")->Enabled());

  // A second Finish asks again; this time the wait dialog is cancelled.
  Answer([](const std::string& text) {
    return text == "Uninstall now?" ? util::mrOk : util::mrYes;  // "Cancel process?": Yes
  });
  testsupport::CancelWaitDialogWhenReady();
  ASSERT_TRUE(Press(Btn(*w, "NextBtn")));
  EXPECT_EQ(BoxTexts(), (Lines{"Uninstall now?", "Uninstall now?", "Cancel process?"}));
  EXPECT_EQ(Page(*w), "Review");
  EXPECT_EQ(Btn(*w, "NextBtn")->Caption(), "Finish");
  EXPECT_EQ(Btn(*w, "CancelBtn")->Caption(), "Cancel");
  EXPECT_TRUE(Exists("App\\readme.txt"));
  EXPECT_TRUE(KeyExists(app::ProductRegistryKey));
}

TEST_F(UninstWizTest, FullRemovalThroughTheForm) {
  const std::string app = Dir("App");
  File("App\\LN.dbc", "store");
  File("App\\LN.exe");
  File("App\\readme.txt");
  const std::string mix = Dir("Mix");
  File("Mix\\mix.exe");
  Dir("Mix\\pool");
  File("Mix\\pool\\m1.txt");
  InstallApp(app);
  InstallMix(mix);
  auto w = Open();
  ASSERT_TRUE(w->AppFirst());
  ASSERT_NO_FATAL_FAILURE(ToReview(*w));
  EXPECT_EQ(w->Get<gui::TMemo>("RichEdit2")->Lines(), Lines{"RichEdit"});

  // OK to "Uninstall now?", and to the group box if no Program Manager
  // answers; the wait dialog runs out by itself.
  Answer(testsupport::Always(util::mrOk));
  ASSERT_TRUE(Press(Btn(*w, "NextBtn")));

  const std::string noGroup = "Unable to remove Lanternfell program group!";
  const bool groupRemoved = Boxes().size() == 1;
  Lines expected = {"Removing Lanternfell..."};
  if (groupRemoved) {
    expected.push_back("   program group...done");
    EXPECT_EQ(BoxTexts(), Lines{"Uninstall now?"});
  } else {
    EXPECT_EQ(BoxTexts(), (Lines{"Uninstall now?", noGroup}));
    ASSERT_EQ(Boxes().size(), 2u);
    EXPECT_EQ(Boxes()[1].caption, "Error");
  }
  std::cout << "[ note     ] PROGMAN DDE server "
            << (groupRemoved ? "answered" : "did not answer (\"" + noGroup + "\" shown)")
            << std::endl;
  for (const char* line :
       {"   program files...done", "   registry key...done", "Removing Mixmaster...",
        "   program files...done", "   registry key...done", "Done!"})
    expected.push_back(line);
  EXPECT_EQ(w->Get<gui::TMemo>("RichEdit2")->Lines(), expected);

  EXPECT_EQ(Page(*w), "Finish");
  EXPECT_EQ(w->Get<gui::TLabel>("Label4")->Caption(), "Un-Installation complete!");
  EXPECT_EQ(w->Get<gui::TLabel>("Label4")->Color(), gui::clBlue);
  EXPECT_EQ(w->Get<gui::TLabel>("Label6")->Caption(), "Thanks!");
  EXPECT_EQ(Btn(*w, "CancelBtn")->Caption(), "Exit");
  EXPECT_TRUE(Btn(*w, "CancelBtn")->Enabled());
  EXPECT_FALSE(Btn(*w, "BackBtn")->Enabled());
  EXPECT_FALSE(Btn(*w, "NextBtn")->Enabled());

  EXPECT_TRUE(Exists("App\\LN.dbc"));
  EXPECT_FALSE(Exists("App\\LN.exe"));
  EXPECT_FALSE(Exists("App\\readme.txt"));
  EXPECT_TRUE(util::DirectoryExists(app));
  EXPECT_FALSE(util::DirectoryExists(mix));
  EXPECT_FALSE(KeyExists(app::ProductRegistryKey));
  EXPECT_FALSE(KeyExists(app::MixmasterRegistryKey));

  // Closing after the removal asks nothing.
  ClearBoxes();
  ASSERT_TRUE(Press(Btn(*w, "CancelBtn")));
  EXPECT_TRUE(Boxes().empty());
  EXPECT_TRUE(w->Closed());
}

TEST_F(UninstWizTest, CloseBoxDuringTheRemovalIsRefused) {
  const std::string app = Dir("App");
  File("App\\readme.txt");
  InstallApp(app);
  auto w = Open();
  ASSERT_NO_FATAL_FAILURE(ToReview(*w));

  // While the removal runs (Cancel disabled) the title bar's close box is
  // still there; a click on it arrives between the removal's steps.
  gui::TMemo* progress = w->Get<gui::TMemo>("RichEdit2");
  testsupport::When(
      [progress] {
        const Lines lines = progress->Lines();
        return !lines.empty() && lines[0] == "Removing Lanternfell...";
      },
      [&w, progress] {
        PostMessageA(w->Handle(), WM_CLOSE, 0, 0);
        // Esc in the progress list takes the same road: refused while it runs.
        progress->SetFocus();
        testsupport::TypeKey(VK_ESCAPE);
      });
  // OK to "Uninstall now?"; Yes to any question the close might raise.
  Answer([](const std::string& text) {
    return text == "Uninstall now?" ? util::mrOk : util::mrYes;
  });
  ASSERT_TRUE(Press(Btn(*w, "NextBtn")));

  EXPECT_FALSE(w->Closed());
  EXPECT_TRUE(w->Visible());
  for (const auto& text : BoxTexts()) EXPECT_NE(text, "Quit without un-installing?");
  EXPECT_EQ(progress->Lines().back(), "Done!");
  EXPECT_EQ(Btn(*w, "CancelBtn")->Caption(), "Exit");
  EXPECT_FALSE(Exists("App\\readme.txt"));
  EXPECT_TRUE(IsWindow(w->Find("Finish")->Handle()));

  // After the removal, Esc in the progress list closes the wizard.
  ClearBoxes();
  progress->SetFocus();
  ASSERT_TRUE(progress->Focused());
  testsupport::Key(*w, VK_ESCAPE);
  EXPECT_TRUE(w->Closed());
  EXPECT_TRUE(Boxes().empty());
}

}  // namespace
