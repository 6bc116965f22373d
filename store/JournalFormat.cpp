// The rollback journal's encoder and decoder.
#include "store/JournalFormat.h"

#include <zlib.h>

#include <algorithm>
#include <cassert>
#include <cstring>

#include "app/Version.h"

namespace store {

std::string JournalPath(const std::string& storePath) { return storePath + app::JournalExt; }

namespace {
uint32_t Crc(const char* bytes, size_t n) {
  uLong crc = crc32(0L, Z_NULL, 0);
  // zlib takes at most uInt bytes at a time.
  while (n > 0) {
    const uInt part = static_cast<uInt>(std::min<size_t>(n, 1u << 30));
    crc = crc32(crc, reinterpret_cast<const Bytef*>(bytes), part);
    bytes += part;
    n -= part;
  }
  return static_cast<uint32_t>(crc);
}

void AppendInt32(std::string& to, int32_t v) {
  char raw[4];
  PutInt32(raw, v);
  to.append(raw, 4);
}
}  // namespace

TJournalWriter::TJournalWriter(int32_t originalLength, size_t reserve) {
  out_.reserve(std::max<size_t>(reserve, JournalHeaderSize + JournalTrailerSize));
  out_.append(JournalMagic, JournalMagicSize);
  AppendInt32(out_, originalLength);
  AppendInt32(out_, 0);  // the count, filled in by Finish
}

char* TJournalWriter::AddRange(int32_t offset, int32_t k) {
  assert(!finished_ && k > 0 && offset >= 0);
  AppendInt32(out_, offset);
  AppendInt32(out_, k);
  const size_t at = out_.size();
  out_.resize(at + static_cast<size_t>(k));
  ++count_;
  return &out_[at];
}

const std::string& TJournalWriter::Finish() {
  if (!finished_) {
    PutInt32(&out_[JournalCountOffset], count_);
    AppendInt32(out_, static_cast<int32_t>(Crc(out_.data(), out_.size())));
    finished_ = true;
  }
  return out_;
}

std::string EncodeJournal(const TJournalImage& journal) {
  size_t n = JournalHeaderSize + JournalTrailerSize;
  for (const TJournalRange& r : journal.Ranges) n += JournalRangeHeadSize + r.Bytes.size();
  TJournalWriter writer(journal.OriginalLength, n);
  for (const TJournalRange& r : journal.Ranges)
    std::memcpy(writer.AddRange(r.Offset, static_cast<int32_t>(r.Bytes.size())), r.Bytes.data(),
                r.Bytes.size());
  return writer.Finish();
}

bool CheckJournal(const std::string& bytes, int32_t& length) {
  const int64_t total = static_cast<int64_t>(bytes.size());
  if (total < JournalHeaderSize + JournalTrailerSize ||
      bytes.compare(0, JournalMagicSize, JournalMagic, JournalMagicSize) != 0)
    return false;
  const int64_t body = total - JournalTrailerSize;
  if (static_cast<uint32_t>(GetInt32(bytes.data() + body)) !=
      Crc(bytes.data(), static_cast<size_t>(body)))
    return false;
  length = GetInt32(bytes.data() + JournalLengthOffset);
  const int32_t count = GetInt32(bytes.data() + JournalCountOffset);
  if (length < 0 || count < 0) return false;
  int64_t at = JournalHeaderSize;
  for (int32_t i = 0; i < count; ++i) {
    if (body - at < JournalRangeHeadSize) return false;
    const int32_t offset = GetInt32(bytes.data() + at);
    const int32_t k = GetInt32(bytes.data() + at + JournalRangeLengthOffset);
    at += JournalRangeHeadSize;
    if (offset < 0 || k <= 0 || static_cast<int64_t>(offset) + k > length || body - at < k)
      return false;
    at += k;
  }
  return at == body;
}

bool DecodeJournal(const std::string& bytes, TJournalImage& journal) {
  journal = TJournalImage();
  int32_t length;
  if (!CheckJournal(bytes, length)) return false;
  journal.OriginalLength = length;
  return EachJournalRange(bytes, [&](int32_t offset, const char* data, int32_t k) {
    journal.Ranges.push_back({offset, std::string(data, static_cast<size_t>(k))});
    return true;
  });
}

void ApplyJournal(const TJournalImage& journal, std::string& storeBytes) {
  for (const TJournalRange& r : journal.Ranges) {
    const size_t end = static_cast<size_t>(r.Offset) + r.Bytes.size();
    if (storeBytes.size() < end) storeBytes.resize(end, '\0');
    storeBytes.replace(static_cast<size_t>(r.Offset), r.Bytes.size(), r.Bytes);
  }
  storeBytes.resize(static_cast<size_t>(journal.OriginalLength), '\0');
}

}  // namespace store
