// Mode selection (portable, so it is tested on the host too).
#include "app/Startup.h"

#include "app/Version.h"
#include "util/Text.h"

namespace app {

TMode SelectMode(const std::string& exePath, const std::string& arg1) {
  if (util::LowerCase(util::ExtractFileName(exePath)) != SetupFileName) return TMode::Uninstall;
  return util::LowerCase(arg1) == "-u" ? TMode::Uninstall : TMode::Setup;
}

}  // namespace app
