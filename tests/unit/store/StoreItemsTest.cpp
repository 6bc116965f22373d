// Items by key path: the layout of a first write, lookups, rewrites, empty
// items, deleting, renaming, settings lines and the exclusive opening.
#include <gtest/gtest.h>

#include <cstdio>

#include "app/Version.h"
#include "store/Journal.h"
#include "tests/support/BoxRecorder.h"
#include "tests/support/Lines.h"
#include "tests/support/StoreBytes.h"
#include "tests/support/TempDir.h"
#include "util/Errors.h"

using namespace store;
using testsupport::Bytes;
using testsupport::Int32At;
using testsupport::Lines;
using testsupport::Ptr;

namespace {
const std::string kMessage = "default\xFFmessage";
const std::string kArticle = "default\xFF" "article";

// Block length of the record at position, checked against its contents.
int32_t BlockOf(const std::string& b, int32_t position) {
  return testsupport::BlockLengthAt(b, position);
}
}  // namespace

TEST(StoreItemsTest, GetTokenCountsNonEmptyElements) {
  const std::string& sep = app::KeySeparator;
  EXPECT_EQ(GetToken(0, kMessage, sep, "d"), "default");
  EXPECT_EQ(GetToken(1, kMessage, sep, "d"), "message");
  EXPECT_EQ(GetToken(2, kMessage, sep, "d"), "d");
  const std::string t = "\xFF\xFF" "a" "\xFF\xFF" "b" "\xFF";
  EXPECT_EQ(GetToken(0, t, sep, "d"), "a");
  EXPECT_EQ(GetToken(1, t, sep, "d"), "b");
  EXPECT_EQ(GetToken(2, t, sep, "d"), "d");
}

TEST(StoreItemsTest, WriteIntoMissingFileCreatesFourBlocks) {
  testsupport::TTempDir dir;
  const std::string path = dir.Path("LN.dbc");
  ASSERT_EQ(WriteStoreLines(kMessage, Ptr(Lines({"From: a@b", "Host: h"})), path), 0);
  const std::string b = Bytes(path);

  // Root cell first, then the item, the index of "default", the top index.
  const int32_t root = Int32At(b, RootCellOffset);
  ASSERT_EQ(root, FirstPayload);
  EXPECT_EQ(BlockOf(b, root), RootCellBlockSize);
  const int32_t item = root + RootCellPayloadSize + BlockPrefixSize;
  const int32_t folder = item + BlockOf(b, item);
  const int32_t top = folder + BlockOf(b, folder);
  const int32_t dataEnd = top - BlockPrefixSize + BlockOf(b, top);
  EXPECT_EQ(Int32At(b, root), top);
  EXPECT_EQ(Int32At(b, DataEndOffset), dataEnd);
  EXPECT_EQ(Int32At(b, dataEnd), 0);  // empty free list
  EXPECT_EQ(b.size(), static_cast<size_t>(dataEnd + FreeListCountSize));

  const std::string text = "From: a@b\r\nHost: h\r\n";
  EXPECT_EQ(b[item + RecordKindOffset], ItemRecord);
  EXPECT_EQ(b[item + RecordEncodingOffset], ZlibEncoding);
  EXPECT_EQ(Int32At(b, item + RecordDataLengthOffset), static_cast<int32_t>(text.size()));
  EXPECT_EQ(testsupport::RecordData(b, item), text);
  EXPECT_EQ(testsupport::RecordPositionAt(b, item, 0), -1);  // was new

  EXPECT_EQ(b[folder + RecordKindOffset], IndexRecord);
  EXPECT_EQ(testsupport::RecordData(b, folder), testsupport::IndexData({"message"}));
  EXPECT_EQ(testsupport::RecordPositionAt(b, folder, 0), item);
  EXPECT_EQ(testsupport::RecordData(b, top), testsupport::IndexData({"default"}));
  EXPECT_EQ(testsupport::RecordPositionAt(b, top, 0), folder);
  for (int32_t p : {item, folder, top})  // every block is exactly 4 + 12 + S + 4 n, n = 1
    EXPECT_EQ(BlockOf(b, p),
              BlockPrefixSize + RecordHeaderSize + testsupport::StoredLengthAt(b, p) + PositionSize);

  util::TStringList back;
  EXPECT_EQ(ReadStoreLines(back, "Default\xFFMessage", path), 0);
  ASSERT_EQ(back.Count(), 2);
  EXPECT_EQ(back[1], "Host: h");
}

