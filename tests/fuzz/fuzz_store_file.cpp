// Arbitrary bytes as a store file: the setup's reads and writes, a rename, a
// delete and check's walk must neither crash, leak, loop nor allocate from
// lengths in the file. A store that check finds sound must stay sound and
// give back what was written.
#include <cstdint>
#include <cstdlib>

#include "FuzzCommon.h"
#include "store/FileMan1.h"
#include "tools/lnstore/StoreImage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string original(reinterpret_cast<const char*>(data), size);
  bool sound = fuzz::SeriousFaults(original) == 0;
  if (sound) {
    // A "default" that is an item is no folder: writing through it is refused.
    tools::StoreImage image(original);
    std::string fault;
    tools::ImageRecord r;
    const int32_t folder = image.Resolve({"default"}, fault);
    if (folder != -1 && image.ReadRecord(folder, r, fault) && r.Kind == store::ItemRecord)
      sound = false;
  }
  fuzz::WriteScratch(original);
  const std::string& path = fuzz::ScratchPath();
  const std::string message = "default\xFFmessage", article = "default\xFF" "article";

  util::TStringList lines;
  store::ReadStoreLines(lines, message, path);
  store::ReadStoreLines(lines, "Initialization", path);
  util::TStringList written;
  written.Add("From: fuzz@example");
  written.Add("Host: mail");
  const int w = store::WriteStoreLines(message, &written, path);
  store::RenameStoreItem(article, "posting", path);
  store::WriteStoreLines("default\xFFposting", nullptr, path);
  util::TStringList back;
  const int r = store::ReadStoreLines(back, message, path);

  const std::string after = fuzz::ReadScratch();
  fuzz::SeriousFaults(after);
  if (sound) {
    if (w != 0 || r != 0 || back.Text() != written.Text()) std::abort();
    if (fuzz::SeriousFaults(after) != 0) std::abort();
  }
  return 0;
}
