// The names shared by every part of the program and by the product itself:
// product identity, file names, registry keys, store keys, marker bytes, and
// the values derived from the running executable's path at start-up.
#pragma once
#include <string>

namespace app {

// --- Product identity, registry keys, file names --------------------------
inline const std::string ProductName = "Lanternfell";
inline const std::string ProgramFileName = "LN.exe";
inline const std::string UninstallerFileName = "Uninst" + ProgramFileName;  // "UninstLN.exe"
inline const std::string VersionSuffix = ".9b2";
inline const std::string CopyrightNotice =
    "Lanternfell Copyright (c) 1997-2026 the Lanternfell authors\n"
    "All rights reserved";
inline const std::string ProductRegistryKey = "Software\\" + ProductName;
inline const std::string MixmasterRegistryKey = "Software\\Mixmaster";

// --- File extensions, each with its dot -----------------------------------
inline const std::string StoreExt = ".dbc";
inline const std::string EncryptedStoreExt = ".pgp";
inline const std::string SeedStoreExt = ".ini";
inline const std::string BackupExt = ".bak";
inline const std::string DpcExt = ".dpc";
inline const std::string TempExt = ".tmp";
inline const std::string OrgExt = ".org";

inline const std::string StoreFileName = "LN.dbc";           // ProgramFileName + StoreExt
inline const std::string EncryptedStoreFileName = "LN.pgp";  // StoreFileName + EncryptedStoreExt
inline const std::string SeedStoreFileName = "LN.ini";       // ProgramFileName + SeedStoreExt

// --- Store keys: names joined by the key separator, the byte 0xFF ---------
inline const std::string KeySeparator = "\xFF";
inline const std::string DefaultMessageKey = "default" + KeySeparator + "message";
inline const std::string DefaultArticleKey = "default" + KeySeparator + "article";
inline const std::string InitializationItem = "Initialization";

// --- Marker characters of mailbox summary lines ----------------------------
inline const std::string SummarySeparator = "\xAD";
inline const std::string IncomingMark = "\xA8";
inline const std::string OutgoingMark = "\xA9";
inline const std::string SpareMark = "\xAC";

// --- Names the product uses; this program does not ------------------------
inline const std::string Pop3DllFileName = "LNpop3.dll";
inline const std::string QuickStartFileName = "QuickStart.rtf";
inline const std::string QuickStartPop3FileName = "QuickStart.Pop3.rtf";
inline const std::string UnzipFileName = "unzipping.exe";
inline const std::string MailingListFileName = "mlist.txt";
inline const std::string MixPubringFileName = "pubring.mix";
inline const std::string Type2ListFileName = "type2.list";
inline const std::string RemailerListFileName = "rlist.txt";
inline const std::string PgpPubringFileName = "pubring.asc";
inline const std::string ExeExt = "exe";

inline const std::string MixPoolItem = "MixPool";
inline const std::string UpdateOnSendItem = "UpdateOnSend";
inline const std::string NymsItem = "Nyms";
inline const std::string NotesItem = "Notes";
inline const std::string MessagesItem = "Messages";
inline const std::string DraftsItem = "Drafts";
inline const std::string TemplatesItem = "Templates";
inline const std::string AddressBookItem = "Address Book";
inline const std::string MailboxesItem = "Mailboxes";
inline const std::string UserDataItem = "User Data";
inline const std::string MailQueueItem = "Mail Queue";
inline const std::string ProblemsQueueItem = "Problems Queue";
inline const std::string MailboxMenuItem = "Mailbox Menu";
inline const std::string MailboxPosItem = "Mailbox Pos";
inline const std::string StatsUrlsItem = "StatsURLs";
inline const std::string HttpInfoItem = "Http Info";
inline const std::string FtpProxyItem = "Ftp Proxy";
inline const std::string UseFtpProxyItem = "Use Ftp Proxy";
inline const std::string MixmasterItem = "Mixmaster";
inline const std::string SmtpLogItem = "SmtpLog";
inline const std::string Pop3LogItem = "Pop3Log";
inline const std::string PopAccountsItem = "Pop Accounts";
inline const std::string LastMessageIdItem = "Last Message-ID";
inline const std::string UpdateSitesItem = "Update Sites";
inline const std::string RandomPoolItem = "RandomPool";
inline const std::string ClientCfgItem = "ClientCfg";

inline const std::string GotMailText = "You got mail!";
inline const std::string NoNewMailText = "Sorry, no new mail.";
inline const std::string UserCancelText = "User cancel";
inline const std::string AbortedText = "Error: aborted!";
inline const std::string NewNoteTitle = "New Note";
inline const std::string NewMessageTitle = "New Message";
inline const std::string NewArticleTitle = "New Usenet Article";
inline const std::string EncryptToField = "Encrypt-To: ";
inline const std::string MixKeyBegin = "-----Begin Mix Key-----";

inline const std::string MixExeFileName = "mix.exe";
inline const std::string MixCfgFileName = "mix.cfg";
inline const std::string MixTempFileName = "mix.tmp.LN";
inline const std::string MixOutPattern = "out*.txt";
inline const std::string MixClientConfig =
    "###### Client Config ######\r\nSENDMAIL outfile\r\nERRLOG errlog\r\nREMAIL n";

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