TEST(StoreItemsTest, EmptyListIsAStoredItemThatReadsEmpty) {
  testsupport::TTempDir dir;
  const std::string path = dir.Path("e.dbc");
  util::TStringList none;
  ASSERT_EQ(WriteStoreLines(kMessage, &none, path), 0);
  {
    TFileManager m(path);
    TFMindex top(m, nullptr, "");
    TFMindex folder(m, &top, "default");
    EXPECT_GT(folder.StoredLengthOf("message"), 0);
    EXPECT_EQ(folder.KindOf("message"), ItemRecord);
    EXPECT_EQ(folder.KindOf("absent"), -1);
    EXPECT_EQ(folder.StoredLengthOf("absent"), 0);
    EXPECT_EQ(top.KindOf("default"), IndexRecord);
  }
  util::TStringList back = Lines({"stale"});
  EXPECT_EQ(ReadStoreLines(back, kMessage, path), 0);
  EXPECT_EQ(back.Count(), 0);
  EXPECT_FALSE(ReadStoreStrings(kMessage, nullptr, path));
}

// Dump shows every entry as its name, five spaces and its record's position,
// one per line, in a message box captioned with the product's name.
TEST(StoreItemsTest, IndexDumpShowsNamesAndPositions) {
  testsupport::TTempDir dir;
  const std::string path = dir.Path("d.dbc");
  ASSERT_EQ(WriteStoreLines(kMessage, Ptr(Lines({"a"})), path), 0);
  ASSERT_EQ(WriteStoreLines(kArticle, Ptr(Lines({"b"})), path), 0);
  const std::string b = Bytes(path);
  const int32_t top = testsupport::TopIndexPosition(b);
  const int32_t folder = testsupport::RecordPositionAt(b, top, 0);
  // The first item written is the first block behind the root cell.
  const int32_t message = FirstPayload + RootCellBlockSize;
  ASSERT_EQ(testsupport::RecordData(b, folder), testsupport::IndexData({"message", "article"}));
  ASSERT_EQ(testsupport::RecordPositionAt(b, folder, 0), message);
  const int32_t article = testsupport::RecordPositionAt(b, folder, 1);
  ASSERT_GT(article, message);

  testsupport::TBoxRecorder boxes;
  {
    TFileManager m(path);
    TFMindex topIndex(m, nullptr, "");
    TFMindex folderIndex(m, &topIndex, "default");
    topIndex.Dump();
    folderIndex.Dump();
    folderIndex.Clear();
    folderIndex.Dump();  // an index without entries shows an empty box
  }
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_EQ(boxes[0].text, "default     " + std::to_string(folder) + "\n");
  EXPECT_EQ(boxes[1].text, "message     " + std::to_string(message) + "\narticle     " +
                                std::to_string(article) + "\n");
  EXPECT_EQ(boxes[2].text, "");
  for (const auto& box : boxes.boxes) EXPECT_EQ(box.caption, app::ProductName);
  // Dumping reads nothing more and writes nothing.
  EXPECT_EQ(Bytes(path), b);
}

