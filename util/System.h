// Small system services shared by the wizards and dialogs.
#pragma once
#include <cstdint>
#include <string>

namespace util {

// The system's message for GetLastError(), as the system formats it (with its
// line end); "Unknown error N" when the system has none.
std::string LastErrorText();
// The same for a given error code.
std::string ErrorText(unsigned long code);
// The text of an error raised or shown for a failed system call: context
// (which carries its own separator, such as ": ") followed by the system's
// text for code on one line: every run of line breaks inside becomes one
// space and trailing white space goes, so no CR LF is left in the message.
std::string SystemErrorMessage(const std::string& context, unsigned long code);

// Plays the system sound of the given type while the module's switch is on.
void PlayBeep(uint16_t soundType);
void SetBeepEnabled(bool on);
bool BeepEnabled();

// ownerPos + (ownerSize - formSize) / 2, truncating toward zero.
constexpr int CentreCoordinate(int ownerPos, int ownerSize, int formSize) {
  return ownerPos + (ownerSize - formSize) / 2;
}
#ifdef _WIN32
// Centres the form's outer frame over the owner's (screen coordinates).
void CentreOver(void* formHwnd, void* ownerHwnd);
#endif

// Whether the key exists under HKEY_CURRENT_USER.
bool RegKeyExists(const std::string& keyPath);
// Writes a RunOnce entry (HKLM, else HKCU; never creates the key).
bool AddRunOnce(const std::string& valueName, const std::string& commandLine);

}  // namespace util
