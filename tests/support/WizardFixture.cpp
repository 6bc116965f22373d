// The wizard tests' fixture (see WizardDriver.h).
#include "tests/support/WizardFixture.h"

#include "app/Version.h"
#include "dialogs/WaitDlg.h"
#include "gui/Pump.h"
#include "util/DirList.h"
#include "util/FileStream.h"
#include "util/Paths.h"
#include "util/Registry.h"
#include "util/System.h"

namespace testsupport {

namespace {

// The derived names (ExeStorePath, read by the store's init values) point at
// the test program, as start-up would point them at the installer.
class DerivedNamesEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    if (!app::DerivedNamesReady()) app::InitDerivedNames(util::GetExePath());
  }
};
[[maybe_unused]] const auto* const g_env =
    ::testing::AddGlobalTestEnvironment(new DerivedNamesEnvironment);

}  // namespace

void WizardFixture::SetUp() {
  TSandboxTest::SetUp();
  savedCwd_ = util::GetCurrentDir();
}

void WizardFixture::TearDown() {
  // Closing the setup wizard makes its folder the current directory.
  util::SetCurrentDir(savedCwd_);
  testsupport::CancelAll();
  TSandboxTest::TearDown();
}

}  // namespace testsupport