TEST(StoreItemsTest, DeleteAndRename) {
  testsupport::TTempDir dir;
  const std::string path = dir.Path("d.dbc");
  ASSERT_EQ(WriteStoreLines(kMessage, Ptr(Lines({"m"})), path), 0);
  ASSERT_EQ(WriteStoreLines(kArticle, Ptr(Lines({"a1", "a2"})), path), 0);

  std::string key = " \tdefault\xFF" "article\r\n";
  EXPECT_EQ(RenameStoreItemTrimmed(key, "posting", path), 0);
  EXPECT_EQ(key, "default\xFF" "article");
  util::TStringList l;
  EXPECT_EQ(ReadStoreLines(l, kArticle, path), 0);
  EXPECT_EQ(l.Count(), 0);
  EXPECT_TRUE(ReadStoreStrings("default\xFFposting", &l, path));
  EXPECT_EQ(l.Text(), "a1\r\na2\r\n");
  EXPECT_EQ(RenameStoreItem("default", "folder", path), 0);  // folders rename alike
  EXPECT_TRUE(ReadStoreStrings("folder\xFFmessage", nullptr, path));

  EXPECT_EQ(WriteStoreLines("folder\xFFmessage", nullptr, path), 0);
  EXPECT_EQ(ReadStoreLines(l, "folder\xFFmessage", path), 0);
  EXPECT_EQ(l.Count(), 0);
  const std::string b = Bytes(path);
  const int32_t top = testsupport::TopIndexPosition(b);
  const int32_t folder = testsupport::RecordPositionAt(b, top, 0);
  EXPECT_EQ(testsupport::RecordData(b, folder), testsupport::IndexData({"posting"}));

  // Deleting the last entry leaves an index of the single NUL.
  EXPECT_EQ(WriteStoreLines("folder\xFFposting", nullptr, path), 0);
  const std::string c = Bytes(path);
  const int32_t top2 = testsupport::TopIndexPosition(c);
  const int32_t folder2 = testsupport::RecordPositionAt(c, top2, 0);
  EXPECT_EQ(testsupport::RecordData(c, folder2), std::string(1, '\0'));
  EXPECT_EQ(BlockOf(c, folder2),
            BlockPrefixSize + RecordHeaderSize + testsupport::StoredLengthAt(c, folder2));
}

TEST(StoreItemsTest, RewriteLandsInReleasedSpace) {
  testsupport::TTempDir dir;
  const std::string path = dir.Path("w.dbc");
  ASSERT_EQ(WriteStoreLines(kMessage, Ptr(Lines({"version A"})), path), 0);
  const std::string b = Bytes(path);
  const int32_t item = FirstPayload + RootCellPayloadSize + BlockPrefixSize;
  const int32_t oldEnd = Int32At(b, DataEndOffset);

  // Same size: the released record's place is taken again.
  ASSERT_EQ(WriteStoreLines(kMessage, Ptr(Lines({"version B"})), path), 0);
  std::string c = Bytes(path);
  const int32_t top = testsupport::TopIndexPosition(c);
  int32_t folder = testsupport::RecordPositionAt(c, top, 0);
  EXPECT_EQ(testsupport::RecordPositionAt(c, folder, 0), item);

  // Larger than any free extent: appended; the folder's new record then
  // takes the front of the space merged from the old item and old folder.
  util::TStringList big;
  for (int i = 0; i < 200; ++i) big.Add("line " + std::to_string(i * 7919));
  const int32_t endBefore = Int32At(c, DataEndOffset);
  ASSERT_EQ(WriteStoreLines(kMessage, &big, path), 0);
  c = Bytes(path);
  const int32_t top2 = testsupport::TopIndexPosition(c);
  folder = testsupport::RecordPositionAt(c, top2, 0);
  EXPECT_EQ(folder, item);
  EXPECT_EQ(testsupport::RecordPositionAt(c, folder, 0),
            endBefore + BlockPrefixSize);
  EXPECT_EQ(oldEnd, endBefore);
  util::TStringList back;
  EXPECT_EQ(ReadStoreLines(back, kMessage, path), 0);
  EXPECT_EQ(back.Text(), big.Text());
}

