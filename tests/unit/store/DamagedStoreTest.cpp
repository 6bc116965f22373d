// Damaged and hostile store files: lengths, counts and positions read from
// the file that cannot be right are read errors; nothing crashes, nothing is
// allocated from them, and the file is not made worse.
#include <gtest/gtest.h>

#include "tests/support/BoxRecorder.h"
#include "tests/support/Lines.h"
#include "tests/support/StoreBytes.h"
#include "tests/support/TempDir.h"

using namespace store;
using testsupport::Bytes;
using testsupport::Int32At;
using testsupport::SetInt32;
using testsupport::Lines;
using testsupport::Ptr;

namespace {
const std::string kMessage = "default\xFFmessage";
const std::string kArticle = "default\xFF" "article";
class DamagedStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = dir_.Path("LN.dbc");
    ASSERT_EQ(WriteStoreLines(kMessage, Ptr(Lines({"From: me", "Host: mail"})), path_), 0);
    ASSERT_EQ(WriteStoreLines(kArticle, Ptr(Lines({"Newsgroups: x"})), path_), 0);
    sound_ = Bytes(path_);
    top_ = testsupport::TopIndexPosition(sound_);
    folder_ = EntryPosition(sound_, top_, 0);
    message_ = EntryPosition(sound_, folder_, 0);
    article_ = EntryPosition(sound_, folder_, 1);
  }
  static int32_t EntryPosition(const std::string& b, int32_t record, int i) {
    return testsupport::RecordPositionAt(b, record, i);
  }
  // Reading and writing both report a read error and leave every byte alone.
  void ExpectRefusedUntouched(const char* what) {
    const std::string before = Bytes(path_);
    util::TStringList l = Lines({"stale"});
    EXPECT_EQ(ReadStoreLines(l, kMessage, path_), ReadError) << what;
    EXPECT_EQ(l.Count(), 0) << what;
    EXPECT_EQ(WriteStoreLines(kMessage, Ptr(Lines({"new"})), path_), ReadError) << what;
    EXPECT_EQ(RenameStoreItem(kMessage, "other", path_), ReadError) << what;
    EXPECT_EQ(Bytes(path_), before) << what;
  }
  std::string Read(const std::string& key, int expectedResult = 0) {
    util::TStringList l;
    EXPECT_EQ(ReadStoreLines(l, key, path_), expectedResult);
    return l.Text();
  }

  testsupport::TBoxRecorder boxes_;
  testsupport::TTempDir dir_;
  std::string path_, sound_;
  int32_t top_ = 0, folder_ = 0, message_ = 0, article_ = 0;
};
}  // namespace

TEST_F(DamagedStoreTest, HeaderFieldsOutsideTheFile) {
  const int32_t size = static_cast<int32_t>(sound_.size());
  for (int32_t end : {size + 100, size - 3, HeaderSize - 1, -46, 0x7FFFFFF0}) {
    testsupport::PutBytes(path_, sound_);
    SetInt32(path_, DataEndOffset, end);
    ExpectRefusedUntouched("data end");
  }
  for (int32_t root : {size * 4, 10, -2, 0x7FFFFFFF}) {
    testsupport::PutBytes(path_, sound_);
    SetInt32(path_, RootCellOffset, root);
    ExpectRefusedUntouched("root cell");
  }
  testsupport::PutBytes(path_, sound_);
  SetInt32(path_, FirstPayload - BlockPrefixSize, 12);  // root cell block of the wrong length
  ExpectRefusedUntouched("root block");
  for (size_t cut : {size_t(HeaderSize - 1), size_t(HeaderSize + 1), sound_.size() - 2}) {
    testsupport::PutBytes(path_, sound_.substr(0, cut));
    ExpectRefusedUntouched("truncated");
  }
}

