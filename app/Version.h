// The names shared by every part of the program and by the product itself:
// product identity, file names, registry keys, store keys, marker bytes, and
// the values derived from the running executable's path at start-up.
#pragma once
#include <string>

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

// --- File extensions, each with its dot -----------------------------------
extern const std::string StoreExt;
extern const std::string EncryptedStoreExt;
extern const std::string SeedStoreExt;
extern const std::string BackupExt;
extern const std::string DpcExt;
extern const std::string TempExt;
extern const std::string OrgExt;

extern const std::string StoreFileName;  // ProgramFileName + StoreExt
extern const std::string EncryptedStoreFileName;  // StoreFileName + EncryptedStoreExt
extern const std::string SeedStoreFileName;  // ProgramFileName + SeedStoreExt

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
extern const std::string Pop3DllFileName;
extern const std::string QuickStartFileName;
extern const std::string QuickStartPop3FileName;
extern const std::string UnzipFileName;
extern const std::string MailingListFileName;
extern const std::string MixPubringFileName;
extern const std::string Type2ListFileName;
extern const std::string RemailerListFileName;
extern const std::string PgpPubringFileName;
extern const std::string ExeExt;

extern const std::string MixPoolItem;
extern const std::string UpdateOnSendItem;
extern const std::string NymsItem;
extern const std::string NotesItem;
extern const std::string MessagesItem;
extern const std::string DraftsItem;
extern const std::string TemplatesItem;
extern const std::string AddressBookItem;
extern const std::string MailboxesItem;
extern const std::string UserDataItem;
extern const std::string MailQueueItem;
extern const std::string ProblemsQueueItem;
extern const std::string MailboxMenuItem;
extern const std::string MailboxPosItem;
extern const std::string StatsUrlsItem;
extern const std::string HttpInfoItem;
extern const std::string FtpProxyItem;
extern const std::string UseFtpProxyItem;
extern const std::string MixmasterItem;
extern const std::string SmtpLogItem;
extern const std::string Pop3LogItem;
extern const std::string PopAccountsItem;
extern const std::string LastMessageIdItem;
extern const std::string UpdateSitesItem;
extern const std::string RandomPoolItem;
extern const std::string ClientCfgItem;

extern const std::string GotMailText;
extern const std::string NoNewMailText;
extern const std::string UserCancelText;
extern const std::string AbortedText;
extern const std::string NewNoteTitle;
extern const std::string NewMessageTitle;
extern const std::string NewArticleTitle;
extern const std::string EncryptToField;
extern const std::string MixKeyBegin;

extern const std::string MixExeFileName;
extern const std::string MixCfgFileName;
extern const std::string MixTempFileName;
extern const std::string MixOutPattern;
extern const std::string MixClientConfig;

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
