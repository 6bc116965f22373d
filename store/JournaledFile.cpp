// The held-write layer: reads through held writes, and the commit that
// journals, writes and flushes them.
#include "store/JournaledFile.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <iterator>

#include "store/Format.h"
#include "store/JournalFormat.h"
#include "store/Recovery.h"
#include "util/Errors.h"

namespace store {

TJournaledFile::TJournaledFile(const std::string& path, util::TFileStream::Mode mode)
    : file_(path, mode), journalPath_(JournalPath(path)) {
  if (mode != util::TFileStream::Create) {
    // An existing file keeps its length, which is asked for when needed. A
    // file OpenAlways made is empty: recovery finds a journal beside it
    // stale, or whole with an original length of 0, which can hold no range,
    // so that playing it back leaves the file as it is.
    RecoverStore(file_, path);
    return;
  }
  diskSize_ = 0;  // made new, or emptied
  if (util::FileSize(journalPath_) > 0) {
    // The store was missing: a journal left without it describes a file
    // that is gone, and played back onto the new one it would only make a
    // damaged store of it.
    std::optional<util::TFileStream> journal;
    RetireJournal(journal, journalPath_);
  }
}

int64_t TJournaledFile::DiskSize() {
  if (!diskSize_) diskSize_ = std::max<int64_t>(file_.Size(), 0);
  return *diskSize_;
}

int64_t TJournaledFile::Size() {
  const int64_t held = pending_.empty() ? 0 : pending_.back().End();
  return std::max(DiskSize(), held);
}

void TJournaledFile::CheckInvariants() const {
#ifndef NDEBUG
  assert(pending_.empty() || diskSize_.has_value());
  for (size_t i = 0; i < pending_.size(); ++i) {
    assert(pending_[i].At >= 0 && !pending_[i].Bytes.empty());
    assert(i == 0 || pending_[i - 1].End() < pending_[i].At);
  }
#endif
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
  const int64_t size = Size();
  if (pos_ >= size) return 0;
  char* to = static_cast<char*>(buf);
  int32_t avail = static_cast<int32_t>(std::min<int64_t>(n, size - pos_));
  const int32_t fromDisk =
      static_cast<int32_t>(std::clamp<int64_t>(*diskSize_ - pos_, 0, avail));
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
  DiskSize();  // the journal needs the length the writes start from
  Hold(pos_, static_cast<const char*>(buf), n);
  pos_ += n;
  CheckInvariants();
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

// The journal of the held writes: the original bytes under every held
// stretch that overwrites the file, read straight into place from the file
// (which none of them has reached yet), through the one encoder. The
// stretches do not overlap, so neither do the ranges. Empty when the file
// cannot be read.
std::string TJournaledFile::JournalOfHeldWrites() {
  const int64_t disk = *diskSize_;
  size_t size = JournalHeaderSize + JournalTrailerSize;
  for (const TRun& run : pending_)
    if (run.At < disk)
      size += JournalRangeHeadSize + static_cast<size_t>(std::min(run.End(), disk) - run.At);
  TJournalWriter journal(static_cast<int32_t>(disk), size);
  for (const TRun& run : pending_) {
    if (run.At >= disk) break;  // in order of position: the rest lie beyond too
    const int32_t k = static_cast<int32_t>(std::min(run.End(), disk) - run.At);
    char* to = journal.AddRange(static_cast<int32_t>(run.At), k);
    if (file_.Seek(run.At) != run.At || file_.Read(to, k) != k) return std::string();
  }
  return journal.Finish();
}

bool TJournaledFile::Commit() {
  if (pending_.empty()) return true;
  CheckInvariants();
  const std::string journal = JournalOfHeldWrites();
  std::optional<util::TFileStream> j;
  if (journal.empty()) {
    pending_.clear();
    return false;
  }
  if (!WriteJournal(j, journal)) {
    // The store was not touched; what there is of the journal is torn.
    RetireJournal(j, journalPath_);
    pending_.clear();
    return false;
  }
  if (!WriteHeld()) {
    // Part of the operation may be in the store: undo it now, or, when even
    // that fails, leave the journal hot for the next opening.
    if (PlayBackJournal(file_, journal, static_cast<int32_t>(*diskSize_)))
      RetireJournal(j, journalPath_);
    pending_.clear();
    return false;
  }
  diskSize_ = Size();
  pending_.clear();
  CheckInvariants();
  // Emptying the journal ends the operation. It needs no flush: should the
  // emptying be lost to a cut, the next opening plays the journal back, and
  // the store is as it was before, which is whole too. A journal that could
  // not be emptied would undo this operation on the next opening: the
  // caller is told, as the operation will not last.
  return RetireJournal(j, journalPath_);
}

}  // namespace store
