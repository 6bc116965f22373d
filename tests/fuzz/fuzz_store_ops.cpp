// A short script of key-path operations, with key paths and data taken from
// the input, run on a store file made of the input's remaining bytes; some
// of them cut by a simulated power cut, and a journal laid next to the store.
// Input: count (low 3 bits), then per operation: kind, key length, key,
// data length, data; the rest is the store file.
#include <cstdint>
#include <cstdlib>

#include "FuzzCommon.h"
#include "store/FileMan1.h"
#include "store/Journal.h"

namespace {
struct Reader {
  const uint8_t* p;
  size_t n;
  uint8_t Byte() { return n ? (--n, *p++) : 0; }
  std::string Bytes(size_t want) {
    const size_t k = want < n ? want : n;
    std::string s(reinterpret_cast<const char*>(p), k);
    p += k;
    n -= k;
    return s;
  }
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Reader in{data, size};
  struct Op {
    uint8_t kind;
    std::string key, payload;
  };
  std::vector<Op> ops(in.Byte() & 7);
  for (Op& op : ops) {
    op.kind = in.Byte();
    op.key = in.Bytes(in.Byte() & 31);
    op.payload = in.Bytes(in.Byte());
  }
  const std::string original = in.Bytes(in.n);
  bool sound = fuzz::SeriousFaults(original) == 0;
  fuzz::WriteScratch(original);
  const std::string& path = fuzz::ScratchPath();
  for (const Op& op : ops) {
    util::TStringList lines;
    lines.SetText(op.payload);
    int result = 0;
    switch (op.kind % 8) {
      case 0: result = store::ReadStoreLines(lines, op.key, path); break;
      case 1: result = store::WriteStoreLines(op.key, &lines, path); break;
      case 2: result = store::WriteStoreLines(op.key, nullptr, path); break;
      case 3: result = store::RenameStoreItem(op.key, op.payload, path); break;
      case 4: {
        store::TDataBuf buffer;
        store::ReadStoreBuffer(op.key, &buffer, path);
        break;
      }
      case 5: {
        // Write, then the same path must read back the same lines (lines
        // are read as text up to the first NUL, so only NUL-free ones).
        result = store::WriteStoreLines(op.key, &lines, path);
        util::TStringList back;
        const int r = store::ReadStoreLines(back, op.key, path);
        if (sound && result == 0 && r == 0 && op.payload.find('\0') == std::string::npos &&
            op.key.find_first_not_of('\xFF') != std::string::npos && back.Text() != lines.Text())
          std::abort();
        break;
      }
      case 6: {
        // A write cut after a few of its writes (the last one torn for an
        // odd key length): the next opening finds the item as it was or as
        // written, never anything else.
        util::TStringList before, back;
        const int b = store::ReadStoreLines(before, op.key, path);
        {
          fuzz::PowerCut cut(static_cast<int>(op.payload.size() % 8), op.key.size() % 2 == 1);
          store::WriteStoreLines(op.key, &lines, path);
        }
        const int r = store::ReadStoreLines(back, op.key, path);
        if (sound && b == 0 && r == 0 && op.payload.find('\0') == std::string::npos &&
            op.key.find_first_not_of('\xFF') != std::string::npos &&
            back.Text() != before.Text() && back.Text() != lines.Text())
          std::abort();
        break;
      }
      case 7: {
        // A whole journal next to the store, as a cut would leave it but
        // with ranges from the input: the next opening plays it back (or,
        // outside the original length, drops it). The bytes are arbitrary,
        // so the store is no longer known to be sound.
        store::TJournalImage j;
        const int64_t size = util::FileExists(path) ? static_cast<int64_t>(fuzz::ReadScratch().size()) : 0;
        j.OriginalLength = static_cast<int32_t>(size - static_cast<uint8_t>(op.key.size()) % 4);
        const uint16_t at = op.payload.size() >= 2
            ? static_cast<uint16_t>(static_cast<uint8_t>(op.payload[0]) | (static_cast<uint8_t>(op.payload[1]) << 8))
            : 0;
        if (op.payload.size() > 2) j.Ranges.push_back({at, op.payload.substr(2)});
        util::WriteWholeFile(store::JournalPath(path), store::EncodeJournal(j));
        sound = false;
        break;
      }
    }
    (void)result;
  }
  // What the engine sees: a journal a cut left is played back first.
  store::RecoverStore(path);
  if (sound && fuzz::SeriousFaults(fuzz::ReadScratch()) != 0) std::abort();
  return 0;
}
