// A store file parsed read-only from its bytes, for lnstore's ls, dump and
// check: nothing here opens the file for work, so looking never writes.
#pragma once
#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace tools {

// One record as found at a payload position.
struct ImageRecord {
  int32_t Position = -1;
  int32_t BlockLength = 0;
  uint8_t Kind = 0, Encoding = 0;
  int32_t StoredLength = 0, UncompressedLength = 0;
  std::string Data;                    // inflated when the encoding is 1
  std::vector<std::string> Names;      // index records: the entry names
  std::vector<int32_t> Positions;      // index records: the entries' records
};

class StoreImage {
 public:
  explicit StoreImage(std::string bytes);

  // Header and free list usable; otherwise HeaderFault() says why.
  bool Readable() const { return headerFault_.empty(); }
  const std::string& HeaderFault() const { return headerFault_; }
  int32_t RootCell() const { return rootCell_; }
  int32_t DataEnd() const { return dataEnd_; }
  // The top index's position (-1 when the store has none yet).
  int32_t TopIndex() const { return top_; }
  const std::vector<int32_t>& FreePositions() const { return freePositions_; }
  const std::vector<int32_t>& FreeSizes() const { return freeSizes_; }

  // Reads the record at position; false with fault set when it is outside
  // the blocks, does not fit its block, or does not inflate to O bytes.
  bool ReadRecord(int32_t position, ImageRecord& record, std::string& fault) const;
  // Follows the folder names from the top index (ignoring case); -1 when a
  // name is absent, and fault set when a record on the way is not sound.
  int32_t Resolve(const std::vector<std::string>& path, std::string& fault) const;

  // The whole check: one line per fault through report; returns the count.
  int Check(const std::function<void(const std::string&)>& report, std::string& summary) const;

 private:
  int32_t At(int64_t offset) const;
  void CheckFreeList(const std::function<void(const std::string&)>& report, int& faults) const;
  std::set<int32_t> WalkBlocks(const std::function<void(const std::string&)>& report,
                               int& faults) const;

  std::string bytes_;
  std::string headerFault_;
  int32_t rootCell_ = -1, dataEnd_ = 0, top_ = -1;
  std::vector<int32_t> freePositions_, freeSizes_;
};

// Splits a command-line key path at "/" into its non-empty names.
std::vector<std::string> SplitSlashPath(const std::string& path);

}  // namespace tools
