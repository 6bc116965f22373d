// The derived names, computed once from the executable's path.
#include "app/Version.h"

#include "util/Errors.h"
#include "util/Text.h"

namespace app {

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
