// Stages a distribution folder and a clean install target for the e2e tests:
// everything is written by the test, nothing is checked in as binaries.
#pragma once
#include <string>

namespace testsupport {

struct TStage {
  std::string Dist;   // the distribution folder (with setup.exe), no trailing "\"
  std::string Home;   // the install destination, no trailing "\"
  std::string Group;  // the Start-menu group folder setup makes
};

// Fresh folders under the temporary folder; removes what an earlier scenario
// installed (home, group folder, HKCU\Software\Lanternfell).
TStage StageDistribution(const std::string& setupExeWinPath, const std::string& name);

}  // namespace testsupport
