// A short script of key-path operations, with key paths and data taken from
// the input, run on a store file made of the input's remaining bytes.
// Input: count (low 3 bits), then per operation: kind, key length, key,
// data length, data; the rest is the store file.
#include <cstdint>
#include <cstdlib>

#include "FuzzCommon.h"
#include "store/FileMan1.h"

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
  const bool sound = fuzz::SeriousFaults(original) == 0;
  fuzz::WriteScratch(original);
  const std::string& path = fuzz::ScratchPath();
  for (const Op& op : ops) {
    util::TStringList lines;
    lines.SetText(op.payload);
    int result = 0;
    switch (op.kind % 6) {
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
    }
    (void)result;
  }
  if (sound && fuzz::SeriousFaults(fuzz::ReadScratch()) != 0) std::abort();
  return 0;
}
