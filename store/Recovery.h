// Recovery from a cut: what the journal beside a store says, and playing it
// back before the store is read. Also the two steps the held-write layer
// shares with it: playback (to undo a failed commit) and emptying.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "store/JournalFormat.h"
#include "util/FileStream.h"

namespace store {

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

// Writes the original bytes of a journal CheckJournal passed back into the
// store, cuts the file to length and flushes it. False on any failure.
bool PlayBackJournal(util::TFileStream& store, const std::string& journal, int32_t length);
// Empties the journal at path once it has done its work, through the stream
// already open on it when there is one; deletes it when it cannot be
// emptied. False when it is neither empty nor gone.
bool RetireJournal(std::optional<util::TFileStream>& journal, const std::string& path);

}  // namespace store
