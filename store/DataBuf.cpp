// Record buffers: filling, wiping and the single-call zlib conversions.
#include "store/DataBuf.h"

#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "util/FileStream.h"
#include "util/Message.h"
#include "util/Text.h"

namespace store {

namespace {
// The zlib interface version the store names; zlib compares its first digit.
const char* const ZlibVersionText = "1.0.4";
const char* const InflateErrorCaption = "Inflate Error";

// zlib's working memory, kept between conversions. A deflate stream with
// memory level 9 asks for about 400 KB in five blocks, an inflate stream for
// one; every record written or read sets one up and tears it down again, and
// fresh blocks of that size come straight from the system, page faults and
// all. Freed blocks are therefore kept here, by size, and handed out again to
// the next stream that asks for the same size. zlib's output depends only on
// its input and parameters, never on where its memory comes from, so the
// stored bytes are the same either way.
//
// Each block carries its size in a header in front of what zlib sees, since
// zfree is not told the size. A block is zero-filled when it comes back, so
// copies of a caller's data in the window do not linger and a reused block is
// handed out clean. The cache is process-wide and, like the store, used from
// one thread; it holds a few blocks and a bounded number of bytes, anything
// beyond is freed at once.
namespace zmem {
constexpr size_t HeaderSize =
    alignof(std::max_align_t) > sizeof(size_t) ? alignof(std::max_align_t) : sizeof(size_t);
constexpr int MaxBlocks = 8;
constexpr size_t MaxBytes = size_t(1) << 20;

struct Cache {
  unsigned char* Blocks[MaxBlocks];  // each points at its header
  int Count;
  size_t Bytes;
};
Cache cache;  // constant-initialised: usable before and after static construction

size_t SizeOf(const unsigned char* block) {
  size_t size;
  std::memcpy(&size, block, sizeof size);
  return size;
}

voidpf Alloc(voidpf, uInt items, uInt size) {
  const uint64_t want = static_cast<uint64_t>(items) * size;
  if (want == 0 || want > SIZE_MAX - HeaderSize) return Z_NULL;
  const size_t n = static_cast<size_t>(want);
  for (int i = cache.Count - 1; i >= 0; --i) {
    unsigned char* block = cache.Blocks[i];
    if (SizeOf(block) != n) continue;
    cache.Blocks[i] = cache.Blocks[--cache.Count];
    cache.Bytes -= n;
    return block + HeaderSize;
  }
  unsigned char* block = static_cast<unsigned char*>(std::malloc(HeaderSize + n));
  if (!block) return Z_NULL;
  std::memcpy(block, &n, sizeof n);
  return block + HeaderSize;
}

void Free(voidpf, voidpf address) {
  if (!address) return;
  unsigned char* block = static_cast<unsigned char*>(address) - HeaderSize;
  const size_t n = SizeOf(block);
  if (cache.Count == MaxBlocks || n > MaxBytes - cache.Bytes) {
    std::free(block);
    return;
  }
  std::memset(address, 0, n);
  cache.Blocks[cache.Count++] = block;
  cache.Bytes += n;
}

void Use(z_stream& z) {
  z.zalloc = Alloc;
  z.zfree = Free;
  z.opaque = Z_NULL;
}
}  // namespace zmem

std::unique_ptr<char[]> NewBytes(const void* source, int32_t length) {
  std::unique_ptr<char[]> bytes(new char[static_cast<size_t>(length) + 1]);
  if (source)
    std::memcpy(bytes.get(), source, static_cast<size_t>(length));
  else
    std::memset(bytes.get(), '0', static_cast<size_t>(length));
  bytes[length] = '\0';
  return bytes;
}
}  // namespace

TDataBuf::TDataBuf(const void* source, int32_t length) { SetData(source, length); }

TDataBuf::~TDataBuf() {
  if (data_) Clear();
}

void TDataBuf::ReleaseData(bool wipe) {
  if (data_ && wipe) {
    // Through a volatile pointer so the wipe is not dropped as a dead store.
    volatile char* p = data_.get();
    for (int32_t i = 0; i < storedLength_; ++i) p[i] = 0;
  }
  data_.reset();
}

void TDataBuf::Adopt(std::unique_ptr<char[]> bytes, int32_t length) {
  data_ = std::move(bytes);
  storedLength_ = length;
}

void TDataBuf::SetData(const void* source, int32_t length) {
  Clear();
  if (length < 0) length = 0;
  Adopt(NewBytes(source, length), length);
  uncompressedLength_ = length;
  wipeOnFree_ = true;
}

void TDataBuf::SetStored(const void* source, int32_t length) {
  if (length < 0) length = 0;
  std::unique_ptr<char[]> bytes = NewBytes(source, length);  // source may be our own data
  ReleaseData(false);
  Adopt(std::move(bytes), length);
}

void TDataBuf::Clear() {
  Kind = Attribute = Reserved = Encoding = 0;
  ReleaseData(wipeOnFree_);
  storedLength_ = 0;
  uncompressedLength_ = 0;
}

std::string TDataBuf::AsText() const {
  if (!data_) return std::string();
  const void* nul = std::memchr(data_.get(), 0, static_cast<size_t>(storedLength_));
  const size_t n = nul ? static_cast<size_t>(static_cast<const char*>(nul) - data_.get())
                       : static_cast<size_t>(storedLength_);
  return std::string(data_.get(), n);
}

// trunc(S * 1.2 + 16) in integers: the same value a double product gives,
// without the x87 extended precision of 32-bit builds turning 120 into 119.99.
int64_t TDataBuf::CompressRoom(int32_t storedLength) {
  const int64_t s = storedLength < 0 ? 0 : storedLength;
  return s * 6 / 5 + 16;
}

std::string TDataBuf::ZlibErrorText(int code) {
  switch (code) {
    case Z_STREAM_ERROR: return "Decompression Error: Z_STREAM_ERROR";
    case Z_MEM_ERROR: return "Decompression Error: Z_MEM_ERROR";
    case Z_BUF_ERROR: return "Decompression Error: Z_BUF_ERROR";
    case Z_VERSION_ERROR: return "Decompression Error: Z_VERSION_ERROR";
  }
  return "Decompression Error: " + util::IntToStr(code);
}

int TDataBuf::Compress() {
  z_stream z;
  std::memset(&z, 0, sizeof z);
  zmem::Use(z);
  int result = deflateInit2_(&z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15, 9, Z_DEFAULT_STRATEGY,
                             ZlibVersionText, static_cast<int>(sizeof(z_stream)));
  if (result == Z_OK) {
    const int64_t room = CompressRoom(storedLength_);
    std::unique_ptr<char[]> out(new char[static_cast<size_t>(room) + 1]);
    uncompressedLength_ = storedLength_;
    z.next_in = reinterpret_cast<Bytef*>(data_.get());
    z.avail_in = static_cast<uInt>(storedLength_);
    z.next_out = reinterpret_cast<Bytef*>(out.get());
    z.avail_out = static_cast<uInt>(room);
    result = deflate(&z, Z_FINISH);
    if (result == Z_STREAM_END) {
      result = deflateEnd(&z);
      if (result == Z_OK) {
        // The output buffer becomes the data as it is (what SetStored would
        // copy it into), NUL after the stream; the old data goes unwiped.
        const int32_t length = static_cast<int32_t>(z.total_out);
        out[length] = '\0';
        ReleaseData(false);
        Adopt(std::move(out), length);
        Encoding = ZlibEncoding;
      }
    } else {
      deflateEnd(&z);  // frees zlib's state; the result stays deflate's
    }
  }
  if (result != Z_OK)
    util::ShowMessage(ZlibErrorText(result), InflateErrorCaption, util::MsgButtons::Ok,
                      util::MsgOwner::Main());
  return result;
}

int TDataBuf::Decompress() {
  z_stream z;
  std::memset(&z, 0, sizeof z);
  zmem::Use(z);
  z.next_in = reinterpret_cast<Bytef*>(data_.get());
  z.avail_in = static_cast<uInt>(storedLength_);
  int result = inflateInit2_(&z, 15, ZlibVersionText, static_cast<int>(sizeof(z_stream)));
  if (result == Z_OK) {
    const int32_t room = uncompressedLength_ > 0 ? uncompressedLength_ : 0;
    std::unique_ptr<char[]> out(new char[static_cast<size_t>(room) + 1]);
    z.next_out = reinterpret_cast<Bytef*>(out.get());
    z.avail_out = static_cast<uInt>(room);
    result = inflate(&z, Z_FINISH);
    if (result == Z_STREAM_END) {
      result = inflateEnd(&z);
      if (result == Z_OK) {
        const int32_t length = static_cast<int32_t>(z.total_out);
        out[length] = '\0';
        ReleaseData(false);
        Adopt(std::move(out), length);
        Encoding = PlainEncoding;
      }
    } else {
      inflateEnd(&z);
    }
  }
  if (result != Z_OK)
    util::ShowMessage(ZlibErrorText(result), InflateErrorCaption, util::MsgButtons::Ok,
                      util::MsgOwner::None());
  return result;
}

void TDataBuf::ReleaseZlibMemory() {
  while (zmem::cache.Count > 0) std::free(zmem::cache.Blocks[--zmem::cache.Count]);
  zmem::cache.Bytes = 0;
}

int TDataBuf::CachedZlibBlocks() { return zmem::cache.Count; }

void TDataBuf::LoadFromFile(const std::string& path) {
  std::string bytes;
  if (util::FileExists(path) && util::ReadWholeFile(path, bytes))
    SetData(bytes.data(), static_cast<int32_t>(bytes.size()));
}

void TDataBuf::SaveToFile(const std::string& path) const {
  util::WriteWholeFile(path, std::string(data_ ? data_.get() : "", storedLength_));
}

}  // namespace store

