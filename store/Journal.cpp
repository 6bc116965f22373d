// The rollback journal: its stored form, playback on opening, and the
// held-write layer that writes it before the store is touched.
#include "store/Journal.h"

#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <optional>

#include "app/Version.h"
#include "store/Format.h"
#include "util/Errors.h"

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

std::string EncodeJournal(const TJournalImage& journal) {
  size_t n = JournalHeaderSize + JournalTrailerSize;
  for (const TJournalRange& r : journal.Ranges) n += JournalRangeHeadSize + r.Bytes.size();
  std::string out;
  out.reserve(n);
  out.append(JournalMagic, JournalMagicSize);
  AppendInt32(out, journal.OriginalLength);
  AppendInt32(out, static_cast<int32_t>(journal.Ranges.size()));
  for (const TJournalRange& r : journal.Ranges) {
    AppendInt32(out, r.Offset);
    AppendInt32(out, static_cast<int32_t>(r.Bytes.size()));
    out += r.Bytes;
  }
  AppendInt32(out, static_cast<int32_t>(Crc(out.data(), out.size())));
  return out;
}

namespace {
// Whether bytes are a whole journal: magic, check value, and ranges that lie
// inside the original length and fill the body exactly. Sets length.
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

// Calls take(offset, bytes, k) for each range of a journal CheckJournal
// passed; stops at the first false.
template <class Take>
bool EachRange(const std::string& bytes, Take take) {
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
}  // namespace

bool DecodeJournal(const std::string& bytes, TJournalImage& journal) {
  journal = TJournalImage();
  int32_t length;
  if (!CheckJournal(bytes, length)) return false;
  journal.OriginalLength = length;
  return EachRange(bytes, [&](int32_t offset, const char* data, int32_t k) {
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

namespace {
// The whole of an opened journal; false when it cannot be read.
bool ReadJournal(util::TFileStream& j, std::string& bytes) {
  const int64_t size = j.Size();
  if (size < 0 || size > INT32_MAX) return false;
  bytes.assign(static_cast<size_t>(size), '\0');
  return size == 0 || (j.Seek(0) == 0 && j.Read(&bytes[0], static_cast<int32_t>(size)) == size);
}

// Writes the original bytes back, cuts the file to its original length and
// flushes it.
bool PlayBack(util::TFileStream& store, const std::string& journal, int32_t length) {
  return EachRange(journal,
                   [&](int32_t offset, const char* data, int32_t k) {
                     return store.Seek(offset) == offset && store.Write(data, k) == k;
                   }) &&
         store.SetSize(length) && store.Flush();
}

// Empties the journal once it has done its work. The file itself stays for
// the next operation: a name already in its folder needs no folder sync
// before that operation may touch the store. An empty journal holds nothing
// to play back; one that cannot be emptied is deleted instead. The stream
// the operation or the recovery already holds is used when there is one.
bool Retire(std::optional<util::TFileStream>& journal, const std::string& path) {
  if (!journal) {
    try {
      journal.emplace(path, util::TFileStream::OpenExisting);
    } catch (const util::EGeneralError&) {
      // held by someone else, or gone: the deletion below says which
    }
  }
  if (journal && journal->SetSize(0)) return true;
  journal.reset();
  return util::RemoveFile(path);
}
}  // namespace

JournalState InspectJournal(const std::string& storePath, TJournalImage* image) {
  const std::string path = JournalPath(storePath);
  if (util::FileSize(path) <= 0) return JournalState::None;
  std::string bytes;
  TJournalImage journal;
  if (!util::ReadWholeFile(path, bytes) || !DecodeJournal(bytes, journal)) return JournalState::Torn;
  // The store's length, without the exclusive opening the engine uses.
  int64_t storeLength = -1;
  if (std::FILE* f = std::fopen(storePath.c_str(), "rb")) {
    if (std::fseek(f, 0, SEEK_END) == 0) storeLength = std::ftell(f);
    std::fclose(f);
  }
  if (storeLength < journal.OriginalLength) return JournalState::Stale;
  if (image) *image = std::move(journal);
  return JournalState::Hot;
}

bool RecoverStore(util::TFileStream& store, const std::string& storePath) {
  const std::string path = JournalPath(storePath);
  if (util::FileSize(path) <= 0) return false;  // none, or the empty one kept between operations
  // A journal that cannot be opened raises util::EFOpenError from here.
  std::optional<util::TFileStream> journal(std::in_place, path, util::TFileStream::OpenExisting);
  std::string bytes;
  if (!ReadJournal(*journal, bytes)) throw util::EFOpenError("Cannot read \"" + path + "\".");
  // A torn journal was never complete, so the store was never touched: the
  // journal is only emptied. A cut operation only ever lengthens the store:
  // a store shorter than the journal's original length was replaced since,
  // and the journal is not its own. Playing a hot one back twice does no
  // harm, so one that could not be retired is played back again next time.
  int32_t length = 0;
  const bool hot = CheckJournal(bytes, length) && store.Size() >= length;
  if (hot && !PlayBack(store, bytes, length))
    throw util::EFOpenError("Cannot play back \"" + path + "\" onto \"" + storePath + "\".");
  Retire(journal, path);
  return hot;
}

bool RecoverStore(const std::string& storePath) {
  if (!util::FileExists(storePath)) {
    // A journal without its store belongs to nothing that could be repaired.
    return false;
  }
  util::TFileStream store(storePath, util::TFileStream::OpenExisting);
  return RecoverStore(store, storePath);
}

TJournaledFile::TJournaledFile(const std::string& path, util::TFileStream::Mode mode)
    : file_(path, mode), journalPath_(JournalPath(path)) {
  if (mode == util::TFileStream::OpenExisting) {
    RecoverStore(file_, path);
    return;  // its length is asked for when needed
  }
  diskSize_ = size_ = 0;  // made new, or emptied
  if (util::FileSize(journalPath_) > 0) {
    // The store was missing: a journal left without it describes a file
    // that is gone, and played back onto the new one it would only make a
    // damaged store of it.
    std::optional<util::TFileStream> journal;
    Retire(journal, journalPath_);
  }
}

int64_t TJournaledFile::Seek(int64_t pos) {
  if (pos < 0) return -1;
  pos_ = pos;
  return pos_;
}

int32_t TJournaledFile::Read(void* buf, int32_t n) {
  if (n <= 0) return 0;
  if (pending_.empty()) {
    // Nothing held: the file's bytes as they are, as far as it goes.
    const int32_t got = file_.Seek(pos_) == pos_ ? file_.Read(buf, n) : 0;
    pos_ += got;
    return got;
  }
  if (pos_ >= size_) return 0;
  char* to = static_cast<char*>(buf);
  int32_t avail = static_cast<int32_t>(std::min<int64_t>(n, size_ - pos_));
  const int32_t fromDisk =
      static_cast<int32_t>(std::clamp<int64_t>(diskSize_ - pos_, 0, avail));
  if (fromDisk > 0) {
    const int32_t got = file_.Seek(pos_) == pos_ ? file_.Read(to, fromDisk) : 0;
    if (got < fromDisk) avail = got;  // the file failed us: report what came
  }
  if (avail > fromDisk) std::memset(to + fromDisk, 0, static_cast<size_t>(avail - fromDisk));
  // Held writes over the stretch read replace the file's bytes: the
  // stretch that starts last at or before pos_, and those after it up to
  // the end of the read.
  const int64_t end = pos_ + avail;
  auto run = FirstRunFrom(pos_);
  if (run != pending_.begin() && std::prev(run)->End() > pos_) --run;
  for (; run != pending_.end() && run->At < end; ++run) {
    const int64_t from = std::max(run->At, pos_);
    const int64_t upTo = std::min(run->End(), end);
    if (from < upTo)
      std::memcpy(to + (from - pos_), run->Bytes.data() + (from - run->At),
                  static_cast<size_t>(upTo - from));
  }
  pos_ += avail;
  return avail;
}

int32_t TJournaledFile::Write(const void* buf, int32_t n) {
  if (n <= 0) return 0;
  KnowDiskSize();
  Hold(pos_, static_cast<const char*>(buf), n);
  pos_ += n;
  size_ = std::max(size_, pos_);
  return n;
}

// The first held stretch that starts after at.
std::vector<TJournaledFile::TRun>::iterator TJournaledFile::FirstRunFrom(int64_t at) {
  return std::upper_bound(pending_.begin(), pending_.end(), at,
                          [](int64_t a, const TRun& run) { return a < run.At; });
}

// Keeps the held stretches apart: the new bytes land in the stretch that
// already holds all of them, or replace the stretches they overlap or touch
// by one that spans them all, with the new bytes over the old.
void TJournaledFile::Hold(int64_t at, const char* bytes, int32_t n) {
  const int64_t end = at + n;
  // The first stretch that could overlap or touch: the last one starting at
  // or before at, if it reaches at; otherwise the next.
  auto first = FirstRunFrom(at);
  if (first != pending_.begin() && std::prev(first)->End() >= at) --first;
  if (first != pending_.end() && first->At <= at && first->End() >= end) {
    std::memcpy(&first->Bytes[static_cast<size_t>(at - first->At)], bytes, static_cast<size_t>(n));
    return;
  }
  auto last = first;
  while (last != pending_.end() && last->At <= end) ++last;
  if (first == last) {
    pending_.insert(first, TRun{at, std::string(bytes, static_cast<size_t>(n))});
    return;
  }
  const int64_t start = std::min(at, first->At);
  const int64_t stop = std::max(end, std::prev(last)->End());
  std::string joined(static_cast<size_t>(stop - start), '\0');
  for (auto run = first; run != last; ++run)
    std::memcpy(&joined[static_cast<size_t>(run->At - start)], run->Bytes.data(),
                run->Bytes.size());
  std::memcpy(&joined[static_cast<size_t>(at - start)], bytes, static_cast<size_t>(n));
  first->At = start;
  first->Bytes = std::move(joined);
  pending_.erase(first + 1, last);
}

// Writes the journal over the empty one the last operation left (or a new
// one), cuts off whatever an earlier failure left behind it, and flushes.
bool TJournaledFile::WriteJournal(std::optional<util::TFileStream>& j, const std::string& bytes) {
  try {
    j.emplace(journalPath_, util::TFileStream::OpenAlways);
  } catch (const util::EGeneralError&) {
    return false;
  }
  const int32_t n = static_cast<int32_t>(bytes.size());
  return j->Seek(0) == 0 && j->Write(bytes.data(), n) == n && (j->Size() <= n || j->SetSize(n)) &&
         j->Flush();
}

bool TJournaledFile::WriteHeld() {
  for (const TRun& run : pending_) {
    const int32_t n = static_cast<int32_t>(run.Bytes.size());
    if (file_.Seek(run.At) != run.At || file_.Write(run.Bytes.data(), n) != n) return false;
  }
  return file_.Flush();
}

void TJournaledFile::Drop() {
  pending_.clear();
  if (diskSize_ >= 0) size_ = diskSize_;  // otherwise nothing was written yet
}

bool TJournaledFile::Commit() {
  if (pending_.empty()) return true;
  // The journal, laid out as EncodeJournal does: the original bytes under
  // every held stretch that overwrites the file, read straight into place
  // from the file (which none of them has reached yet). The stretches do
  // not overlap, so neither do the ranges.
  size_t journalSize = JournalHeaderSize + JournalTrailerSize;
  for (const TRun& run : pending_)
    if (run.At < diskSize_)
      journalSize += JournalRangeHeadSize + static_cast<size_t>(std::min(run.End(), diskSize_) - run.At);
  std::string journal;
  journal.reserve(journalSize);
  journal.append(JournalMagic, JournalMagicSize);
  AppendInt32(journal, static_cast<int32_t>(diskSize_));
  AppendInt32(journal, 0);
  int32_t count = 0;
  for (const TRun& run : pending_) {
    if (run.At >= diskSize_) break;  // in order of position: the rest lie beyond too
    const int32_t k = static_cast<int32_t>(std::min(run.End(), diskSize_) - run.At);
    AppendInt32(journal, static_cast<int32_t>(run.At));
    AppendInt32(journal, k);
    const size_t to = journal.size();
    journal.resize(to + static_cast<size_t>(k));
    if (file_.Seek(run.At) != run.At || file_.Read(&journal[to], k) != k) {
      Drop();
      return false;
    }
    ++count;
  }
  PutInt32(&journal[JournalCountOffset], count);
  AppendInt32(journal, static_cast<int32_t>(Crc(journal.data(), journal.size())));
  std::optional<util::TFileStream> j;
  if (!WriteJournal(j, journal)) {
    // The store was not touched; what there is of the journal is torn.
    Retire(j, journalPath_);
    Drop();
    return false;
  }
  if (!WriteHeld()) {
    // Part of the operation may be in the store: undo it now, or, when even
    // that fails, leave the journal hot for the next opening.
    if (PlayBack(file_, journal, static_cast<int32_t>(diskSize_))) Retire(j, journalPath_);
    Drop();
    return false;
  }
  diskSize_ = size_;
  pending_.clear();
  // Emptying the journal ends the operation. It needs no flush: should the
  // emptying be lost to a cut, the next opening plays the journal back, and
  // the store is as it was before, which is whole too. A journal that could
  // not be emptied would undo this operation on the next opening: the
  // caller is told, as the operation will not last.
  return Retire(j, journalPath_);
}

}  // namespace store
