// The store file: the new file's bytes, block allocation and release, the
// exclusive opening; and the record buffer's zlib conversions.
#include <gtest/gtest.h>

#include "tests/support/BoxRecorder.h"
#include "tests/support/StoreBytes.h"
#include "tests/support/TempDir.h"
#include "util/Errors.h"

using namespace store;
using testsupport::Bytes;
using testsupport::Int32At;

namespace {
const int32_t kEmptyStoreSize = HeaderSize + FreeListCountSize;  // 50

// The file's bytes read through the open manager (on Win32 nobody else may
// read a file the store holds).
std::string Snapshot(TFileManager& m) {
  std::string b(static_cast<size_t>(m.FileSize()), '\0');
  m.SeekTo(0);
  m.ReadBytes(&b[0], static_cast<int32_t>(b.size()));
  return b;
}
}

TEST(FileManagerTest, NewFileIsTheFiftyByteEmptyStore) {
  testsupport::TTempDir dir;
  const std::string path = dir.Path("new.dbc");
  { TFileManager m(path); EXPECT_EQ(m.ErrorCode(), 0); }
  const std::string b = Bytes(path);
  ASSERT_EQ(b.size(), static_cast<size_t>(kEmptyStoreSize));
  EXPECT_EQ(b.substr(0, MagicSize), std::string(MagicText, MagicSize));
  // Root cell -1, data end 46, free list count 0.
  EXPECT_EQ(b.substr(RootCellOffset), std::string("\xFF\xFF\xFF\xFF\x2E\0\0\0\0\0\0\0",
                                                  HeaderFieldsSize + FreeListCountSize));

  // An existing empty file is initialised the same way.
  const std::string empty = dir.Path("empty.dbc");
  testsupport::PutBytes(empty, "");
  { TFileManager m(empty); }
  EXPECT_EQ(Bytes(empty), b);
}

TEST(FileManagerTest, FirstAllocationBecomesTheRootCell) {
  testsupport::TTempDir dir;
  const std::string path = dir.Path("a.dbc");
  TFileManager m(path);
  EXPECT_EQ(m.Allocate(0), -1);
  EXPECT_EQ(m.Allocate(-5), -1);
  EXPECT_EQ(Snapshot(m).size(), static_cast<size_t>(kEmptyStoreSize));  // nothing written

  EXPECT_EQ(m.Allocate(RootCellPayloadSize), FirstPayload);
  EXPECT_EQ(m.GetRootCell(), FirstPayload);
  EXPECT_EQ(m.DataEnd(), HeaderSize + RootCellBlockSize);
  const std::string b = Snapshot(m);
  EXPECT_EQ(Int32At(b, HeaderSize), RootCellBlockSize);
  EXPECT_EQ(Int32At(b, RootCellOffset), FirstPayload);
  EXPECT_EQ(Int32At(b, DataEndOffset), HeaderSize + RootCellBlockSize);
  EXPECT_EQ(Int32At(b, HeaderSize + RootCellBlockSize), 0);  // the free list moved behind the block
}

TEST(FileManagerTest, ReleaseOfLastAndMiddleBlocks) {
  testsupport::TTempDir dir;
  const std::string path = dir.Path("r.dbc");
  TFileManager m(path);
  const int32_t root = m.Allocate(RootCellPayloadSize);
  const int32_t aSize = 10, cSize = 6;
  const int32_t a = m.Allocate(aSize), b = m.Allocate(20), c = m.Allocate(cSize);
  const int32_t aBlock = a - BlockPrefixSize, cBlock = c - BlockPrefixSize;
  ASSERT_EQ(a, root + RootCellPayloadSize + BlockPrefixSize);
  const int32_t end = m.DataEnd();
  ASSERT_EQ(end, cBlock + BlockPrefixSize + cSize);

  m.Release(-1);
  m.Release(root);
  EXPECT_EQ(m.FreeList().Count(), 0);
  EXPECT_EQ(m.DataEnd(), end);

  // The last block: the data end moves back, the file keeps its length.
  const size_t before = Snapshot(m).size();
  m.Release(c);
  EXPECT_EQ(m.DataEnd(), cBlock);
  std::string bytes = Snapshot(m);
  EXPECT_EQ(bytes.size(), before);
  EXPECT_EQ(Int32At(bytes, DataEndOffset), cBlock);
  EXPECT_EQ(Int32At(bytes, cBlock), 0);

  // A middle block: its whole extent, prefix included, becomes free.
  m.Release(a);
  EXPECT_EQ(m.DataEnd(), cBlock);
  bytes = Snapshot(m);
  const int32_t aExtent = BlockPrefixSize + aSize;  // 14
  EXPECT_EQ(Int32At(bytes, cBlock), 1);
  EXPECT_EQ(Int32At(bytes, cBlock + FreeListCountSize), aBlock);
  EXPECT_EQ(Int32At(bytes, cBlock + FreeListCountSize + PositionSize), aExtent);

  // Taking less than the extent uses its front; the rest stays free.
  const int32_t smaller = 5;
  EXPECT_EQ(m.Allocate(smaller), a);
  EXPECT_EQ(Int32At(Snapshot(m), aBlock), BlockPrefixSize + smaller);  // 9
  EXPECT_EQ(m.FreeList().Positions, (std::vector<int32_t>{aBlock + BlockPrefixSize + smaller}));
  EXPECT_EQ(m.FreeList().Sizes, (std::vector<int32_t>{aExtent - BlockPrefixSize - smaller}));
  EXPECT_EQ(b, a + aExtent);
}

