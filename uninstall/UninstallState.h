// What the un-install wizard knows from its creation to the removal: which of
// the product and Mixmaster are installed for the current user, their home
// folders and how these lie to each other, the product's program group, what
// is chosen for removal and in which order the two go. The wizard fills it
// once, when it is created, and the removal takes it as it is.
#pragma once
#include <string>

namespace uninstall {

// How one check box of the Options page starts.
struct TEntryStart {
  bool Checked = false;
  bool Enabled = false;
};

struct TUninstallState {
  // The home folders as recorded ("AppDir", "MixDir"), with a trailing
  // backslash; empty when the program is not installed or recorded none.
  std::string AppDir = {}, MixDir = {};
  std::string GroupName = {};  // the product's "Program Group" value, as read
  bool AppFirst = true;        // the product is removed before Mixmaster
  bool AppChecked = false;     // remove the product (the AppEntries box)
  bool MixChecked = false;     // remove Mixmaster (the MixEntries box)

  bool AppInstalled = false;  // the product's registry key exists
  bool MixInstalled = false;  // Mixmaster's registry key exists
  bool AppMarker = false;     // the product's home holds the no-removal marker
  // How the two homes lie, compared in normalised form (util::NormaliseDir);
  // all false when either program is not installed or has no home.
  bool MixInsideApp = false;
  bool AppInsideMix = false;
  bool SameHomeDir = false;

  bool AnyInstalled() const { return AppInstalled || MixInstalled; }
  // How AppEntries and MixEntries start, from what is installed, the marker
  // and the relations.
  TEntryStart AppEntryStart() const;
  TEntryStart MixEntryStart() const;
  // Whether the product goes first, decided from how the boxes start and not
  // revised when the user changes them.
  bool ProductFirst() const;
};

// Reads both registry keys under HKEY_CURRENT_USER (never creating them; a
// missing value reads as empty), looks for the marker in the product's home,
// relates the two homes, and sets AppChecked, MixChecked and AppFirst as the
// boxes start. A value of the wrong type raises ERegistryError.
TUninstallState FindInstallations();

}  // namespace uninstall
