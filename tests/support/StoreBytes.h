// Helpers of the store tests: byte-level mutation of store files, and a builder that lays out
// a store by hand (for damaged and hostile files).
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "store/FileMan1.h"

namespace testsupport {

std::string Bytes(const std::string& path);
void PutBytes(const std::string& path, const std::string& bytes);
int32_t Int32At(const std::string& bytes, int64_t offset);
void SetInt32(const std::string& path, int64_t offset, int32_t value);
void FlipByte(const std::string& path, int64_t offset);
void Truncate(const std::string& path, size_t size);

// The data of a record as stored, inflated when its encoding is 1.
std::string RecordData(const std::string& bytes, int32_t position);
// "a" CR LF "b" CR LF NUL: the data of an index record.
std::string IndexData(const std::vector<std::string>& names);
// Fields of the record at a payload position: S, position i (0 is the first
// after the data) and the length of the block holding it.
int32_t StoredLengthAt(const std::string& bytes, int32_t position);
int32_t RecordPositionAt(const std::string& bytes, int32_t position, int i);
int32_t BlockLengthAt(const std::string& bytes, int32_t position);
// The top index's position (through the root cell).
int32_t TopIndexPosition(const std::string& bytes);

// Lays out a store block by block: the root cell first, then the records in
// the order they are added, then a free list.
class StoreBuilder {
 public:
  StoreBuilder();
  // Position the next record will get.
  int32_t NextPosition() const {
    return static_cast<int32_t>(bytes_.size()) + store::BlockPrefixSize;
  }
  // Appends a record; blockLength 0 means the exact length.
  int32_t AddRecord(uint8_t kind, const std::string& data, const std::vector<int32_t>& positions,
                    bool compress = true, int32_t blockLength = 0);
  // Appends raw bytes as a block of the given length (prefix included).
  int32_t AddBlock(const std::string& payload);
  void SetTop(int32_t position) { top_ = position; }
  // Header, root cell and free list filled in.
  std::string Finish(const std::vector<int32_t>& freePositions = {},
                     const std::vector<int32_t>& freeSizes = {});

 private:
  std::string bytes_;
  int32_t top_ = -1;
};

}  // namespace testsupport
