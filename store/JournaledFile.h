// The store file as one operation sees it: writes held in memory and made
// durable, all or none, through the rollback journal at the operation's end.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "util/FileStream.h"

namespace store {

// Writes are held in memory (a later one wins where they overlap) and reads
// see them; the file itself changes only in Commit: the original bytes of
// every stretch about to be overwritten, and the file's length, go into the
// journal, which is flushed; then the new bytes go into the store, which is
// flushed; then the journal is emptied (the file stays for the next
// operation). A cut anywhere leaves either an empty journal or none (the
// store untouched, or wholly written), a torn journal (the store untouched)
// or a hot one (played back on the next opening). Opening plays back what an
// earlier cut left.
//
// Invariants (checked by assert after every change):
// - the held stretches are non-empty, in order of their start, and neither
//   overlap nor touch one another;
// - while any are held, the file's length on disk is known;
// - the length of the file with the held writes is the larger of that
//   length and the end of the last stretch: it is derived, never stored.
class TJournaledFile : public util::TStream {
 public:
  // Opens like util::TFileStream (raising the same errors), then recovers.
  // A file made new (Create) has length 0 and empties a journal left without
  // its store; an existing one (OpenExisting, or OpenAlways finding it) has
  // a length that is asked of the file when first needed.
  TJournaledFile(const std::string& path, util::TFileStream::Mode mode);
  TJournaledFile(const TJournaledFile&) = delete;
  TJournaledFile& operator=(const TJournaledFile&) = delete;

  int64_t Seek(int64_t pos) override;
  int32_t Read(void* buf, int32_t n) override;
  int32_t Write(const void* buf, int32_t n) override;
  // The length with the held writes. Reads before the first write go
  // straight to the file, whose short read tells where it ends, so an
  // opened file's length is asked for only when first needed.
  int64_t Size() override;

  // Whether writes are waiting for Commit.
  bool Pending() const { return !pending_.empty(); }
  // Makes the held writes durable, all or none. True on success (and when
  // there was nothing to do); on failure the store file is as it was before
  // the operation (or a hot journal says how it was) and the writes are gone.
  bool Commit();

 private:
  // A held stretch of the file: its start and its bytes.
  struct TRun {
    int64_t At;
    std::string Bytes;
    int64_t End() const { return At + static_cast<int64_t>(Bytes.size()); }
  };
  int64_t DiskSize();
  std::vector<TRun>::iterator FirstRunFrom(int64_t at);
  void Hold(int64_t at, const char* bytes, int32_t n);
  std::string JournalOfHeldWrites();
  bool WriteJournal(std::optional<util::TFileStream>& journal, const std::string& bytes);
  bool WriteHeld();
  void CheckInvariants() const;

  util::TFileStream file_;
  std::string journalPath_;
  int64_t pos_ = 0;
  // The file's length on disk: not yet known until asked for (an opened
  // file), then kept as the commits change it.
  std::optional<int64_t> diskSize_;
  // The held writes as the file will hold them: stretches in order of their
  // start, none overlapping or touching another. A write over held bytes
  // replaces them in place and one that touches or spans stretches joins
  // them, so each byte is held once, however often an operation rewrites it
  // (the free list at the data end is rewritten after every allocation and
  // release), and goes once into the journal and once into the file.
  std::vector<TRun> pending_;  // in order of At
};

}  // namespace store
