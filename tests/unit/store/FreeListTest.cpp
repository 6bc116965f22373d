// The free list: first-fit taking, merging release and its stored form.
#include <gtest/gtest.h>

#include "tests/support/StoreBytes.h"
#include "tests/support/TempDir.h"
#include "util/FileStream.h"

using store::FreeListBytes;
using store::FreeListCountSize;
using store::HeaderSize;
using store::PositionSize;
using store::TFreeList;

namespace {
TFreeList ListOf(std::vector<int32_t> p, std::vector<int32_t> s) {
  TFreeList f;
  f.Positions = std::move(p);
  f.Sizes = std::move(s);
  return f;
}
}  // namespace

TEST(FreeListTest, TakeIsFirstFitFromTheFront) {
  TFreeList empty;
  EXPECT_EQ(empty.Take(1), -1);

  TFreeList f = ListOf({100, 200}, {20, 30});
  EXPECT_EQ(f.Take(25), 200);
  EXPECT_EQ(f.Positions, (std::vector<int32_t>{100, 225}));
  EXPECT_EQ(f.Sizes, (std::vector<int32_t>{20, 5}));
  EXPECT_EQ(f.Take(20), 100);  // an exact fit removes the entry
  EXPECT_EQ(f.Positions, (std::vector<int32_t>{225}));
  EXPECT_EQ(f.Take(6), -1);  // nothing fits: unchanged
  EXPECT_EQ(f.Sizes, (std::vector<int32_t>{5}));
}

TEST(FreeListTest, ReleaseMergesBothNeighbours) {
  TFreeList f = ListOf({100, 140}, {20, 10});
  f.Release(120, 20);
  EXPECT_EQ(f.Positions, (std::vector<int32_t>{100}));
  EXPECT_EQ(f.Sizes, (std::vector<int32_t>{50}));
}

TEST(FreeListTest, ReleaseExtendsTheNextOrInsertsInOrder) {
  TFreeList a = ListOf({140}, {10});
  a.Release(120, 20);
  EXPECT_EQ(a.Positions, (std::vector<int32_t>{120}));
  EXPECT_EQ(a.Sizes, (std::vector<int32_t>{30}));

  TFreeList b = ListOf({140}, {10});
  b.Release(100, 20);
  EXPECT_EQ(b.Positions, (std::vector<int32_t>{100, 140}));
  EXPECT_EQ(b.Sizes, (std::vector<int32_t>{20, 10}));
  b.Release(300, 4);
  EXPECT_EQ(b.Positions, (std::vector<int32_t>{100, 140, 300}));
}

TEST(FreeListTest, SavedFormRoundTripsAndShortCountsFail) {
  testsupport::TTempDir dir;
  const std::string path = dir.Path("list.bin");
  {
    util::TFileStream s(path, util::TFileStream::Create);
    TFreeList empty;
    ASSERT_TRUE(empty.SaveToStream(s));
  }
  EXPECT_EQ(testsupport::Bytes(path), std::string(FreeListCountSize, '\0'));
  {
    util::TFileStream s(path, util::TFileStream::Create);
    ASSERT_TRUE(ListOf({100, 200}, {20, 30}).SaveToStream(s));
  }
  const std::string saved = testsupport::Bytes(path);
  ASSERT_EQ(saved.size(), static_cast<size_t>(FreeListBytes(2)));
  EXPECT_EQ(saved.size(), FreeListCountSize + 2u * PositionSize * 2);
  EXPECT_EQ(testsupport::Int32At(saved, FreeListCountSize), 100);
  EXPECT_EQ(testsupport::Int32At(saved, FreeListCountSize + PositionSize), 200);
  EXPECT_EQ(testsupport::Int32At(saved, FreeListCountSize + 2 * PositionSize), 20);
  {
    util::TFileStream s(path, util::TFileStream::OpenExisting);
    TFreeList f;
    ASSERT_TRUE(f.LoadFromStream(s, static_cast<int64_t>(saved.size())));
    EXPECT_EQ(f.Positions, (std::vector<int32_t>{100, 200}));
    EXPECT_EQ(f.Sizes, (std::vector<int32_t>{20, 30}));
    EXPECT_TRUE(f.IsSound(HeaderSize, 300));
    EXPECT_FALSE(f.IsSound(HeaderSize, 220));  // the second extent runs past the end
  }
  // A count larger than the values behind it, a negative one, a huge one.
  for (int32_t count : {3, -1, 0x7FFFFFFF}) {
    testsupport::SetInt32(path, 0, count);
    util::TFileStream s(path, util::TFileStream::OpenExisting);
    TFreeList f;
    EXPECT_FALSE(f.LoadFromStream(s, static_cast<int64_t>(saved.size()))) << count;
  }
}

