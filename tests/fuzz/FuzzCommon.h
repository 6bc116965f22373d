// Shared pieces of the store's fuzz targets: a scratch store file, a silent
// message hook, and check's walk as an oracle.
#pragma once
#include <cstdint>
#include <string>

#include "util/FileStream.h"

namespace fuzz {

// A per-process scratch file (in /dev/shm when there is one); the message
// hook is set to answer silently.
const std::string& ScratchPath();
// Replaces the scratch store's bytes and removes any journal next to it.
void WriteScratch(const std::string& bytes);
std::string ReadScratch();
// check's faults on these bytes, apart from unreachable blocks (which the
// engine leaves behind on purpose when an item replaces a folder).
int SeriousFaults(const std::string& bytes, int* allFaults = nullptr);

// A power cut while it lives: writes 1 to n reach the file (write n only
// half when torn), nothing after them does.
class PowerCut : public util::TFileFaults {
 public:
  PowerCut(int n, bool torn);
  ~PowerCut() override;
  int32_t Admit(int32_t bytes) override;
  bool Alive() override { return writes_ < n_; }

 private:
  int n_, writes_ = 0;
  bool torn_;
  util::TFileFaults* previous_;
};

}  // namespace fuzz
