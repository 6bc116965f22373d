// The rollback journal's stored form: one encoder and one decoder, which
// the held-write layer's commit and the recovery on opening both go
// through. The layout is documented with the store format in FileMan1.h.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "store/Format.h"

namespace store {

// The journal's path: the store's path plus app::JournalExt.
std::string JournalPath(const std::string& storePath);

// The original bytes of one stretch of the store file.
struct TJournalRange {
  int32_t Offset = 0;
  std::string Bytes;
};

// What a journal holds: enough to put the store file back as it was.
struct TJournalImage {
  int32_t OriginalLength = 0;
  std::vector<TJournalRange> Ranges;
};

// Lays a journal out range by range, so that a caller can read a range's
// original bytes straight into place: magic and original length first, then
// each range's head and bytes, then the count and the check value.
class TJournalWriter {
 public:
  // reserve: the whole journal's length, when the caller knows it.
  explicit TJournalWriter(int32_t originalLength, size_t reserve = 0);
  // Appends a range of k > 0 bytes at offset; returns room for its bytes,
  // valid until the next call.
  char* AddRange(int32_t offset, int32_t k);
  // Fills in the count and appends the check value: the journal's bytes.
  const std::string& Finish();

 private:
  std::string out_;
  int32_t count_ = 0;
  bool finished_ = false;
};

std::string EncodeJournal(const TJournalImage& journal);

// Whether bytes are a whole journal: magic, check value, and ranges that lie
// inside the original length and fill the body exactly. Sets length. False
// for one torn while it was being written (the store was then never
// touched), or one that is not a journal at all.
bool CheckJournal(const std::string& bytes, int32_t& length);
// Calls take(offset, bytes, k) for each range of a journal CheckJournal
// passed, in order; stops at the first false and returns it.
template <class Take>
bool EachJournalRange(const std::string& bytes, Take take) {
  const int32_t count = GetInt32(bytes.data() + JournalCountOffset);
  size_t at = JournalHeaderSize;
  for (int32_t i = 0; i < count; ++i) {
    const int32_t offset = GetInt32(bytes.data() + at);
    const int32_t k = GetInt32(bytes.data() + at + JournalRangeLengthOffset);
    at += JournalRangeHeadSize;
    if (!take(offset, bytes.data() + at, k)) return false;
    at += static_cast<size_t>(k);
  }
  return true;
}

// The image of a whole journal; false (and an empty image) for any other bytes.
bool DecodeJournal(const std::string& bytes, TJournalImage& journal);
// The store file's bytes as playing the journal back leaves them.
void ApplyJournal(const TJournalImage& journal, std::string& storeBytes);

}  // namespace store
