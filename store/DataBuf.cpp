// Record buffers: filling, wiping and the single-call zlib conversions.
#include "store/DataBuf.h"

#include <zlib.h>

#include <cstring>

#include "util/FileStream.h"
#include "util/Message.h"
#include "util/Text.h"

namespace store {

namespace {
// The zlib interface version the store names; zlib compares its first digit.
const char* const ZlibVersionText = "1.0.4";
const char* const InflateErrorCaption = "Inflate Error";

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
        SetStored(out.get(), static_cast<int32_t>(z.total_out));
        Encoding = 1;
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
        Encoding = 0;
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

void TDataBuf::LoadFromFile(const std::string& path) {
  std::string bytes;
  if (util::FileExists(path) && util::ReadWholeFile(path, bytes))
    SetData(bytes.data(), static_cast<int32_t>(bytes.size()));
}

void TDataBuf::SaveToFile(const std::string& path) const {
  util::WriteWholeFile(path, std::string(data_ ? data_.get() : "", storedLength_));
}

}  // namespace store
