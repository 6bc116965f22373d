// The setup wizard's layout and handlers.
#include "setup/SetupDlg.h"

#include "app/Version.h"
#include "dialogs/DirBrow.h"
#include "dialogs/StartProgram.h"
#include "dialogs/WaitDlg.h"
#include "gui/Application.h"
#include "setup/Destination.h"
#include "util/FileStream.h"
#include "util/Message.h"
#include "util/Paths.h"
#include "util/System.h"
#include "util/Text.h"

namespace setup {

namespace {
using gui::ControlDef;
using gui::Kind;

const char* const kStartText =
    "This wizard will guide you through the installation process. Below you'll find the \n"
    "default destination. Change it if you like. The folder need not exist and it need \n"
    "not be in your computer's PATH statement. Then, click 'Next' to continue...";
const char* const kAddressText =
    "I need your 'actual' email address and the mail server you normally send out-\n"
    "going mail through.  These will be used to create a default message and \n"
    "USENET article. Click 'Next' when finished.";
const char* const kReviewText =
    "Please review your setup below, for accuracy. Click 'Back' to make changes. \n"
    "When satisfied, click \"Install\" to complete program setup.";
const char* const kDoneText =
    "Lanternfell is succesfully installed. I hope this update includes \n"
    "at least something you were hoping to see. If not, drop me an \n"
    "email. Though it is not possible to incorporate every idea that \n"
    "comes my way, I promise to give them serious thought and have \n"
    "included many user suggestions already.\n"
    "\n"
    "Thanks again for your interest in my program!";
const char* const kMixHintText =
    "To send mail through the remailer network you also need Mixmaster. Download \n"
    "the archive \"mix29bxx.zip\" from ftp.remailers.example.org/pub/mixmaster, put it \n"
    "in the Lanternfell home folder and start Lanternfell: it installs Mixmaster for you.";
const char* const kEncryptedNotice =
    "I have found that your LN database is encrypted. Because of this I am unable to "
    "retrieve current configuration values. This is not a problem though. Click 'Install' "
    "to complete program setup.";

// The setup wizard's own button captions that its handlers test (with
// app::NextCaption and app::ExitCaption): Next reads "Install" on Review.
constexpr char kInstallCaption[] = "Install";
constexpr char kCancelCaption[] = "Cancel";

constexpr auto kTitleFont = gui::Px("Times New Roman", 27);
constexpr auto kDoneFont = gui::Px("Times New Roman", 21);

const gui::FormDef kSetupForm = {"Lanternfell Setup", 457, 305, gui::Border::Single, true,
                                 gui::Position::ScreenCentre, gui::Pt("MS Sans Serif", 8)};

// Creation order is tab order. Pages fill the page book.
const ControlDef kSetupControls[] = {
    {Kind::Panel, "Panel1", "", 16, 16, 425, 241},
    {Kind::Label, "Appname", "Panel1", 20, 6, 389, 31, "", kTitleFont, gui::clBlue},
    {Kind::PageBook, "Notebook1", "Panel1", 8, 36, 409, 195},
    {Kind::Page, "Start", "Notebook1", 0, 0, 0, 0, "Start"},
    {Kind::Page, "Address", "Notebook1", 0, 0, 0, 0, "Address"},
    {Kind::Page, "Review", "Notebook1", 0, 0, 0, 0, "Review"},
    {Kind::Page, "Done", "Notebook1", 0, 0, 0, 0, "Done"},
    // Page 0, Start
    {Kind::Label, "Copyright", "Start", 8, 6, 393, 13},
    {Kind::TextBox, "RichEdit1", "Start", 8, 28, 393, 44, kStartText, {}, gui::kDefaultColor,
     gui::fDisabled},
    {Kind::Label, "Label4", "Start", 8, 92, 200, 13, "&Destination Folder"},
    // Design text: the default destination (DefaultAppDir: Program Files, or
    // the user's own programs folder where the user cannot create folders
    // there), filled in at creation unless the registry names a folder.
    {Kind::Edit, "AppDIR", "Start", 8, 108, 305, 21, "", {}, gui::clBlue},
    {Kind::Button, "BrowseBtn", "Start", 322, 106, 75, 25, "&Browse"},
    {Kind::CheckBox, "GroupBox", "Start", 8, 146, 200, 17, "Create Program &Group", {},
     gui::kDefaultColor, gui::fChecked},
    // Page 1, Address
    {Kind::Label, "Label6", "Address", 8, 6, 393, 13, "E-Address && Mail Server"},
    {Kind::TextBox, "RichEdit2", "Address", 8, 28, 393, 44, kAddressText, {}, gui::kDefaultColor,
     gui::fDisabled},
    {Kind::Label, "Label3", "Address", 8, 84, 393, 13,
     "Your &Address: (example: My Name <my.name@example.com>)"},
    {Kind::Edit, "EAddr", "Address", 8, 100, 393, 21, "", {}, gui::clBlue},
    {Kind::Label, "Label2", "Address", 8, 134, 393, 13,
     "SMTP &Host:  (example: mail.example.com)"},
    {Kind::Edit, "Host", "Address", 8, 150, 393, 21, "", {}, gui::clBlue},
    // Page 2, Review
    {Kind::Label, "Label7", "Review", 8, 6, 393, 13, "Review Setup"},
    {Kind::TextBox, "RichEdit4", "Review", 8, 28, 393, 30, kReviewText, {}, gui::kDefaultColor,
     gui::fDisabled},
    {Kind::Label, "Label8", "Review", 8, 70, 393, 13, "Setup Configuration"},
    {Kind::TextBox, "RichEdit3", "Review", 8, 88, 393, 96, "", {}, gui::clBlue,
     gui::fDisabled | gui::fBorder},
    // Page 3, Done. RichEdit5 lies under RichEdit6 and is never brought to
    // the front: it stays hidden behind it.
    {Kind::Label, "Label5", "Done", 8, 4, 393, 26, "Installation complete!", kDoneFont,
     gui::clBlue},
    {Kind::TextBox, "RichEdit5", "Done", 8, 36, 393, 124, kMixHintText, {}, gui::kDefaultColor,
     gui::fDisabled | gui::fHidden},
    {Kind::TextBox, "RichEdit6", "Done", 8, 36, 393, 124, kDoneText, {}, gui::kDefaultColor,
     gui::fDisabled},
    {Kind::CheckBox, "RunQuickBox", "Done", 296, 168, 105, 17, "&Run Lanternfell", {},
     gui::kDefaultColor, gui::fChecked},
    // Buttons under the panel
    {Kind::Button, "BackBtn", "", 184, 272, 75, 25, "Back", {}, gui::kDefaultColor,
     gui::fDisabled},
    {Kind::Button, "NextBtn", "", 272, 272, 75, 25, "Next"},
    {Kind::Button, "CancelBtn", "", 360, 272, 75, 25, "Cancel", {}, gui::kDefaultColor,
     gui::fCancel},
};
}  // namespace

TSetupForm::TSetupForm() : TForm(kSetupForm, kSetupControls) {
  Appname = Get<gui::TLabel>("Appname");
  Copyright = Get<gui::TLabel>("Copyright");
  Notebook1 = Get<gui::TPageBook>("Notebook1");
  AppDIR = Get<gui::TEdit>("AppDIR");
  GroupBox = Get<gui::TCheckBox>("GroupBox");
  EAddr = Get<gui::TEdit>("EAddr");
  Host = Get<gui::TEdit>("Host");
  RichEdit3 = Get<gui::TTextBox>("RichEdit3");
  RichEdit4 = Get<gui::TTextBox>("RichEdit4");
  RunQuickBox = Get<gui::TCheckBox>("RunQuickBox");
  BackBtn = Get<gui::TButton>("BackBtn");
  NextBtn = Get<gui::TButton>("NextBtn");
  CancelBtn = Get<gui::TButton>("CancelBtn");
  NextBtn->OnClick = [this] { NextBtnClick(); };
  BackBtn->OnClick = [this] { BackBtnClick(); };
  CancelBtn->OnClick = [this] { CancelBtnClick(); };
  Get<gui::TButton>("BrowseBtn")->OnClick = [this] { BrowseBtnClick(); };
  EAddr->OnChange = [this] { EAddrChange(); };
  Host->OnChange = [this] { HostChange(); };

  FoundInstallation_ = false;
  // The distribution is every file beside setup.exe, wherever it was
  // started from (a console elsewhere gives another current folder).
  SourceDir_ = util::GetExeDir();
  if (SourceDir_.empty()) SourceDir_ = util::GetCurrentDir();

  std::string notice = app::CopyrightNotice;
  if (size_t nl = notice.find('\n'); nl != std::string::npos) notice.replace(nl, 1, ",  ");
  Copyright->SetCaption(notice);
  Appname->SetCaption(app::ProductName + " " + app::VersionSuffix);

  ProgramFile_ = app::ProgramFileName;
  StoreFile_ = util::ChangeFileExt(ProgramFile_, app::StoreExt);

  Notebook1->SetPageIndex(static_cast<int>(TSetupPage::Start));

  // Pre-fill from an earlier installation; the fields are set without their
  // change events, so Next stays enabled on the Start page.
  TInstallState s;
  s.AppDir = AppDIR->Text();
  s.GroupBox = GroupBox->Checked();
  ReadRegistrySettings(s);
  AppDIR->SetText(s.AppDir);
  GroupBox->SetChecked(s.GroupBox);
  FoundInstallation_ = s.FoundInstallation;
  if (FoundInstallation_) RecordedAppDir_ = s.AppDir;
  ReadStoredDefaults(s);
  EAddr->SetText(s.Address);
  Host->SetText(s.Host);

  NextBtn->SetFocus();
}

TInstallState TSetupForm::State() const {
  TInstallState s;
  s.AppDir = AppDIR->Text();
  s.Address = EAddr->Text();
  s.Host = Host->Text();
  s.GroupBox = GroupBox->Checked();
  s.FoundInstallation = FoundInstallation_;
  s.SourceDir = SourceDir_;
  return s;
}

void TSetupForm::FormShow() {
  if (!FoundInstallation_) return;
  // Two presses of Next, without the check of the folder on leaving Start:
  // the earlier installation's folder is shown on Review as it is, and
  // checked when Install is pressed.
  MovePage(+1);
  MovePage(+1);
  // Passing through Address gave EAddr the focus, and Review moves none: it
  // would stay on a hidden page and the dialog would hand it to Back. Next
  // has it, as at creation.
  NextBtn->SetFocus();
  const std::string home = State().Home();
  if (!util::FileExists(home + StoreFile_) && util::FileExists(home + app::EncryptedStoreFileName)) {
    RichEdit3->SetText(kEncryptedNotice);
    RichEdit4->SetColor(gui::clGray);
    BackBtn->SetEnabled(false);
  }
}

void TSetupForm::NextBtnClick() {
  // The folder is checked before anything is asked or made: on leaving
  // Start (typed or browsed) and on Install (read from the registry, it
  // comes straight to Review).
  if (Page() == TSetupPage::Start && !AcceptAppDir(false)) return;
  if (NextBtn->Caption() == kInstallCaption) {
    if (!AcceptAppDir(true)) {
      // Back leads to the folder, also past the encrypted-store notice.
      BackBtn->SetEnabled(true);
      return;
    }
    if (util::ShowMessage("Install now?", app::ProductName, util::MsgButtons::OkCancel) !=
        util::mrOk)
      return;
    if (!InstallAction()) return;
  }
  MovePage(+1);
}

void TSetupForm::BackBtnClick() { MovePage(-1); }

bool TSetupForm::AcceptAppDir(bool onReview) const {
  const std::string dir = AppDIR->Text();
  const bool recorded = FoundInstallation_ && dir == RecordedAppDir_;
  return AcceptDestination(
      dir, recorded ? TDestinationSource::Recorded : TDestinationSource::Entered, onReview);
}

TSetupPage TSetupForm::Page() const { return static_cast<TSetupPage>(Notebook1->PageIndex()); }

bool TSetupForm::AddressFilled() const { return !EAddr->Text().empty() && !Host->Text().empty(); }

void TSetupForm::MovePage(int delta) {
  int index = Notebook1->PageIndex() + delta;
  if (index < static_cast<int>(TSetupPage::Start)) return;  // Back on Start: nothing changes
  // Next on Done stays there (only code can press it: the button is disabled).
  if (index > static_cast<int>(TSetupPage::Done)) index = static_cast<int>(TSetupPage::Done);
  const TSetupPage page = static_cast<TSetupPage>(index);
  BackBtn->SetEnabled(page != TSetupPage::Start);
  NextBtn->SetEnabled(page != TSetupPage::Address || AddressFilled());
  NextBtn->SetCaption(page == TSetupPage::Review ? kInstallCaption : app::NextCaption);
  // Only a forward move decides Cancel's caption and writes the review: the
  // lines stay as they were when Back returns to Review.
  if (delta > 0) {
    CancelBtn->SetCaption(page == TSetupPage::Done ? app::ExitCaption : kCancelCaption);
    if (page == TSetupPage::Review) FillReview();
  }
  if (page == TSetupPage::Done) {
    BackBtn->SetEnabled(false);
    NextBtn->SetEnabled(false);
  }
  Notebook1->SetPageIndex(index);
  if (page == TSetupPage::Start) AppDIR->SetFocus();
  if (page == TSetupPage::Address) EAddr->SetFocus();
  if (page == TSetupPage::Done) util::PlayBeep(0);
}

void TSetupForm::FillReview() {
  RichEdit3->Clear();
  RichEdit3->Add("Folder = " + AppDIR->Text());
  RichEdit3->Add("Address = " + EAddr->Text());
  RichEdit3->Add("MailHost = " + Host->Text());
  RichEdit3->Add(std::string("ProgramGroup = ") + (GroupBox->Checked() ? "yes" : "no"));
}

void TSetupForm::UpdateNextForAddress() { NextBtn->SetEnabled(AddressFilled()); }

void TSetupForm::EAddrChange() { UpdateNextForAddress(); }
void TSetupForm::HostChange() { UpdateNextForAddress(); }

void TSetupForm::BrowseBtnClick() {
  const std::string dir = dialogs::BrowseForFolder(Handle(), "");
  if (dir != "cancel") AppDIR->SetText(dir);
}

void TSetupForm::CancelBtnClick() { Close(); }

void TSetupForm::FormCloseQuery(bool& canClose) {
  if (Page() != TSetupPage::Start && CancelBtn->Caption() != app::ExitCaption) {
    if (util::ShowMessage("Quit without installing " + app::ProductName + "?", app::ProductName,
                          util::MsgButtons::YesNo) == util::mrNo) {
      canClose = false;
      return;
    }
  }
  util::SetCurrentDir(AppDIR->Text());
  if (Page() == TSetupPage::Done && CancelBtn->Caption() == app::ExitCaption && RunQuickBox->Checked())
    dialogs::StartProgram(State().Home() + ProgramFile_, SW_SHOWNORMAL);
  canClose = true;
}

bool TSetupForm::InstallAction() {
  gui::TBusyCursor busy(*this);
  if (!dialogs::ShowWaitDialog(app::ProductName,
                               "...installing " + util::LowerCase(app::ProductName) + "...",
                               Handle()))
    return false;
  const TInstallState s = State();
  return CopyProgramFiles(s) && WriteRegistrySettings(s) && StoreDefaultTemplates(s) &&
         CreateProgramGroup(s);
}

}  // namespace setup