TEST(StoreItemsTest, BytesLeftBehindTheFreeListWhenTheLastRecordGoes) {
  // Deleting the last, large record moves the data end back; the file is
  // never shortened, so the old record's bytes stay behind the free list.
  // Every call must still read and write such a store.
  testsupport::TTempDir dir;
  const std::string path = dir.Path("tail.dbc");
  for (int i = 0; i < 6; ++i)
    ASSERT_EQ(WriteStoreLines("box\xFF" "m" + std::to_string(i),
                              Ptr(Lines({("x" + std::to_string(i)).c_str()})), path), 0);
  util::TStringList big;
  for (int i = 0; i < 3000; ++i) big.Add(std::to_string(i * 2654435761u));
  ASSERT_EQ(WriteStoreLines("box\xFF" "big", &big, path), 0);
  ASSERT_EQ(WriteStoreLines("box\xFF" "m2", nullptr, path), 0);  // a free extent in the list
  ASSERT_EQ(WriteStoreLines("box\xFF" "big", nullptr, path), 0);
  const std::string b = Bytes(path);
  const int32_t dataEnd = Int32At(b, DataEndOffset);
  const int32_t count = Int32At(b, dataEnd);
  ASSERT_GT(count, 0);
  ASSERT_GT(static_cast<int64_t>(b.size()), dataEnd + FreeListBytes(count) + 8192)
      << "the old record's bytes are behind the free list";

  util::TStringList l;
  EXPECT_EQ(ReadStoreLines(l, "box\xFF" "m5", path), 0);
  EXPECT_EQ(l.Text(), "x5\r\n");
  EXPECT_EQ(WriteStoreLines("box\xFF" "m6", Ptr(Lines({"new"})), path), 0);
  EXPECT_EQ(ReadStoreLines(l, "box\xFF" "m6", path), 0);
  EXPECT_EQ(l.Text(), "new\r\n");
  EXPECT_EQ(RenameStoreItem("box\xFF" "m0", "first", path), 0);
  EXPECT_EQ(ReadStoreLines(l, "box\xFF" "first", path), 0);
  EXPECT_EQ(l.Text(), "x0\r\n");
}

TEST(StoreItemsTest, DeepKeyPathsGrowTheWalk) {
  testsupport::TTempDir dir;
  const std::string path = dir.Path("deep.dbc");
  std::string key;
  for (int i = 0; i < 20; ++i) key += "level" + std::to_string(i) + "\xFF";
  key += "item";
  ASSERT_EQ(WriteStoreLines(key, Ptr(Lines({"deep"})), path), 0);
  util::TStringList back;
  EXPECT_EQ(ReadStoreLines(back, key, path), 0);
  EXPECT_EQ(back.Text(), "deep\r\n");
}

TEST(StoreItemsTest, NamesThatWouldSplitAreRefused) {
  testsupport::TTempDir dir;
  const std::string path = dir.Path("n.dbc");
  EXPECT_EQ(WriteStoreLines("a\r\nb\xFFx", Ptr(Lines({"x"})), path), WriteError);
  EXPECT_FALSE(util::FileExists(path));  // refused before anything was made
  ASSERT_EQ(WriteStoreLines(kMessage, Ptr(Lines({"m"})), path), 0);
  const std::string before = Bytes(path);
  EXPECT_EQ(WriteStoreLines(std::string("default\xFFno\0pe", 13), Ptr(Lines({"x"})), path), WriteError);
  EXPECT_EQ(RenameStoreItem(kMessage, "two\nlines", path), WriteError);
  EXPECT_EQ(RenameStoreItem(kMessage, "", path), WriteError);
  EXPECT_EQ(RenameStoreItem(kMessage, "a\xFF" "b", path), WriteError);
  EXPECT_EQ(Bytes(path), before);
}

TEST(StoreItemsTest, EmptyKeyPathDoesNothing) {
  testsupport::TTempDir dir;
  const std::string path = dir.Path("k.dbc");
  util::TStringList l = Lines({"x"});
  EXPECT_EQ(WriteStoreLines("\xFF\xFF", &l, path), 0);
  EXPECT_EQ(ReadStoreLines(l, "", path), 0);
  EXPECT_EQ(l.Count(), 0);
  // Opening for work still gives the store its root cell.
  EXPECT_EQ(Bytes(path).size(), static_cast<size_t>(FirstPayload + RootCellPayloadSize +
                                                    FreeListCountSize));
  EXPECT_FALSE(util::FileExists(dir.Path("missing.dbc")));
  EXPECT_EQ(ReadStoreLines(l, kMessage, dir.Path("missing.dbc")), 0);
  EXPECT_FALSE(util::FileExists(dir.Path("missing.dbc")));  // reads never create
}