TEST_F(DamagedStoreTest, FreeListCountsAndExtentsThatCannotBe) {
  const int32_t end = Int32At(sound_, DataEndOffset);
  // The file keeps stale bytes behind the free list: a count is too large
  // only once its values run past the file's end.
  const int32_t tooMany = static_cast<int32_t>(
      (sound_.size() - end - FreeListCountSize) / (2 * PositionSize) + 1);
  for (int32_t count : {tooMany, -1, 0x7FFFFFFF, 0x10000000}) {
    testsupport::PutBytes(path_, sound_);
    SetInt32(path_, end, count);
    ExpectRefusedUntouched("free count");
  }
  // A well-formed list whose extent lies in the header, or past the end.
  for (auto [pos, len] : {std::pair{10, 8}, std::pair{end - BlockPrefixSize, 12}, std::pair{60, -8}}) {
    std::string b = sound_;
    std::string list(static_cast<size_t>(FreeListBytes(1)), '\0');
    PutInt32(&list[0], 1);
    PutInt32(&list[FreeListCountSize], pos);
    PutInt32(&list[FreeListCountSize + PositionSize], len);
    testsupport::PutBytes(path_, b.substr(0, end) + list);
    ExpectRefusedUntouched("free extent");
  }
}

TEST_F(DamagedStoreTest, IndexLengthsThatCannotFit) {
  for (int32_t s : {-1, 0x7FFFFFFF, testsupport::BlockLengthAt(sound_, folder_)}) {
    testsupport::PutBytes(path_, sound_);
    SetInt32(path_, folder_ + RecordStoredLengthOffset, s);
    ExpectRefusedUntouched("folder S");
  }
  testsupport::PutBytes(path_, sound_);
  SetInt32(path_, top_ + RecordDataLengthOffset, 0x7FFFFFFF);  // O far beyond what S bytes inflate to
  ExpectRefusedUntouched("top O");
  testsupport::PutBytes(path_, sound_);
  SetInt32(path_, folder_ - BlockPrefixSize, 3);  // block length below the prefix
  ExpectRefusedUntouched("folder L");
  EXPECT_TRUE(boxes_.empty());  // refused before inflating
}

TEST_F(DamagedStoreTest, IndexThatDoesNotInflateShowsItsMessageAndStopsTheWalk) {
  testsupport::FlipByte(path_, folder_ + RecordHeaderSize + 4);
  ExpectRefusedUntouched("folder stream");
  ASSERT_FALSE(boxes_.empty());
  EXPECT_EQ(boxes_[0].caption, "Inflate Error");
  EXPECT_EQ(boxes_[0].text.rfind("Decompression Error: ", 0), 0u);
}

TEST_F(DamagedStoreTest, ItemThatDoesNotInflateReadsAsNothing) {
  testsupport::FlipByte(path_, message_ + RecordHeaderSize + 3);
  EXPECT_EQ(Read(kMessage, ReadError), "");
  EXPECT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(Read(kArticle), "Newsgroups: x\r\n");
  SetInt32(path_, message_ + RecordDataLengthOffset, -5);  // a negative O is refused without inflating
  EXPECT_EQ(Read(kMessage, ReadError), "");
  EXPECT_EQ(boxes_.size(), 1u);
  // Writing replaces the damaged item and leaves the rest readable.
  EXPECT_EQ(WriteStoreLines(kMessage, Ptr(Lines({"fresh"})), path_), 0);
  EXPECT_EQ(Read(kMessage), "fresh\r\n");
  EXPECT_EQ(Read(kArticle), "Newsgroups: x\r\n");
}

TEST_F(DamagedStoreTest, IndexWithMoreNamesThanPositions) {
  testsupport::StoreBuilder b;
  const int32_t item = b.AddRecord(ItemRecord, "x\r\n", {-1});
  // Three names, one position, and the block ends there.
  const int32_t top = b.AddRecord(IndexRecord, testsupport::IndexData({"a", "b", "c"}), {item}, false);
  b.SetTop(top);
  testsupport::PutBytes(path_, b.Finish());
  const std::string before = Bytes(path_);
  util::TStringList l;
  EXPECT_EQ(ReadStoreLines(l, "a", path_), ReadError);
  EXPECT_EQ(WriteStoreLines("d", &l, path_), ReadError);
  EXPECT_EQ(Bytes(path_), before);
}

TEST_F(DamagedStoreTest, CyclesAreRefused) {
  testsupport::StoreBuilder b;
  const int32_t top = b.NextPosition();
  b.AddRecord(IndexRecord, testsupport::IndexData({"loop"}), {top});  // points at itself
  b.SetTop(top);
  testsupport::PutBytes(path_, b.Finish());
  const std::string before = Bytes(path_);
  util::TStringList l;
  EXPECT_EQ(ReadStoreLines(l, "loop\xFFx", path_), ReadError);
  EXPECT_EQ(WriteStoreLines("loop\xFFx", &l, path_), ReadError);
  EXPECT_EQ(WriteStoreLines("loop\xFFloop\xFFloop", &l, path_), ReadError);
  EXPECT_EQ(Bytes(path_), before);
}

