// The portable part of the file seam: the test seam's plan in force.
#include "util/FileStream.h"

namespace util {

namespace {
TFileFaults* faults = nullptr;  // one thread, like the store
}

TFileFaults* SetFileFaults(TFileFaults* plan) {
  TFileFaults* before = faults;
  faults = plan;
  return before;
}

TFileFaults* FileFaults() { return faults; }

}  // namespace util
