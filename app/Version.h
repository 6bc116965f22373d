// The names shared by every part of the program and by the product itself:
// product identity, file names, registry keys, store keys, marker bytes, and
// the values derived from the running executable's path at start-up.
#pragma once
#include <string>
#include <string_view>

namespace app {

// The values are in Version.cpp, defined once: as inline variables here every
// source file that includes this header carried start-up code for all of
// them. Being defined in another file, they must not be read while other
// files' globals are initialised (before main).

// --- Product identity, registry keys, file names --------------------------
extern const std::string ProductName;
extern const std::string ProgramFileName;
extern const std::string UninstallerFileName;  // "UninstLN.exe"
extern const std::string VersionSuffix;
extern const std::string CopyrightNotice;
extern const std::string ProductRegistryKey;
extern const std::string MixmasterRegistryKey;
// The product's entry in the system's list of installed programs (Settings,
// Installed apps; Programs and Features), per user, under HKEY_CURRENT_USER.
extern const std::string UninstallEntryKey;

// --- File extensions, each with its dot -----------------------------------
extern const std::string StoreExt;
extern const std::string EncryptedStoreExt;
extern const std::string SeedStoreExt;
extern const std::string BackupExt;
// The store's rollback journal lies beside it: store file name + JournalExt.
extern const std::string JournalExt;
extern const std::string DpcExt;
extern const std::string TempExt;
extern const std::string OrgExt;

extern const std::string StoreFileName;  // ProgramFileName + StoreExt
extern const std::string EncryptedStoreFileName;  // StoreFileName + EncryptedStoreExt
extern const std::string SeedStoreFileName;  // ProgramFileName + SeedStoreExt
extern const std::string QuickStartFileName;  // a program group shortcut's target

// The store's files in the product's home, in any letter case: the plain
// store with its rollback journal (StoreFileName + ".jnl"), the encrypted
// store and its backup. They are the user's: a distribution's copy never
// replaces one that home already has, and no removal deletes them. This is
// the one list of them; a companion file the store keeps beside itself
// belongs here.
bool IsStoreFileName(const std::string& fileName);

// Button captions both wizards test as well as show: Next keeps this caption
// until the pages where it starts the work, and Cancel reads "Exit" once the
// work is done.
inline constexpr char NextCaption[] = "Next";
inline constexpr char ExitCaption[] = "Exit";

// The installer's own file name (compared in any letter case), the companion
// program that can be removed with the product, and the marker file: while it
// is in the product's home the product cannot be chosen for removal.
inline constexpr std::string_view SetupFileName = "setup.exe";
inline constexpr std::string_view MixmasterName = "Mixmaster";
inline constexpr std::string_view NoRemovalMarkerFileName = "unln.dsk";

// --- Store keys: names joined by the key separator, the byte 0xFF ---------
extern const std::string KeySeparator;
extern const std::string DefaultMessageKey;
extern const std::string DefaultArticleKey;
extern const std::string InitializationItem;

// --- Marker characters of mailbox summary lines ----------------------------
extern const std::string SummarySeparator;
extern const std::string IncomingMark;
extern const std::string OutgoingMark;
extern const std::string SpareMark;

// --- Names the product uses; this program does not ------------------------
// Plain constants: nothing here reads them, and as texts built at start-up
// they would cost code in the program for nothing.
inline constexpr std::string_view Pop3DllFileName = "LNpop3.dll";
inline constexpr std::string_view QuickStartPop3FileName = "QuickStart.Pop3.rtf";
inline constexpr std::string_view UnzipFileName = "unzipping.exe";
inline constexpr std::string_view MailingListFileName = "mlist.txt";
inline constexpr std::string_view MixPubringFileName = "pubring.mix";
inline constexpr std::string_view Type2ListFileName = "type2.list";
inline constexpr std::string_view RemailerListFileName = "rlist.txt";
inline constexpr std::string_view PgpPubringFileName = "pubring.asc";
inline constexpr std::string_view ExeExt = "exe";

inline constexpr std::string_view MixPoolItem = "MixPool";
inline constexpr std::string_view UpdateOnSendItem = "UpdateOnSend";
inline constexpr std::string_view NymsItem = "Nyms";
inline constexpr std::string_view NotesItem = "Notes";
inline constexpr std::string_view MessagesItem = "Messages";
inline constexpr std::string_view DraftsItem = "Drafts";
inline constexpr std::string_view TemplatesItem = "Templates";
inline constexpr std::string_view AddressBookItem = "Address Book";
inline constexpr std::string_view MailboxesItem = "Mailboxes";
inline constexpr std::string_view UserDataItem = "User Data";
inline constexpr std::string_view MailQueueItem = "Mail Queue";
inline constexpr std::string_view ProblemsQueueItem = "Problems Queue";
inline constexpr std::string_view MailboxMenuItem = "Mailbox Menu";
inline constexpr std::string_view MailboxPosItem = "Mailbox Pos";
inline constexpr std::string_view StatsUrlsItem = "StatsURLs";
inline constexpr std::string_view HttpInfoItem = "Http Info";
inline constexpr std::string_view FtpProxyItem = "Ftp Proxy";
inline constexpr std::string_view UseFtpProxyItem = "Use Ftp Proxy";
inline constexpr std::string_view MixmasterItem = "Mixmaster";
inline constexpr std::string_view SmtpLogItem = "SmtpLog";
inline constexpr std::string_view Pop3LogItem = "Pop3Log";
inline constexpr std::string_view PopAccountsItem = "Pop Accounts";
inline constexpr std::string_view LastMessageIdItem = "Last Message-ID";
inline constexpr std::string_view UpdateSitesItem = "Update Sites";
inline constexpr std::string_view RandomPoolItem = "RandomPool";
inline constexpr std::string_view ClientCfgItem = "ClientCfg";

inline constexpr std::string_view GotMailText = "You got mail!";
inline constexpr std::string_view NoNewMailText = "Sorry, no new mail.";
inline constexpr std::string_view UserCancelText = "User cancel";
inline constexpr std::string_view AbortedText = "Error: aborted!";
inline constexpr std::string_view NewNoteTitle = "New Note";
inline constexpr std::string_view NewMessageTitle = "New Message";
inline constexpr std::string_view NewArticleTitle = "New Usenet Article";
inline constexpr std::string_view EncryptToField = "Encrypt-To: ";
inline constexpr std::string_view MixKeyBegin = "-----Begin Mix Key-----";

inline constexpr std::string_view MixExeFileName = "mix.exe";
inline constexpr std::string_view MixCfgFileName = "mix.cfg";
inline constexpr std::string_view MixTempFileName = "mix.tmp.LN";
inline constexpr std::string_view MixOutPattern = "out*.txt";
inline constexpr std::string_view MixClientConfig = "###### Client Config ######\r\nSENDMAIL outfile\r\nERRLOG errlog\r\nREMAIL n";

// --- Derived from the running executable's path ----------------------------
// InitDerivedNames runs once at start-up, before any wizard exists; reading a
// derived name before it raises EGeneralError (a programming error). Tests
// call it to point the program at a fixture path.
void InitDerivedNames(const std::string& exePath);
bool DerivedNamesReady();
// Forgets the derived names again (tests of the start-up order only).
void ResetDerivedNames();

const std::string& ExePath();
const std::string& ExePathUpper();      // ExePath upper-cased
const std::string& ExeStorePath();      // ExePathUpper with ".dbc"
const std::string& ExeHomeDir();        // folder of ExePathUpper, lower-cased
const std::string& ExeDpcPath();
const std::string& ExeIniPath();
const std::string& ExePgpPath();
const std::string& ExePgpBackupPath();  // ExePgpPath + ".bak"
const std::string& ExePgpTempPath();    // ExePgpPath + ".tmp"

}  // namespace app