TEST(FileManagerTest, ForeignMagicOpensAndExclusiveOpeningRefusesASecond) {
  testsupport::TTempDir dir;
  const std::string path = dir.Path("m.dbc");
  { TFileManager m(path); m.Allocate(RootCellPayloadSize); }
  std::string b = Bytes(path);
  for (int i = 0; i < MagicSize; ++i) b[i] = 'Q';
  testsupport::PutBytes(path, b);
  TFileManager m(path);
  EXPECT_EQ(m.ErrorCode(), 0);
  EXPECT_FALSE(m.Damaged());
  EXPECT_EQ(m.GetRootCell(), FirstPayload);
  EXPECT_THROW(TFileManager second(path), util::EFOpenError);
}

TEST(FileManagerTest, ErrorTexts) {
  EXPECT_EQ(ErrorCodeText(0), "No error!");
  EXPECT_EQ(ErrorCodeText(1), "Fatal write error!");
  EXPECT_EQ(ErrorCodeText(2), "Fatal read error!");
  EXPECT_EQ(ErrorCodeText(3), "Fatal seek error!");
  EXPECT_EQ(ErrorCodeText(9), "Unknown FATAL error!");
  testsupport::TTempDir dir;
  const std::string path = dir.Path("e.dbc");
  testsupport::PutBytes(path, std::string(40, 'x'));  // too short for a header
  TFileManager m(path);
  EXPECT_EQ(m.ErrorCode(), ReadError);
  EXPECT_EQ(m.ErrorText(), "Block: 11, Fatal read error!");
  EXPECT_EQ(m.Diagnostic(), m.ErrorText());
  m.SeekTo(-4);
  EXPECT_EQ(m.ErrorCode(), SeekError);

  // A data end with no room for the free list's count behind it is the
  // header's fault; a count whose values do not fit is the free list's.
  const std::string sound = dir.Path("s.dbc");
  { TFileManager fresh(sound); fresh.Allocate(RootCellPayloadSize); }
  const std::string b = Bytes(sound);
  const int32_t end = Int32At(b, DataEndOffset);
  for (const int32_t past : {static_cast<int32_t>(b.size()) - FreeListCountSize + 1, end + 1000}) {
    testsupport::PutBytes(sound, b);
    testsupport::SetInt32(sound, DataEndOffset, past);
    TFileManager d(sound);
    EXPECT_TRUE(d.Damaged());
    EXPECT_EQ(d.Diagnostic(), "Block: 11, Fatal read error!") << past;
  }
  testsupport::PutBytes(sound, b);
  testsupport::SetInt32(sound, end, 1);
  TFileManager d(sound);
  EXPECT_TRUE(d.Damaged());
  EXPECT_EQ(d.Diagnostic(), "Block: 1, Fatal read error!");
}

TEST(DataBufTest, SetDataAndSetStored) {
  TDataBuf b;
  b.SetData(nullptr, 3);
  EXPECT_EQ(b.AsText(), "000");
  EXPECT_EQ(b.StoredLength(), 3);
  EXPECT_EQ(b.UncompressedLength(), 3);
  EXPECT_TRUE(b.WipeOnFree());
  b.SetStored("ab\0cd", 5);
  EXPECT_EQ(b.AsText(), "ab");
  EXPECT_EQ(b.StoredLength(), 5);
  EXPECT_EQ(b.UncompressedLength(), 3);
  EXPECT_EQ(b.Data()[5], '\0');
  b.Clear();
  EXPECT_TRUE(b.IsEmpty());
  EXPECT_EQ(b.Data(), nullptr);
  EXPECT_EQ(b.AsText(), "");
}

