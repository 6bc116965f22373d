// Mode selection at start-up: the file name the program runs under and its
// first argument decide between the setup and the un-install wizard.
#pragma once
#include <string>

namespace app {

enum class TMode { Setup, Uninstall };

// Setup exactly when the file-name part of exePath (after the last "\" or
// ":"), lower-cased, is "setup.exe" and arg1, lower-cased, is not "-u". The
// argument is only looked at when the name matched.
TMode SelectMode(const std::string& exePath, const std::string& arg1);

inline const std::string SetupTitle = "Lanternfell Setup";
inline const std::string UninstallTitle = "Lanternfell Un-Install";

}  // namespace app