TEST_F(DamagedStoreTest, ARecordReferencedTwiceIsNotReleased) {
  testsupport::StoreBuilder b;
  const int32_t shared = b.AddRecord(ItemRecord, "shared\r\n", {-1, -1});
  const int32_t top = b.AddRecord(IndexRecord, testsupport::IndexData({"a", "b"}), {shared, shared});
  b.SetTop(top);
  testsupport::PutBytes(path_, b.Finish());
  EXPECT_EQ(WriteStoreLines("a", Ptr(Lines({"new a"})), path_), 0);
  EXPECT_EQ(Read("a"), "new a\r\n");
  EXPECT_EQ(Read("b"), "shared\r\n");
  // Many more writes cannot reuse b's record either.
  for (int i = 0; i < 20; ++i)
    ASSERT_EQ(WriteStoreLines("c", Ptr(Lines({"filler", std::to_string(i).c_str()})), path_), 0);
  EXPECT_EQ(Read("b"), "shared\r\n");
}

TEST_F(DamagedStoreTest, BogusOldPositionsPutNothingInTheFreeList) {
  testsupport::StoreBuilder b;
  const int32_t keep = b.AddRecord(ItemRecord, "keep\r\n", {-1, -1, -1, -1, -1});
  const int32_t shortBlock = b.AddRecord(ItemRecord, "s\r\n", {-1}, true, 3);
  const int32_t longBlock = b.AddRecord(ItemRecord, "l\r\n", {-1}, true, 100000);
  const int32_t top = b.AddRecord(IndexRecord, testsupport::IndexData({"keep", "short", "long", "neg", "far"}),
                                  {keep, shortBlock, longBlock, -77, 0x70000000});
  b.SetTop(top);
  const std::string built = b.Finish();
  testsupport::PutBytes(path_, built);
  // Reading them is a read error; the sound item still reads.
  EXPECT_EQ(Read("short", ReadError), "");
  EXPECT_EQ(Read("long", ReadError), "");
  EXPECT_EQ(Read("neg", ReadError), "");
  EXPECT_EQ(Read("far", ReadError), "");
  EXPECT_EQ(Read("keep"), "keep\r\n");
  // Replacing them must not hand out space that overlaps a live record.
  for (const char* name : {"short", "long", "neg", "far"})
    ASSERT_EQ(WriteStoreLines(name, Ptr(Lines({"replaced"})), path_), 0) << name;
  {
    TFileManager m(path_);
    ASSERT_FALSE(m.Damaged());
    const TFreeList& f = m.FreeList();
    for (int i = 0; i < f.Count(); ++i) {
      EXPECT_GE(f.Positions[i], HeaderSize);
      EXPECT_LE(static_cast<int64_t>(f.Positions[i]) + f.Sizes[i], m.DataEnd());
      const int32_t keepStart = keep - BlockPrefixSize;
      const int32_t keepEnd = keepStart + testsupport::BlockLengthAt(built, keep);
      EXPECT_FALSE(f.Positions[i] < keepEnd && keepStart < f.Positions[i] + f.Sizes[i]);
    }
  }
  for (int i = 0; i < 10; ++i) ASSERT_EQ(WriteStoreLines("x", Ptr(Lines({"a", "b", "c"})), path_), 0);
  EXPECT_EQ(Read("keep"), "keep\r\n");
  EXPECT_EQ(Read("long"), "replaced\r\n");
}

TEST_F(DamagedStoreTest, AnItemIsNotWalkedAsAFolder) {
  // The item's copy of positions would become entries that refer to the
  // message's and article's records a second time.
  const std::string through = kMessage + "\xFFinner";
  util::TStringList l;
  EXPECT_EQ(ReadStoreLines(l, through, path_), ReadError);
  EXPECT_EQ(WriteStoreLines(through, Ptr(Lines({"x"})), path_), ReadError);
  EXPECT_EQ(Bytes(path_), sound_);
  EXPECT_EQ(Read(kArticle), "Newsgroups: x\r\n");
}