TEST(DataBufTest, CompressAndDecompressRoundTrip) {
  EXPECT_EQ(TDataBuf::CompressRoom(100), 136);
  EXPECT_EQ(TDataBuf::CompressRoom(10), 28);
  testsupport::TBoxRecorder boxes;
  const std::string index = testsupport::IndexData({"message"});
  TDataBuf b(index.data(), static_cast<int32_t>(index.size()));
  ASSERT_EQ(b.Compress(), 0);
  EXPECT_TRUE(b.IsCompressed());
  EXPECT_EQ(b.UncompressedLength(), 10);
  EXPECT_NE(std::string(b.Data(), b.StoredLength()), index);
  ASSERT_EQ(b.Decompress(), 0);
  EXPECT_FALSE(b.IsCompressed());
  EXPECT_EQ(std::string(b.Data(), b.StoredLength()), index);
  EXPECT_EQ(b.Data()[b.StoredLength()], '\0');
  EXPECT_TRUE(boxes.empty());
}

TEST(DataBufTest, ZlibMemoryIsReusedAcrossCallsAndReleasedOnDemand) {
  TDataBuf::ReleaseZlibMemory();
  ASSERT_EQ(TDataBuf::CachedZlibBlocks(), 0);
  const std::string text(5000, 'x');
  std::string first;
  for (int round = 0; round < 3; ++round) {
    TDataBuf b(text.data(), static_cast<int32_t>(text.size()));
    ASSERT_EQ(b.Compress(), 0);
    const std::string stream(b.Data(), b.StoredLength());
    if (round == 0) first = stream;
    EXPECT_EQ(stream, first);  // recycled memory makes the same bytes
    ASSERT_EQ(b.Decompress(), 0);
    EXPECT_EQ(b.AsText(), text);
    EXPECT_GT(TDataBuf::CachedZlibBlocks(), 0);
  }
  TDataBuf::ReleaseZlibMemory();
  EXPECT_EQ(TDataBuf::CachedZlibBlocks(), 0);
}

TEST(DataBufTest, CorruptStreamShowsDecompressionErrorAndKeepsData) {
  testsupport::TBoxRecorder boxes;
  TDataBuf b("hello hello hello", 17);
  ASSERT_EQ(b.Compress(), 0);
  std::string stored(b.Data(), b.StoredLength());
  stored[3] = static_cast<char>(stored[3] ^ 0xFF);
  b.SetStored(stored.data(), static_cast<int32_t>(stored.size()));
  EXPECT_NE(b.Decompress(), 0);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "Inflate Error");
  EXPECT_EQ(boxes[0].owner, util::MsgOwner::NoOwner);
  EXPECT_EQ(boxes[0].text.rfind("Decompression Error: ", 0), 0u);
  EXPECT_TRUE(b.IsCompressed());
  EXPECT_EQ(std::string(b.Data(), b.StoredLength()), stored);
}

TEST(DataBufTest, ZlibErrorTexts) {
  EXPECT_EQ(TDataBuf::ZlibErrorText(-2), "Decompression Error: Z_STREAM_ERROR");
  EXPECT_EQ(TDataBuf::ZlibErrorText(-4), "Decompression Error: Z_MEM_ERROR");
  EXPECT_EQ(TDataBuf::ZlibErrorText(-5), "Decompression Error: Z_BUF_ERROR");
  EXPECT_EQ(TDataBuf::ZlibErrorText(-6), "Decompression Error: Z_VERSION_ERROR");
  EXPECT_EQ(TDataBuf::ZlibErrorText(-3), "Decompression Error: -3");
}

TEST(DataBufTest, SavedBufferLoadsBackAndAMissingFileLoadsEmpty) {
  testsupport::TTempDir dir;
  const std::string path = dir.Path("buf.bin");
  TDataBuf out(std::string("a\0b", 3).data(), 3);
  out.SaveToFile(path);
  TDataBuf in;
  in.LoadFromFile(path);
  EXPECT_EQ(std::string(in.Data(), in.StoredLength()), std::string("a\0b", 3));
  TDataBuf missing;
  missing.LoadFromFile(dir.Path("none.bin"));
  EXPECT_TRUE(missing.IsEmpty());
}
