// TDataBuf: the data of one store record on its way between caller and file,
// with the record's four header bytes and its stored and uncompressed
// lengths; compresses and inflates with zlib.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "store/Format.h"

namespace store {

class TDataBuf {
 public:
  TDataBuf() = default;
  // With a source: SetData(source, length).
  TDataBuf(const void* source, int32_t length);
  ~TDataBuf();
  TDataBuf(const TDataBuf&) = delete;
  TDataBuf& operator=(const TDataBuf&) = delete;

  // New data of length bytes (plus a NUL), copied from source or, without
  // one, the character "0" repeated; both lengths = length; wiped on release.
  void SetData(const void* source, int32_t length);
  // Replaces the bytes without wiping the old ones; only StoredLength changes.
  void SetStored(const void* source, int32_t length);
  // Header bytes 0, data released (zero-filled first when WipeOnFree).
  void Clear();

  bool IsCompressed() const { return Encoding == ZlibEncoding; }
  bool IsEmpty() const { return StoredLength() == 0; }
  // The data up to its first NUL; empty without data.
  std::string AsText() const;

  // zlib result codes, 0 on success; a failure shows "Inflate Error".
  int Compress();
  int Decompress();

  // When the file exists: SetData with its contents.
  void LoadFromFile(const std::string& path);
  // Creates or replaces the file with StoredLength bytes of the data.
  void SaveToFile(const std::string& path) const;

  static std::string ZlibErrorText(int code);
  // zlib's working memory is kept between conversions for reuse (a few
  // blocks, zero-filled while kept); this frees all of it.
  static void ReleaseZlibMemory();
  // How many blocks are kept at the moment.
  static int CachedZlibBlocks();
  // trunc(S * 1.2 + 16): the room deflate is given.
  static int64_t CompressRoom(int32_t storedLength);

  const char* Data() const { return data_.get(); }
  // Writable data bytes, for filling a buffer made with SetStored.
  char* StoredBytes() { return data_.get(); }
  int32_t StoredLength() const { return storedLength_; }
  int32_t UncompressedLength() const { return uncompressedLength_; }
  void SetUncompressedLength(int32_t length) { uncompressedLength_ = length; }
  bool WipeOnFree() const { return wipeOnFree_; }

  // Bytes 0 to 3 of a record.
  uint8_t Kind = 0;       // 1 index, 2 item
  uint8_t Attribute = 0;  // always 0 here
  uint8_t Reserved = 0;   // always 0
  uint8_t Encoding = 0;   // 0 plain, 1 zlib stream

 private:
  void Adopt(std::unique_ptr<char[]> bytes, int32_t length);
  void ReleaseData(bool wipe);

  std::unique_ptr<char[]> data_;
  bool wipeOnFree_ = false;
  int32_t storedLength_ = 0;
  int32_t uncompressedLength_ = 0;
};

}  // namespace store
