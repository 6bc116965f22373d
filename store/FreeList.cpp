// The free list: first-fit taking, merging release, and its stored form.
#include "store/FreeList.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <memory>
#include <optional>

#include "store/Format.h"
#include "util/FileStream.h"

namespace store {

int32_t TFreeList::Take(int32_t size) {
  for (size_t i = 0; i < Sizes.size(); ++i) {
    if (Sizes[i] >= size) {
      const int32_t result = Positions[i];
      Sizes[i] -= size;
      if (Sizes[i] == 0) {
        Positions.erase(Positions.begin() + i);
        Sizes.erase(Sizes.begin() + i);
      } else {
        Positions[i] += size;
      }
      return result;
    }
  }
  return -1;
}

void TFreeList::Release(int32_t start, int32_t size) {
  for (size_t i = 0; i < Positions.size(); ++i) {
    if (static_cast<int64_t>(Positions[i]) + Sizes[i] == start) {
      Sizes[i] += size;
      if (i + 1 < Positions.size() &&
          static_cast<int64_t>(Positions[i]) + Sizes[i] == Positions[i + 1]) {
        Sizes[i] += Sizes[i + 1];
        Positions.erase(Positions.begin() + i + 1);
        Sizes.erase(Sizes.begin() + i + 1);
      }
      return;
    }
    if (Positions[i] == static_cast<int64_t>(start) + size) {
      Positions[i] = start;
      Sizes[i] += size;
      return;
    }
  }
  size_t at = 0;
  while (at < Positions.size() && Positions[at] <= start) ++at;
  Positions.insert(Positions.begin() + at, start);
  Sizes.insert(Sizes.begin() + at, size);
}

// The count and, for a list of up to ReadAheadExtents extents, the values too
// come in one read: the bytes read ahead lie inside the file and are the ones
// the count's read would be followed by. A store that has seen many rewrites
// holds hundreds of extents, so the read-ahead covers 1024 (8 KiB); a longer
// list reads the rest of its values in a second read.
//
// How many bytes the file holds from the list's start is known only when the
// caller says so, or when the read ahead comes back short (it met the end of
// the file). A full read ahead says nothing about the end: the file is never
// shortened, so bytes behind the free list are common. Values that came in
// the read are in the file whatever its length; only a list longer than what
// came asks the stream for its size.
bool TFreeList::LoadFromStream(util::TStream& stream, int64_t available, int64_t start) {
  constexpr int64_t ReadAheadExtents = 1024;
  constexpr int64_t ReadAheadBytes = FreeListBytes(ReadAheadExtents);
  std::optional<int64_t> room;  // bytes in the file from the list's start
  if (available != UnknownAvailable) room = available;
  const int64_t ahead = room ? std::min(*room, ReadAheadBytes) : ReadAheadBytes;
  // Filled by the read, so not cleared first; a list longer than the read
  // ahead moves to a buffer of its own.
  char aheadRaw[ReadAheadBytes];
  size_t rawSize = static_cast<size_t>(std::max<int64_t>(ahead, FreeListCountSize));
  std::unique_ptr<char[]> longRaw;
  char* raw = aheadRaw;
  int32_t got = stream.Read(raw, static_cast<int32_t>(rawSize));
  if (got < FreeListCountSize) return false;
  if (!room && got < static_cast<int32_t>(rawSize)) room = got;
  const int32_t n = GetInt32(raw);
  Positions.clear();
  Sizes.clear();
  // A count that is negative or whose values run past the file's end is a
  // short read: nothing is allocated for it.
  if (n < 0) return false;
  if (!room && FreeListBytes(n) > got) room = stream.Size() - start;
  if (room && FreeListBytes(n) > *room) return false;
  assert(FreeListBytes(n) <= got || room);
  // Positions and sizes lie back to back behind the count; each list is
  // sized once and decoded in place.
  const int32_t want = static_cast<int32_t>(FreeListBytes(n));
  if (got > want) got = want;
  if (got == static_cast<int32_t>(rawSize) && got < want) {
    longRaw.reset(new char[static_cast<size_t>(want)]);
    std::memcpy(longRaw.get(), raw, rawSize);
    raw = longRaw.get();
    rawSize = static_cast<size_t>(want);
    got += stream.Read(raw + got, want - got);
  }
  const char* values = raw + FreeListCountSize;
  const int32_t fullValues = (got - FreeListCountSize) / PositionSize;
  const int32_t fullPositions = fullValues < n ? fullValues : n;
  Positions.resize(static_cast<size_t>(fullPositions));
  for (int32_t i = 0; i < fullPositions; ++i) Positions[i] = GetInt32(values + PositionSize * i);
  if (fullPositions < n) return false;
  const int32_t fullSizes = fullValues - n;
  Sizes.resize(static_cast<size_t>(fullSizes));
  for (int32_t i = 0; i < fullSizes; ++i) Sizes[i] = GetInt32(values + PositionSize * (n + i));
  return got == want;
}

bool TFreeList::SaveToStream(util::TStream& stream) const {
  const int32_t n = Count();
  std::vector<char> raw(static_cast<size_t>(StoredSize()));
  PutInt32(raw.data(), n);
  for (int32_t i = 0; i < n; ++i) {
    PutInt32(&raw[FreeListCountSize + PositionSize * i], Positions[i]);
    PutInt32(&raw[FreeListCountSize + PositionSize * (n + i)], Sizes[i]);
  }
  const int32_t want = static_cast<int32_t>(raw.size());
  return stream.Write(raw.data(), want) == want;
}

bool TFreeList::IsSound(int64_t lo, int64_t hi) const {
  int64_t prevEnd = lo;
  for (size_t i = 0; i < Positions.size(); ++i) {
    const int64_t p = Positions[i], s = Sizes[i];
    if (s <= 0 || p < prevEnd || p + s > hi) return false;
    prevEnd = p + s;
  }
  return Positions.size() == Sizes.size();
}

bool TFreeList::Overlaps(int64_t start, int64_t size) const {
  for (size_t i = 0; i < Positions.size(); ++i) {
    const int64_t p = Positions[i], s = Sizes[i];
    if (p < start + size && start < p + s) return true;
  }
  return false;
}

bool TFreeList::OverlapsSorted(int64_t start, int64_t size) const {
  if (size <= 0) return false;
  const int64_t end = start + size;
  // First extent starting at or after end; the one before it is the candidate.
  const auto after = std::lower_bound(Positions.begin(), Positions.end(), end,
                                      [](int32_t p, int64_t e) { return p < e; });
  if (after == Positions.begin()) return false;
  const size_t i = static_cast<size_t>(after - Positions.begin()) - 1;
  return start < static_cast<int64_t>(Positions[i]) + Sizes[i];
}

void TFreeList::Clear() {
  Positions.clear();
  Sizes.clear();
}

}  // namespace store
