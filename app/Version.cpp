// The shared names, and the derived names computed once from the
// executable's path.
#include "app/Version.h"

#include "util/Errors.h"
#include "util/Text.h"

namespace app {

// --- Product identity, registry keys, file names --------------------------
const std::string ProductName = "Lanternfell";
const std::string ProgramFileName = "LN.exe";
const std::string UninstallerFileName = "Uninst" + ProgramFileName;  // "UninstLN.exe"
const std::string VersionSuffix = ".9b2";
const std::string CopyrightNotice =
    "Lanternfell Copyright (c) 1997-2026 the Lanternfell authors\n"
    "All rights reserved";
const std::string ProductRegistryKey = "Software\\" + ProductName;
const std::string MixmasterRegistryKey = "Software\\Mixmaster";
const std::string UninstallEntryKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + ProductName;

// --- File extensions, each with its dot -----------------------------------
const std::string StoreExt = ".dbc";
const std::string EncryptedStoreExt = ".pgp";
const std::string SeedStoreExt = ".ini";
const std::string BackupExt = ".bak";
const std::string JournalExt = ".jnl";
const std::string DpcExt = ".dpc";
const std::string TempExt = ".tmp";
const std::string OrgExt = ".org";

const std::string StoreFileName = "LN.dbc";           // ProgramFileName + StoreExt
const std::string EncryptedStoreFileName = "LN.pgp";  // StoreFileName + EncryptedStoreExt
const std::string SeedStoreFileName = "LN.ini";       // ProgramFileName + SeedStoreExt
const std::string QuickStartFileName = "QuickStart.rtf";

bool IsStoreFileName(const std::string& fileName) {
  const std::string name = util::LowerCase(fileName);
  for (const std::string& storeFile :
       {StoreFileName, StoreFileName + JournalExt, EncryptedStoreFileName,
        EncryptedStoreFileName + BackupExt}) {
    if (name == util::LowerCase(storeFile)) return true;
  }
  return false;
}

// --- Store keys: names joined by the key separator, the byte 0xFF ---------
const std::string KeySeparator = "\xFF";
const std::string DefaultMessageKey = "default" + KeySeparator + "message";
const std::string DefaultArticleKey = "default" + KeySeparator + "article";
const std::string InitializationItem = "Initialization";

// --- Marker characters of mailbox summary lines ----------------------------
const std::string SummarySeparator = "\xAD";
const std::string IncomingMark = "\xA8";
const std::string OutgoingMark = "\xA9";
const std::string SpareMark = "\xAC";

// --- Names the product uses; this program does not ------------------------

namespace {
struct Derived {
  bool ready = false;
  std::string exePath, upper, store, home, dpc, ini, pgp, pgpBackup, pgpTemp;
};
Derived g_derived;

const Derived& Get() {
  if (!g_derived.ready)
    throw util::EGeneralError("Internal error: a derived name was read before start-up set it");
  return g_derived;
}
}  // namespace

void InitDerivedNames(const std::string& exePath) {
  Derived d;
  d.exePath = exePath;
  d.upper = util::UpperCase(exePath);
  d.store = util::ChangeFileExt(d.upper, StoreExt);
  d.home = util::LowerCase(util::ExtractFilePath(d.upper));
  d.dpc = util::ChangeFileExt(d.upper, DpcExt);
  d.ini = util::ChangeFileExt(d.upper, SeedStoreExt);
  d.pgp = util::ChangeFileExt(d.upper, EncryptedStoreExt);
  d.pgpBackup = d.pgp + BackupExt;
  d.pgpTemp = d.pgp + TempExt;
  d.ready = true;
  g_derived = std::move(d);
}

bool DerivedNamesReady() { return g_derived.ready; }
void ResetDerivedNames() { g_derived = Derived(); }

const std::string& ExePath() { return Get().exePath; }
const std::string& ExePathUpper() { return Get().upper; }
const std::string& ExeStorePath() { return Get().store; }
const std::string& ExeHomeDir() { return Get().home; }
const std::string& ExeDpcPath() { return Get().dpc; }
const std::string& ExeIniPath() { return Get().ini; }
const std::string& ExePgpPath() { return Get().pgp; }
const std::string& ExePgpBackupPath() { return Get().pgpBackup; }
const std::string& ExePgpTempPath() { return Get().pgpTemp; }

}  // namespace app