// zlib's CRC-32, defined here in place of the library's own. The store's
// streams carry the zlib wrapper, whose check value is Adler-32; zlib calls
// crc32 only for gzip streams, which the store never makes or reads, yet its
// deflate and inflate code refer to it. The rollback journal's check value is
// this CRC too (store/Journal.cpp), over every journal a write makes. A
// definition in the program keeps the library's table-driven one, with its
// 8 KB of tables, out of setup.exe (this object is always linked, ahead of
// zlib). It is the same function: the reflected polynomial 0xEDB88320, and 0
// for a null buffer. One 1 KB table of each byte's remainder, filled on the
// first call (in zero-initialised memory, so it adds nothing to the file),
// takes a byte per step instead of a bit; the store runs on one thread.
namespace {
uint32_t crcTable[256];
bool crcTableFilled = false;
}  // namespace

uLong ZEXPORT crc32(uLong crc, const Bytef* buf, uInt len) {
  if (!buf) return 0;
  if (!crcTableFilled) {
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int bit = 0; bit < 8; ++bit) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
      crcTable[n] = c;
    }
    crcTableFilled = true;
  }
  uint32_t c = static_cast<uint32_t>(crc) ^ 0xFFFFFFFFu;
  while (len--) c = crcTable[(c ^ *buf++) & 0xFFu] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}
