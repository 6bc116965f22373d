// Shared pieces of the store's fuzz targets: a scratch store file, a silent
// message hook, and check's walk as an oracle.
#pragma once
#include <cstdint>
#include <string>

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

}  // namespace fuzz
