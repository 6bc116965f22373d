// The free list: first-fit taking, merging release, and its stored form.
#include "store/FreeList.h"

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

bool TFreeList::LoadFromStream(util::TFileStream& stream, int64_t available) {
  char head[FreeListCountSize];
  if (stream.Read(head, FreeListCountSize) < FreeListCountSize) return false;
  const int32_t n = GetInt32(head);
  Positions.clear();
  Sizes.clear();
  // A count that is negative or whose values run past the file's end is a
  // short read: nothing is allocated for it.
  if (n < 0 || FreeListBytes(n) > available) return false;
  std::vector<char> raw(static_cast<size_t>(n) * 8);
  const int32_t want = static_cast<int32_t>(raw.size());
  const int32_t got = want ? stream.Read(raw.data(), want) : 0;
  const int32_t fullPositions = got / 4 < n ? got / 4 : n;
  for (int32_t i = 0; i < fullPositions; ++i) Positions.push_back(GetInt32(&raw[4 * i]));
  if (fullPositions < n) return false;
  for (int32_t i = 0; i < n && 4 * (n + i) + 4 <= got; ++i)
    Sizes.push_back(GetInt32(&raw[4 * (n + i)]));
  return got == want;
}

bool TFreeList::SaveToStream(util::TFileStream& stream) const {
  const int32_t n = Count();
  std::vector<char> raw(static_cast<size_t>(StoredSize()));
  PutInt32(raw.data(), n);
  for (int32_t i = 0; i < n; ++i) {
    PutInt32(&raw[4 + 4 * i], Positions[i]);
    PutInt32(&raw[4 + 4 * (n + i)], Sizes[i]);
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

void TFreeList::Clear() {
  Positions.clear();
  Sizes.clear();
}

}  // namespace store
