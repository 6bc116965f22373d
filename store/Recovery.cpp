// Playback of the journal a cut left beside a store, and its emptying.
#include "store/Recovery.h"

#include <cstdio>

#include "util/Errors.h"

namespace store {

namespace {
// The whole of an opened journal; false when it cannot be read.
bool ReadJournal(util::TFileStream& j, std::string& bytes) {
  const int64_t size = j.Size();
  if (size < 0 || size > INT32_MAX) return false;
  bytes.assign(static_cast<size_t>(size), '\0');
  return size == 0 || (j.Seek(0) == 0 && j.Read(&bytes[0], static_cast<int32_t>(size)) == size);
}
}  // namespace

bool PlayBackJournal(util::TFileStream& store, const std::string& journal, int32_t length) {
  return EachJournalRange(journal,
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
bool RetireJournal(std::optional<util::TFileStream>& journal, const std::string& path) {
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
  if (hot && !PlayBackJournal(store, bytes, length))
    throw util::EFOpenError("Cannot play back \"" + path + "\" onto \"" + storePath + "\".");
  RetireJournal(journal, path);
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

}  // namespace store