TEST(FreeListTest, LoadingWithoutTheFilesLengthStillRefusesCountsThatCannotFit) {
  testsupport::TTempDir dir;
  const std::string path = dir.Path("fl.bin");
  // Longer than one read ahead (1024 extents), behind 6 other bytes.
  std::vector<int32_t> positions, sizes;
  for (int32_t i = 0; i < 1500; ++i) {
    positions.push_back(100 + 30 * i);
    sizes.push_back(10 + i % 7);
  }
  {
    util::TFileStream s(path, util::TFileStream::Create);
    ASSERT_EQ(s.Write("abcdef", 6), 6);
    ASSERT_TRUE(ListOf(positions, sizes).SaveToStream(s));
  }
  const auto load = [&](TFreeList& f) {
    util::TFileStream s(path, util::TFileStream::OpenExisting);
    s.Seek(6);
    return f.LoadFromStream(s, TFreeList::UnknownAvailable, 6);
  };
  TFreeList f;
  ASSERT_TRUE(load(f));
  EXPECT_EQ(f.Positions, positions);
  EXPECT_EQ(f.Sizes, sizes);
  // One value short, within the read ahead and beyond it; negative; huge.
  for (int32_t count : {1501, 1024, 1025, 600, -1, 0x7FFFFFFF}) {
    const std::string whole = testsupport::Bytes(path);
    std::string cut = whole;
    if (count == 600) cut.resize(6 + static_cast<size_t>(FreeListBytes(600)) - 1);
    if (count == 1024) cut.resize(6 + static_cast<size_t>(FreeListBytes(1024)) - 2);
    testsupport::PutBytes(path, cut);
    testsupport::SetInt32(path, 6, count);
    TFreeList g;
    EXPECT_EQ(load(g), count == 1025) << count;  // 1025 of 1500 extents' values are there
    testsupport::PutBytes(path, whole);
  }
}

TEST(FreeListTest, LoadingWithoutTheFilesLengthTakesListsWithBytesBehindThem) {
  // The file is never shortened, so a free list often has bytes behind it: a
  // full read ahead then says nothing about where the file ends. Lists of a
  // few extents, of exactly one read ahead (1024) and longer than it, each
  // ending the file and followed by other bytes.
  testsupport::TTempDir dir;
  const std::string path = dir.Path("fl.bin");
  for (int32_t n : {0, 13, 1023, 1024, 1025, 1500}) {
    std::vector<int32_t> positions, sizes;
    for (int32_t i = 0; i < n; ++i) {
      positions.push_back(100 + 30 * i);
      sizes.push_back(10 + i % 7);
    }
    for (size_t behind : {size_t{0}, size_t{1}, size_t{9000}}) {
      {
        util::TFileStream s(path, util::TFileStream::Create);
        ASSERT_EQ(s.Write("abcdef", 6), 6);
        ASSERT_TRUE(ListOf(positions, sizes).SaveToStream(s));
        const std::string tail(behind, '\x5A');
        ASSERT_EQ(s.Write(tail.data(), static_cast<int32_t>(tail.size())),
                  static_cast<int32_t>(tail.size()));
      }
      util::TFileStream s(path, util::TFileStream::OpenExisting);
      s.Seek(6);
      TFreeList f;
      EXPECT_TRUE(f.LoadFromStream(s, TFreeList::UnknownAvailable, 6)) << n << " extents, " << behind;
      EXPECT_EQ(f.Positions, positions) << n << " extents, " << behind;
      EXPECT_EQ(f.Sizes, sizes) << n << " extents, " << behind;
    }
  }
}

TEST(FreeListTest, OverlapAndSoundness) {
  TFreeList f = ListOf({100, 140}, {20, 10});
  EXPECT_TRUE(f.Overlaps(110, 4));
  EXPECT_TRUE(f.Overlaps(90, 11));
  EXPECT_FALSE(f.Overlaps(120, 20));
  EXPECT_FALSE(ListOf({100, 110}, {20, 10}).IsSound(HeaderSize, 1000));  // overlapping
  EXPECT_FALSE(ListOf({30}, {10}).IsSound(HeaderSize, 1000));            // inside the header
  EXPECT_FALSE(ListOf({100}, {0}).IsSound(HeaderSize, 1000));            // empty extent
}
