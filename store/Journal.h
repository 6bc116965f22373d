// The store's rollback journal, and the file layer that makes every store
// operation all-or-nothing with it. The journal's layout is documented with
// the store format in FileMan1.h.
#pragma once
#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "util/FileStream.h"

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

std::string EncodeJournal(const TJournalImage& journal);
// False when the bytes are not a whole journal: torn while it was being
// written (the store was then never touched), or not a journal at all.
bool DecodeJournal(const std::string& bytes, TJournalImage& journal);
// The store file's bytes as playing the journal back leaves them.
void ApplyJournal(const TJournalImage& journal, std::string& storeBytes);

enum class JournalState {
  None,  // no journal next to the store, or the empty one kept between operations
  Hot,   // a whole journal: the last operation was cut and is undone on opening
  Torn,  // an incomplete one: emptied on opening, the store stays as it is
  // A whole journal that cannot be this store's: the store is shorter than
  // the journal's original length, and a cut operation never shortens the
  // file (the store was replaced since). Emptied on opening, not played back.
  Stale,
};
// Looks without changing anything; image receives a hot journal's contents.
JournalState InspectJournal(const std::string& storePath, TJournalImage* image = nullptr);

// Puts the store file back from a hot journal next to it (ranges, length,
// flush) and empties the journal; empties a torn or stale one. Raises
// util::EFOpenError when a hot journal cannot be read or played back: the
// store is then not fit to be read. Returns whether a journal was played back.
bool RecoverStore(util::TFileStream& store, const std::string& storePath);
// The same for a store that is not open: opens it exclusively (raising
// util::EFOpenError like the engine when another program holds it), and
// does nothing when neither store nor journal exists.
bool RecoverStore(const std::string& storePath);

// The store file as one operation sees it. Writes are held in memory (a
// later one wins where they overlap) and reads see them; the file itself changes only in
// Commit: the original bytes of every stretch about to be overwritten, and
// the file's length, go into the journal, which is flushed; then the new
// bytes go into the store, which is flushed; then the journal is emptied
// (the file stays for the next operation). A cut anywhere leaves either an
// empty journal or none (the store untouched, or wholly written), a torn
// journal (the store untouched) or a hot one (played back on the next
// opening). Opening plays back what an earlier cut left.
class TJournaledFile : public util::TStream {
 public:
  // Opens like util::TFileStream (raising the same errors), then recovers;
  // a file made new empties a journal left without its store.
  TJournaledFile(const std::string& path, util::TFileStream::Mode mode);
  TJournaledFile(const TJournaledFile&) = delete;
  TJournaledFile& operator=(const TJournaledFile&) = delete;

  int64_t Seek(int64_t pos) override;
  int32_t Read(void* buf, int32_t n) override;
  int32_t Write(const void* buf, int32_t n) override;
  // The length with the held writes. An opened file's length is asked of
  // the file only when first needed: reads before the first write go
  // straight to the file, whose short read tells where it ends.
  int64_t Size() override {
    KnowDiskSize();
    return size_;
  }

  // Whether writes are waiting for Commit.
  bool Pending() const { return !pending_.empty(); }
  // Makes the held writes durable, all or none. True on success (and when
  // there was nothing to do); on failure the store file is as it was before
  // the operation (or a hot journal says how it was) and the writes are gone.
  bool Commit();

 private:
  void KnowDiskSize() {
    if (diskSize_ < 0) diskSize_ = size_ = std::max<int64_t>(file_.Size(), 0);
  }
  // A held stretch of the file: its start and its bytes.
  struct TRun {
    int64_t At;
    std::string Bytes;
    int64_t End() const { return At + static_cast<int64_t>(Bytes.size()); }
  };
  std::vector<TRun>::iterator FirstRunFrom(int64_t at);
  void Hold(int64_t at, const char* bytes, int32_t n);
  bool WriteJournal(std::optional<util::TFileStream>& journal, const std::string& bytes);
  bool WriteHeld();
  void Drop();

  util::TFileStream file_;
  std::string journalPath_;
  int64_t pos_ = 0;
  int64_t diskSize_ = -1;  // the file's length on disk; -1 until asked for
  int64_t size_ = 0;       // its length with the held writes (once known)
  // The held writes as the file will hold them: stretches in order of their
  // start, none overlapping or touching another. A write over held bytes
  // replaces them in place and one that touches or spans stretches joins
  // them, so each byte is held once, however often an operation rewrites it
  // (the free list at the data end is rewritten after every allocation and
  // release), and goes once into the journal and once into the file.
  std::vector<TRun> pending_;  // in order of At
};

}  // namespace store
