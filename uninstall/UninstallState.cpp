// Finding the two installations and deciding how the Options page starts.
#include "uninstall/UninstallState.h"

#include "app/Version.h"
#include "util/FileStream.h"
#include "util/Paths.h"
#include "util/Registry.h"

namespace uninstall {

// What the two boxes start as. The relations are false whenever one of the
// two programs is not installed.
//
//   product installed | marker | AppInsideMix || AppEntries
//   no                |   -    |      -       || cleared, disabled
//   yes               |  yes   |      no      || cleared, disabled
//   yes               |  yes   |      yes     || checked, disabled
//   yes               |  no    |      -       || checked, enabled
//
//   Mixmaster installed | MixInsideApp or SameHomeDir || MixEntries
//   no                  |             -               || cleared, disabled
//   yes                 |             yes             || checked, disabled
//   yes                 |             no              || checked, enabled
//
// Later changes are the click handlers' work (the wizard's AppEntriesClick
// and MixEntriesClick): they keep a home from being removed while the other
// program stays in it.
TEntryStart TUninstallState::AppEntryStart() const {
  return {AppInstalled && (!AppMarker || AppInsideMix), AppInstalled && !AppMarker};
}

TEntryStart TUninstallState::MixEntryStart() const {
  return {MixInstalled, MixInstalled && !MixInsideApp && !SameHomeDir};
}

bool TUninstallState::ProductFirst() const {
  return AppEntryStart().Checked && (SameHomeDir || !AppInsideMix);
}

TUninstallState FindInstallations() {
  TUninstallState s;
  util::TRegistry reg;
  s.MixInstalled = reg.KeyExists(app::MixmasterRegistryKey);
  s.AppInstalled = reg.KeyExists(app::ProductRegistryKey);
  if (reg.OpenKey(app::MixmasterRegistryKey, false)) {
    s.MixDir = util::AppendBackslash(reg.ReadString("MixDir"));
    reg.CloseKey();
  }
  if (reg.OpenKey(app::ProductRegistryKey, false)) {
    s.AppDir = util::AppendBackslash(reg.ReadString("AppDir"));
    s.GroupName = reg.ReadString("Program Group");
    reg.CloseKey();
  }
  s.AppMarker =
      s.AppInstalled && util::FileExists(s.AppDir + std::string(app::NoRemovalMarkerFileName));

  const std::string appHome = s.AppInstalled ? util::NormaliseDir(s.AppDir) : std::string();
  const std::string mixHome = s.MixInstalled ? util::NormaliseDir(s.MixDir) : std::string();
  s.MixInsideApp = util::NormalisedInside(mixHome, appHome);
  s.AppInsideMix = util::NormalisedInside(appHome, mixHome);
  s.SameHomeDir = !appHome.empty() && appHome == mixHome;

  s.AppChecked = s.AppEntryStart().Checked;
  s.MixChecked = s.MixEntryStart().Checked;
  s.AppFirst = s.ProductFirst();
  return s;
}

}  // namespace uninstall
