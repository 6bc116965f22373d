// Staging for the e2e tests.
#include "tests/e2e/Stage.h"

#include <stdexcept>

#include "app/Version.h"
#include "setup/InstallSteps.h"
#include "store/FileMan1.h"
#include "tests/support/TempDir.h"
#include "util/FileStream.h"
#include "util/Paths.h"
#include "util/Registry.h"
#include "util/Text.h"
#include "util/Win.h"

namespace testsupport {

TStage StageDistribution(const std::string& setupExeWinPath, const std::string& name) {
  TStage s;
  const std::string base = util::GetTempDir() + "lf-e2e-" + name;
  s.Dist = base + "\\dist";
  s.Home = base + "\\home\\Lanternfell";
  s.Group = setup::ProgramGroupFolder();
  testsupport::RemoveTree(base);
  testsupport::RemoveTree(s.Group);
  util::TRegistry().DeleteKey(app::ProductRegistryKey);
  CreateDirectoryA(base.c_str(), nullptr);
  // The scenarios install and un-install here: never outside the prefix.
  if (!testsupport::LiesInsidePrefix(base))
    throw std::runtime_error("stage folder outside the Wine prefix: " + base);
  CreateDirectoryA(s.Dist.c_str(), nullptr);
  CopyFileA(setupExeWinPath.c_str(), (s.Dist + "\\setup.exe").c_str(), FALSE);
  util::WriteWholeFile(s.Dist + "\\LN.exe", "not a program: the product's main file");
  util::WriteWholeFile(s.Dist + "\\License.txt", "License text\r\n");
  util::WriteWholeFile(s.Dist + "\\ReadMe.txt", "Read me\r\n");
  util::WriteWholeFile(s.Dist + "\\QuickStart.rtf", "{\\rtf1 Quick start}\r\n");
  util::TStringList init;
  init.Add("Cutmarks=~~");
  store::WriteStoreLines(app::InitializationItem, &init, s.Dist + "\\" + app::SeedStoreFileName);
  return s;
}

}  // namespace testsupport
