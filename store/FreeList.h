// TFreeList: the free extents inside the store's used area, kept in memory as
// two parallel lists and stored at the data end (count, positions, sizes).
#pragma once
#include <cstdint>
#include <vector>

#include "store/Format.h"

namespace util {
class TStream;
}

namespace store {

class TFreeList {
 public:
  TFreeList() = default;

  // First fit in position order: the front of the first extent of at least
  // size bytes; the rest of it stays free. -1 (and no change) when none fits.
  int32_t Take(int32_t size);
  // Gives an extent back, merging it with free extents it touches.
  void Release(int32_t start, int32_t size);

  // Reads count, positions and sizes at the stream's position. available is
  // the number of bytes the file holds from there: a count whose values
  // cannot fit is refused before anything is allocated. False on a short read.
  // With UnknownAvailable, start is the stream's position: the read ahead
  // tells where a short file ends, and only a list longer than that asks
  // the stream for its size.
  static constexpr int64_t UnknownAvailable = -1;
  bool LoadFromStream(util::TStream& stream, int64_t available, int64_t start = 0);
  // Writes count, positions and sizes; false on a short write.
  bool SaveToStream(util::TStream& stream) const;

  int Count() const { return static_cast<int>(Positions.size()); }
  // The stored form's length: 4 + 8 n.
  int64_t StoredSize() const { return FreeListBytes(Count()); }

  // True when the extents are what the operations above can produce inside
  // [lo, hi): ascending, positive sizes, inside the range, not overlapping.
  bool IsSound(int64_t lo, int64_t hi) const;
  // True when [start, start + size) shares a byte with a free extent.
  bool Overlaps(int64_t start, int64_t size) const;
  // The same by binary search, for a list that keeps the invariants IsSound
  // checks (ascending, positive sizes, no overlaps): the only candidate is the
  // last extent starting before the range ends, as ends ascend with starts.
  bool OverlapsSorted(int64_t start, int64_t size) const;
  void Clear();

  std::vector<int32_t> Positions;  // extent starts (block starts), ascending
  std::vector<int32_t> Sizes;      // extent sizes, prefix included
};

}  // namespace store
