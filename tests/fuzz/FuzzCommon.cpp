// Scratch file, silent message boxes and the check oracle of the fuzz targets.
#include "FuzzCommon.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "store/Journal.h"
#include "tools/lnstore/StoreImage.h"
#include "util/FileStream.h"
#include "util/Message.h"

namespace fuzz {

const std::string& ScratchPath() {
  static const std::string path = [] {
    util::SetMessageHook([](const std::string&, const std::string&, util::MsgButtons,
                            util::MsgOwner) { return util::mrOk; });
    const std::string dir = util::DirectoryExists("/dev/shm") ? "/dev/shm" : "/tmp";
    return dir + "/lf-fuzz-" + std::to_string(getpid()) + ".dbc";
  }();
  static const bool removeAtExit = [] {
    std::atexit([] {
      std::remove(path.c_str());
      std::remove(store::JournalPath(path).c_str());
    });
    return true;
  }();
  (void)removeAtExit;
  return path;
}

void WriteScratch(const std::string& bytes) {
  if (!util::WriteWholeFile(ScratchPath(), bytes)) std::abort();
  std::remove(store::JournalPath(ScratchPath()).c_str());
}

std::string ReadScratch() {
  std::string out;
  if (!util::ReadWholeFile(ScratchPath(), out)) std::abort();
  return out;
}

int SeriousFaults(const std::string& bytes, int* allFaults) {
  tools::StoreImage image(bytes);
  int serious = 0;
  std::string summary;
  const int all = image.Check(
      [&](const std::string& line) {
        if (line.find("neither reachable nor free") == std::string::npos) ++serious;
      },
      summary);
  if (allFaults) *allFaults = all;
  return serious;
}

}  // namespace fuzz