TEST(StoreItemsTest, InitValuesRoundTripOnExeStorePath) {
  // Upper-casing the executable's path must leave it usable on a
  // case-sensitive file system: an upper-case name in the working folder.
  const std::string exe = "LFSTORE_INIT_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + ".EXE";
  app::InitDerivedNames(exe);
  const std::string store = app::ExeStorePath();
  std::remove(store.c_str());
  EXPECT_EQ(GetInitValue("Cutmarks", "~~"), "~~");
  EXPECT_FALSE(util::FileExists(store));
  ASSERT_EQ(WriteStoreLines("Initialization", Ptr(Lines({"Other=1", "NoEquals"})), store), 0);
  EXPECT_EQ(GetInitValue("Cutmarks", "~~"), "~~");
  EXPECT_EQ(SetInitValue("Cutmarks", "--"), 0);
  EXPECT_EQ(GetInitValue("cutmarks", "~~"), "--");
  EXPECT_EQ(SetInitValue("CUTMARKS", "=="), 0);
  util::TStringList l;
  ReadStoreLines(l, "Initialization", store);
  EXPECT_EQ(l.Text(), "Other=1\r\nNoEquals\r\nCUTMARKS===\r\n");
  EXPECT_EQ(SetInitValue("cutmarks", ""), 0);
  EXPECT_EQ(GetInitValue("Cutmarks", "~~"), "~~");
  EXPECT_EQ(GetInitValue("Other", "0"), "1");
  std::remove(store.c_str());
  std::remove(JournalPath(store).c_str());
  app::ResetDerivedNames();
}

TEST(StoreItemsTest, SecondOpenerFails) {
  testsupport::TTempDir dir;
  const std::string path = dir.Path("x.dbc");
  ASSERT_EQ(WriteStoreLines(kMessage, Ptr(Lines({"m"})), path), 0);
  const std::string before = Bytes(path);
  {
    TFileManager holder(path);
    util::TStringList l;
    EXPECT_THROW(ReadStoreLines(l, kMessage, path), util::EFOpenError);
    EXPECT_THROW(WriteStoreLines(kMessage, &l, path), util::EFOpenError);
    // The error names the file and gives the system's reason on one line.
    try {
      ReadStoreLines(l, kMessage, path);
      ADD_FAILURE() << "the second opening succeeded";
    } catch (const util::EFOpenError& e) {
      const std::string prefix = "Cannot open file \"" + path + "\". ";
      EXPECT_EQ(e.Message().compare(0, prefix.size(), prefix), 0) << e.Message();
      EXPECT_GT(e.Message().size(), prefix.size()) << e.Message();
      EXPECT_EQ(e.Message().find_first_of("\r\n"), std::string::npos) << e.Message();
      EXPECT_NE(e.Message().back(), ' ') << e.Message();
    }
  }
  EXPECT_EQ(Bytes(path), before);
  util::TStringList l;
  EXPECT_EQ(ReadStoreLines(l, kMessage, path), 0);
  EXPECT_EQ(l.Text(), "m\r\n");
}

TEST(StoreItemsTest, CopyFileContents) {
  testsupport::TTempDir dir;
  const std::string src = dir.Path("src.bin"), dst = dir.Path("dst.bin");
  CopyFileContents(dst, src);
  EXPECT_FALSE(util::FileExists(dst));
  testsupport::PutBytes(src, std::string("a\0\xFF", 3));
  testsupport::PutBytes(dst, "longer old contents");
  CopyFileContents(dst, src);
  EXPECT_EQ(Bytes(dst), std::string("a\0\xFF", 3));
}

TEST(StoreItemsTest, IndexLookupAnswersLikeTheStringList) {
  testsupport::TTempDir dir;
  const std::string path = dir.Path("i.dbc");
  TFileManager m(path);
  TFMindex index(m, nullptr, "");
  // Latin-1 letters fold like ASCII ones; the first match wins; lengths
  // must agree; bytes without a case stay themselves.
  for (const char* name : {"item12", "\xC4rger", "\xE4RGER", "Item1", "ITEM12", "x\xD7y", "", "\xFF"})
    index.Add(name, 7);
  const util::TStringList& list = index;
  for (const char* probe : {"ITEM12", "item1", "\xE4rger", "\xC4RGER", "X\xD7Y", "x\xF7y", "",
                            "\x9F", "\xFF", "item", "item123", "absent"}) {
    SCOPED_TRACE(probe);
    EXPECT_EQ(index.IndexOf(probe), list.IndexOf(probe));
  }
  EXPECT_EQ(index.IndexOf("ITEM12"), 0);
  EXPECT_EQ(index.IndexOf("\xE4rger"), 1);
  EXPECT_EQ(index.IndexOf("item"), -1);
}
