// The un-install wizard's layout and handlers.
#include "uninstall/UninstDlg.h"

#include "app/Version.h"
#include "dialogs/WaitDlg.h"
#include "gui/Pump.h"
#include "uninstall/Removal.h"
#include "util/Message.h"
#include "util/Paths.h"
#include "util/Text.h"

namespace uninstall {

namespace {
using gui::ControlDef;
using gui::Kind;

const char* const kStartText =
    "You have indicated that you would like to un-install the program. \n"
    "On the next screen you will have the opportunity to select, by item, \n"
    "which elements you wish to un-install.";
const char* const kOptionsText =
    "IF YOU REMOVE LANTERNFELL: All files in the LN home directory will be \n"
    "deleted--except your LN database file (LN.dbc or LN.pgp). In either case the \n"
    "home dir will still exist and any subdirectories within will not be touched.\n"
    "\n"
    "IF YOU REMOVE MIXMASTER: All files in the Mix home directory will be deleted. \n"
    "Also, if the mix dir has no subdirectories (other than 'pool'), it will be deleted. If you \n"
    "have any files there that you wish to preserve, remove them before uninstalling.\n"
    "\n";
const char* const kReviewText =
    "Please review the items below. Click 'Back' to make corrections. \n"
    "Then, Click 'Finish' to remove components.";

// Page names and the button caption that the handlers test (with
// app::NextCaption and app::ExitCaption): Next reads "Finish" on Review and
// Finish.
constexpr char kStartPage[] = "Start";
constexpr char kReviewPage[] = "Review";
constexpr char kFinishPage[] = "Finish";
constexpr char kFinishCaption[] = "Finish";

constexpr auto kTitle = gui::Px("Times New Roman", 24);
constexpr auto kText = gui::Px("MS Sans Serif", 13);
constexpr auto kSmall = gui::Px("MS Sans Serif", 11);

const gui::FormDef kWizForm = {"Un-Install Wizard",         458,  305,
                               gui::Border::Single,         true, gui::Position::ScreenCentre,
                               gui::Px("MS Sans Serif", 11)};

const ControlDef kWizControls[] = {
    {Kind::Panel, "Panel1", "", 8, 8, 442, 252},
    {Kind::PageBook, "Notebook", "Panel1", 4, 4, 434, 244},
    {Kind::Page, "Start", "Notebook", 0, 0, 0, 0, "Start"},
    {Kind::Page, "Options", "Notebook", 0, 0, 0, 0, "Options"},
    {Kind::Page, "Review", "Notebook", 0, 0, 0, 0, "Review"},
    {Kind::Page, "Finish", "Notebook", 0, 0, 0, 0, "Finish"},
    // Page 0, Start
    {Kind::Label, "Appname", "Start", 12, 8, 200, 30, "", kTitle, gui::clBlack},
    {Kind::Label, "Label1", "Start", 12, 40, 200, 17, "Un-Install ", kText, gui::clBlack},
    {Kind::TextBox, "RichEdit7", "Start", 12, 72, 410, 80, kStartText, kText, gui::clBlack,
     gui::fDisabled},
    {Kind::Label, "Label24", "Start", 12, 200, 300, 17, "Click 'Next' to continue...", kText,
     gui::clBlack},
    // Page 1, Options
    {Kind::Label, "Label25", "Options", 12, 8, 410, 30, "", kTitle, gui::clBlack},
    {Kind::Label, "Label26", "Options", 12, 40, 300, 17, "Select Items For Removal", kText,
     gui::clBlack},
    {Kind::CheckBox, "AppEntries", "Options", 24, 62, 398, 19, "", kText, gui::clBlack,
     gui::fChecked},
    {Kind::CheckBox, "MixEntries", "Options", 24, 84, 398, 19, "", kText, gui::clBlack,
     gui::fChecked},
    {Kind::TextBox, "RichEdit8", "Options", 12, 112, 414, 124, kOptionsText, kSmall, gui::clBlack,
     gui::fDisabled},
    // Page 2, Review
    {Kind::Label, "Label27", "Review", 12, 8, 410, 30, "Review Un-installation", kTitle,
     gui::clBlack},
    {Kind::Label, "Label28", "Review", 12, 40, 300, 17, "Check Configuration", kText, gui::clBlack},
    {Kind::TextBox, "RichEdit9", "Review", 12, 62, 410, 40, kReviewText, kText, gui::clBlack,
     gui::fDisabled},
    {Kind::Memo, "Memo1", "Review", 12, 110, 410, 120, "", kText, gui::clBlue, gui::fReadOnly},
    // Page 3, Finish
    {Kind::Label, "Label4", "Finish", 12, 8, 410, 30, "Removing Components...", kTitle,
     gui::clBlack},
    {Kind::Label, "Label6", "Finish", 12, 40, 300, 17, "Un-install", kText, gui::clBlack},
    {Kind::Memo, "RichEdit2", "Finish", 12, 62, 410, 170, "RichEdit", kText, gui::clBlue,
     gui::fReadOnly},
    // Buttons under the panel
    {Kind::Button, "BackBtn", "", 184, 270, 75, 25, "Back", {}, gui::kDefaultColor, gui::fDisabled},
    {Kind::Button, "NextBtn", "", 272, 270, 75, 25, "Next"},
    {Kind::Button,
     "CancelBtn",
     "",
     360,
     270,
     75,
     25,
     "Cancel",
     {},
     gui::kDefaultColor,
     gui::fCancel},
};
}  // namespace

TUninstWiz::TUninstWiz() : TForm(kWizForm, kWizControls) {
  Notebook = Get<gui::TPageBook>("Notebook");
  AppEntries = Get<gui::TCheckBox>("AppEntries");
  MixEntries = Get<gui::TCheckBox>("MixEntries");
  Memo1 = Get<gui::TMemo>("Memo1");
  RichEdit2 = Get<gui::TMemo>("RichEdit2");
  Label4 = Get<gui::TLabel>("Label4");
  Label6 = Get<gui::TLabel>("Label6");
  BackBtn = Get<gui::TButton>("BackBtn");
  NextBtn = Get<gui::TButton>("NextBtn");
  CancelBtn = Get<gui::TButton>("CancelBtn");
  NextBtn->OnClick = [this] { NextBtnClick(); };
  BackBtn->OnClick = [this] { BackBtnClick(); };
  CancelBtn->OnClick = [this] { CancelBtnClick(); };
  AppEntries->OnClick = [this] { AppEntriesClick(); };
  MixEntries->OnClick = [this] { MixEntriesClick(); };
  NextBtn->SetFocus();

  // 1. Start page and captions.
  Notebook->SetActivePage(kStartPage);
  AppEntries->SetCaption(app::ProductName);
  MixEntries->SetCaption(std::string(app::MixmasterName));
  Get<gui::TLabel>("Appname")->SetCaption(app::ProductName);
  Get<gui::TLabel>("Label25")->SetCaption("Un-Install " + app::ProductName);

  // 2. What is installed, the homes, the group and the order.
  state_ = FindInstallations();

  // 3. Nothing to do: the user can only close the window.
  if (!state_.AnyInstalled()) {
    NextBtn->SetEnabled(false);
    Get<gui::TTextBox>("RichEdit7")
        ->SetText("Neither " + app::ProductName + " nor " + std::string(app::MixmasterName) +
                  " are installed on this machine!\nNothing to un-install!");
    Get<gui::TLabel>("Label24")->SetEnabled(false);
    return;
  }

  // 4. The check boxes as they start (TUninstallState::AppEntryStart). Their
  // click handlers run on every change made here; the enabled states, set
  // last, are the ones that hold.
  const TEntryStart appStart = state_.AppEntryStart(), mixStart = state_.MixEntryStart();
  AppEntries->SetChecked(appStart.Checked);
  MixEntries->SetChecked(mixStart.Checked);
  AppEntries->SetEnabled(appStart.Enabled);
  MixEntries->SetEnabled(mixStart.Enabled);
  UpdateNext();

  // 5. Captions with the home folders.
  auto shown = [](bool installed, const std::string& dir) {
    return installed ? util::LowerCase(util::StripBackslash(dir)) : std::string("not installed");
  };
  MixEntries->SetCaption(MixEntries->Caption() + "    { " +
                         shown(state_.MixInstalled, state_.MixDir) + " }");
  AppEntries->SetCaption(AppEntries->Caption() + "  { " +
                         shown(state_.AppInstalled, state_.AppDir) + " }");
}

TUninstWiz::~TUninstWiz() = default;

void TUninstWiz::UpdateNext() {
  NextBtn->SetEnabled(AppEntries->Checked() || MixEntries->Checked());
}

// A home that lies in the other one (or is the same folder) goes with it:
// checking the other's box checks this one and locks it, and clearing the
// other's box unlocks it again.
void TUninstWiz::FollowChoice(const gui::TCheckBox* clicked, gui::TCheckBox* follower,
                              bool goesWith) {
  if (clicked->Checked()) {
    if (goesWith) {
      follower->SetChecked(true);
      follower->SetEnabled(false);
    }
  } else if (goesWith) {
    follower->SetEnabled(true);
  }
  UpdateNext();
}

void TUninstWiz::AppEntriesClick() {
  FollowChoice(AppEntries, MixEntries, state_.MixInsideApp || state_.SameHomeDir);
}

void TUninstWiz::MixEntriesClick() {
  FollowChoice(MixEntries, AppEntries, state_.AppInsideMix || state_.SameHomeDir);
}

void TUninstWiz::MovePage(int delta) {
  gui::TLockUpdate lock(Handle());
  Notebook->SetPageIndex(Notebook->PageIndex() + delta);
  const std::string page = Notebook->ActivePage();
  if (delta > 0 && page == kReviewPage) FillReview();
  NextBtn->SetCaption(page == kReviewPage || page == kFinishPage ? kFinishCaption : app::NextCaption);
  BackBtn->SetEnabled(page != kStartPage);
}

void TUninstWiz::FillReview() {
  Memo1->Clear();
  Memo1->Add(app::ProductName + (AppEntries->Checked() ? " = YES" : " = NO"));
  Memo1->Add(std::string(app::MixmasterName) + (MixEntries->Checked() ? " = YES" : " = NO"));
  Memo1->Scroll(SB_PAGEUP);
}

void TUninstWiz::NextBtnClick() {
  if (NextBtn->Caption() != kFinishCaption) {
    MovePage(1);
    return;
  }
  if (util::ShowMessage("Uninstall now?", app::ProductName, util::MsgButtons::OkCancel) !=
      util::mrOk)
    return;
  if (!dialogs::ShowWaitDialog(app::ProductName, "...uninstalling software...", Handle())) return;
  Notebook->SetActivePage(kFinishPage);
  // However the removal ends, Cancel becomes the way out: until then the page
  // refuses every close (FormCloseQuery).
  struct ExitWhenDone {
    gui::TButton* cancel;
    ~ExitWhenDone() {
      cancel->SetCaption(app::ExitCaption);
      cancel->SetEnabled(true);
    }
  } exitWhenDone{CancelBtn};
  gui::ProcessMessages();
  RunUninstall();
}

void TUninstWiz::BackBtnClick() { MovePage(-1); }

void TUninstWiz::CancelBtnClick() { Close(); }

void TUninstWiz::AddProgress(const std::string& line) { RichEdit2->Add(line); }

void TUninstWiz::RunUninstall() {
  RichEdit2->Clear();
  BackBtn->SetEnabled(false);
  NextBtn->SetEnabled(false);
  CancelBtn->SetEnabled(false);
  gui::ProcessMessages();

  state_.AppChecked = AppEntries->Checked();
  state_.MixChecked = MixEntries->Checked();
  TRemoval removal(state_, [this](const std::string& line) { AddProgress(line); });
  removal.RunRemovals();

  Label4->SetCaption("");
  Label4->SetColor(gui::clBlue);
  gui::ProcessMessages();
  Label4->SetCaption("Un-Installation complete!");
  Label6->SetCaption("Thanks!");
  removal.Finish();
}

void TUninstWiz::FormCloseQuery(bool& canClose) {
  canClose = true;
  if (Notebook->ActivePage() == kStartPage || !state_.AnyInstalled()) return;
  if (CancelBtn->Caption() == app::ExitCaption) return;
  // The removal is running (its pages pump messages, so the close box still
  // works): closing now would destroy the window under it.
  if (Notebook->ActivePage() == kFinishPage) {
    canClose = false;
    return;
  }
  if (util::ShowMessage("Quit without un-installing?", "Un-Install", util::MsgButtons::YesNo) !=
      util::mrYes)
    canClose = false;
}

}  // namespace uninstall
