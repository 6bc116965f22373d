// Byte mutation and the hand layout of test stores.
#include "tests/support/StoreBytes.h"

#include <zlib.h>

#include <stdexcept>

#include "util/FileStream.h"

namespace testsupport {

std::string Bytes(const std::string& path) {
  std::string out;
  if (!util::ReadWholeFile(path, out)) throw std::runtime_error("cannot read " + path);
  return out;
}

void PutBytes(const std::string& path, const std::string& bytes) {
  if (!util::WriteWholeFile(path, bytes)) throw std::runtime_error("cannot write " + path);
}

int32_t Int32At(const std::string& bytes, int64_t offset) {
  if (offset < 0 || static_cast<size_t>(offset) + store::PositionSize > bytes.size())
    throw std::out_of_range("Int32At");
  return store::GetInt32(bytes.data() + offset);
}

void SetInt32(const std::string& path, int64_t offset, int32_t value) {
  std::string b = Bytes(path);
  store::PutInt32(&b[static_cast<size_t>(offset)], value);
  PutBytes(path, b);
}

void FlipByte(const std::string& path, int64_t offset) {
  std::string b = Bytes(path);
  b[static_cast<size_t>(offset)] = static_cast<char>(b[static_cast<size_t>(offset)] ^ 0x5A);
  PutBytes(path, b);
}

void Truncate(const std::string& path, size_t size) { PutBytes(path, Bytes(path).substr(0, size)); }

std::string RecordData(const std::string& bytes, int32_t position) {
  const uint8_t encoding = static_cast<uint8_t>(bytes.at(position + store::RecordEncodingOffset));
  const int32_t s = StoredLengthAt(bytes, position);
  const int32_t o = Int32At(bytes, position + store::RecordDataLengthOffset);
  const std::string stored = bytes.substr(position + store::RecordHeaderSize, s);
  if (encoding != store::ZlibEncoding) return stored;
  std::string out(static_cast<size_t>(o) + 1, '\0');
  uLongf len = static_cast<uLongf>(out.size());
  if (uncompress(reinterpret_cast<Bytef*>(&out[0]), &len,
                 reinterpret_cast<const Bytef*>(stored.data()), static_cast<uLong>(s)) != Z_OK)
    throw std::runtime_error("record does not inflate");
  out.resize(len);
  return out;
}

std::string IndexData(const std::vector<std::string>& names) {
  std::string d;
  for (const auto& n : names) d += n + "\r\n";
  return d + std::string(1, '\0');
}

int32_t StoredLengthAt(const std::string& bytes, int32_t position) {
  return Int32At(bytes, position + store::RecordStoredLengthOffset);
}

int32_t RecordPositionAt(const std::string& bytes, int32_t position, int i) {
  return Int32At(bytes, position + store::RecordHeaderSize + StoredLengthAt(bytes, position) +
                            static_cast<int64_t>(store::PositionSize) * i);
}

int32_t BlockLengthAt(const std::string& bytes, int32_t position) {
  return Int32At(bytes, position - store::BlockPrefixSize);
}

int32_t TopIndexPosition(const std::string& bytes) {
  return Int32At(bytes, Int32At(bytes, store::RootCellOffset));
}

StoreBuilder::StoreBuilder() {
  bytes_.assign(store::MagicText, store::MagicSize);
  bytes_.append(store::HeaderFieldsSize, '\0');
  std::string cell(store::RootCellBlockSize, '\0');
  store::PutInt32(&cell[0], store::RootCellBlockSize);
  store::PutInt32(&cell[store::BlockPrefixSize], store::NoPosition);
  bytes_ += cell;
}

int32_t StoreBuilder::AddBlock(const std::string& payload) {
  const int32_t at = NextPosition();
  std::string len(store::BlockPrefixSize, '\0');
  store::PutInt32(&len[0], static_cast<int32_t>(payload.size()) + store::BlockPrefixSize);
  bytes_ += len + payload;
  return at;
}

int32_t StoreBuilder::AddRecord(uint8_t kind, const std::string& data,
                                const std::vector<int32_t>& positions, bool compress,
                                int32_t blockLength) {
  std::string stored = data;
  if (compress) {
    uLongf len = compressBound(static_cast<uLong>(data.size()));
    stored.assign(len, '\0');
    ::compress(reinterpret_cast<Bytef*>(&stored[0]), &len,
               reinterpret_cast<const Bytef*>(data.data()), static_cast<uLong>(data.size()));
    stored.resize(len);
  }
  std::string rec(store::RecordHeaderSize, '\0');
  rec[store::RecordKindOffset] = static_cast<char>(kind);
  rec[store::RecordEncodingOffset] =
      static_cast<char>(compress ? store::ZlibEncoding : store::PlainEncoding);
  store::PutInt32(&rec[store::RecordStoredLengthOffset], static_cast<int32_t>(stored.size()));
  store::PutInt32(&rec[store::RecordDataLengthOffset], static_cast<int32_t>(data.size()));
  rec += stored;
  for (int32_t p : positions) {
    std::string v(store::PositionSize, '\0');
    store::PutInt32(&v[0], p);
    rec += v;
  }
  const int32_t at = AddBlock(rec);
  if (blockLength != 0) store::PutInt32(&bytes_[at - store::BlockPrefixSize], blockLength);
  return at;
}

std::string StoreBuilder::Finish(const std::vector<int32_t>& freePositions,
                                 const std::vector<int32_t>& freeSizes) {
  std::string out = bytes_;
  store::PutInt32(&out[store::RootCellOffset], store::FirstPayload);
  store::PutInt32(&out[store::DataEndOffset], static_cast<int32_t>(bytes_.size()));
  store::PutInt32(&out[store::FirstPayload], top_);
  const size_t n = freePositions.size();
  std::string list(static_cast<size_t>(store::FreeListBytes(static_cast<int64_t>(n))), '\0');
  store::PutInt32(&list[0], static_cast<int32_t>(n));
  for (size_t i = 0; i < n; ++i) {
    store::PutInt32(&list[store::FreeListCountSize + store::PositionSize * i], freePositions[i]);
    store::PutInt32(&list[store::FreeListCountSize + store::PositionSize * (n + i)], freeSizes[i]);
  }
  return out + list;
}

}  // namespace testsupport
