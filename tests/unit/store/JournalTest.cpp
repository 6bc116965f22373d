// The rollback journal on its own: its stored form, and playback of a hot
// journal left next to a store on purpose, by the next read, also when that
// playback is itself cut.
#include <gtest/gtest.h>

#include <cstdio>
#include <utility>
#include <vector>

#include "store/Journal.h"
#include "tests/support/Lines.h"
#include "tests/support/StoreBytes.h"
#include "tests/support/StoreModel.h"
#include "tests/support/TempDir.h"
#include "util/FileStream.h"

using namespace store;
using testsupport::NumberedLines;
using testsupport::Ptr;

namespace {
const std::string kMessage = "default\xFFmessage";

// The next read finds the message as written, with the journal emptied and
// the store byte for byte as it was before the journal was laid.
void ExpectMessageRestored(const std::string& path, const std::string& journal,
                           const util::TStringList& message, const std::string& sound) {
  util::TStringList l;
  EXPECT_EQ(ReadStoreLines(l, kMessage, path), 0);
  EXPECT_EQ(l.Text(), message.Text());
  EXPECT_EQ(util::FileSize(journal), 0);
  EXPECT_EQ(testsupport::Bytes(path), sound);
}

// Lets the first n writes through and nothing after them.
struct CutAfter : testsupport::TCutPlan {
  explicit CutAfter(int n) : testsupport::TCutPlan(testsupport::TCutPlan::CutAfter, n) {}
};
}  // namespace

TEST(JournalTest, StoredFormRoundTripsAndAnyTearIsRecognised) {
  TJournalImage j;
  j.OriginalLength = 300;
  j.Ranges.push_back({RootCellOffset, std::string("\x32\0\0\0\x2e\x01\0\0", HeaderFieldsSize)});
  j.Ranges.push_back({120, std::string(40, 'r')});
  const std::string bytes = EncodeJournal(j);
  ASSERT_EQ(bytes.size(), static_cast<size_t>(JournalHeaderSize + 2 * JournalRangeHeadSize + 48 +
                                              JournalTrailerSize));
  EXPECT_EQ(bytes.substr(0, JournalMagicSize), std::string(JournalMagic, JournalMagicSize));
  EXPECT_EQ(testsupport::Int32At(bytes, JournalLengthOffset), 300);
  EXPECT_EQ(testsupport::Int32At(bytes, JournalCountOffset), 2);
  TJournalImage back;
  ASSERT_TRUE(DecodeJournal(bytes, back));
  EXPECT_EQ(back.OriginalLength, 300);
  ASSERT_EQ(back.Ranges.size(), 2u);
  EXPECT_EQ(back.Ranges[1].Offset, 120);
  EXPECT_EQ(back.Ranges[1].Bytes, std::string(40, 'r'));

  // Every shorter piece of it, and every single damaged byte, is torn.
  for (size_t n = 0; n < bytes.size(); ++n) EXPECT_FALSE(DecodeJournal(bytes.substr(0, n), back)) << n;
  for (size_t i = 0; i < bytes.size(); ++i) {
    std::string flipped = bytes;
    flipped[i] = static_cast<char>(flipped[i] ^ 0x10);
    EXPECT_FALSE(DecodeJournal(flipped, back)) << i;
  }
  // A range outside the original length is not played back.
  j.Ranges.push_back({299, "xy"});
  EXPECT_FALSE(DecodeJournal(EncodeJournal(j), back));

  // Playback in memory: ranges back, length back.
  std::string store(310, 'n');
  j.Ranges.pop_back();
  ApplyJournal(j, store);
  EXPECT_EQ(store.size(), 300u);
  EXPECT_EQ(store.substr(120, 40), std::string(40, 'r'));
  EXPECT_EQ(store.substr(RootCellOffset, HeaderFieldsSize), j.Ranges[0].Bytes);
  EXPECT_EQ(store.substr(0, MagicSize), std::string(MagicSize, 'n'));
}

TEST(JournalTest, HotJournalLeftOnPurposeIsPlayedBackByTheNextRead) {
  testsupport::TTempDir dir;
  const std::string path = dir.Path("LN.dbc"), journal = dir.Path("LN.dbc.jnl");
  ASSERT_EQ(JournalPath(path), journal);
  ASSERT_EQ(WriteStoreLines(kMessage, Ptr(NumberedLines("From: x", 5)), path), 0);
  ASSERT_EQ(WriteStoreLines("default\xFF" "article", Ptr(NumberedLines("Newsgroups", 9)), path), 0);
  const std::string sound = testsupport::Bytes(path);
  const int32_t top = testsupport::TopIndexPosition(sound);

  // The traces of a cut: the header and the top index overwritten, the file
  // grown, and the journal with their original bytes.
  TJournalImage hot;
  hot.OriginalLength = static_cast<int32_t>(sound.size());
  hot.Ranges.push_back({RootCellOffset, sound.substr(RootCellOffset, 8)});
  hot.Ranges.push_back({top, sound.substr(static_cast<size_t>(top), 20)});
  std::string cut = sound + std::string(64, '\x55');
  cut.replace(RootCellOffset, 8, std::string(8, '\x7f'));
  cut.replace(static_cast<size_t>(top), 20, std::string(20, '\0'));
  const auto lay = [&] {
    testsupport::PutBytes(path, cut);
    testsupport::PutBytes(journal, EncodeJournal(hot));
  };

  lay();
  ASSERT_EQ(InspectJournal(path), JournalState::Hot);
  ExpectMessageRestored(path, journal, NumberedLines("From: x", 5), sound);
  util::TStringList l;

  // Playback cut at each of its own writes: the journal stays hot and the
  // opening after that finishes the job.
  int writes = 0;
  for (int n = 0; n == 0 || n < writes; ++n) {
    SCOPED_TRACE("playback cut after write " + std::to_string(n));
    lay();
    {
      CutAfter plan(n);
      util::TStringList ignored;
      ReadStoreLines(ignored, kMessage, path);
      if (n == 0) writes = plan.Writes();
    }
    EXPECT_EQ(InspectJournal(path), JournalState::Hot);
    EXPECT_EQ(ReadStoreLines(l, "default\xFF" "article", path), 0);
    EXPECT_EQ(l.Text(), NumberedLines("Newsgroups", 9).Text());
    EXPECT_EQ(testsupport::Bytes(path), sound);
  }
  EXPECT_EQ(writes, 2);  // one write per range

  // A torn journal next to an untouched store is only removed.
  testsupport::PutBytes(path, sound);
  testsupport::PutBytes(journal, EncodeJournal(hot).substr(0, 30));
  ASSERT_EQ(InspectJournal(path), JournalState::Torn);
  ExpectMessageRestored(path, journal, NumberedLines("From: x", 5), sound);

  // A write plays the journal back before it works on the store.
  lay();
  ASSERT_EQ(WriteStoreLines(kMessage, Ptr(NumberedLines("From: y", 2)), path), 0);
  EXPECT_EQ(util::FileSize(journal), 0);
  EXPECT_EQ(ReadStoreLines(l, "default\xFF" "article", path), 0);
  EXPECT_EQ(l.Text(), NumberedLines("Newsgroups", 9).Text());
}

TEST(JournalTest, HeldWritesReadBackBeforeTheCommitAndReachTheFileOnlyThen) {
  testsupport::TTempDir dir;
  const std::string path = dir.Path("held.dbc");
  testsupport::PutBytes(path, "0123456789");
  // The file is held exclusively (on Win32 nobody else may read it), so it
  // is looked at after each opening ends.
  for (const bool commit : {false, true}) {
    SCOPED_TRACE(commit ? "committed" : "not committed");
    TJournaledFile f(path, util::TFileStream::OpenExisting);
    f.Seek(8);
    EXPECT_EQ(f.Write("abcd", 4), 4);  // over the end: the file grows
    f.Seek(2);
    EXPECT_EQ(f.Write("XY", 2), 2);
    f.Seek(3);
    EXPECT_EQ(f.Write("Z", 1), 1);  // inside a held run
    f.Seek(4);
    EXPECT_EQ(f.Write("W", 1), 1);  // touching it
    EXPECT_EQ(f.Size(), 12);
    char got[13] = {};
    f.Seek(0);
    EXPECT_EQ(f.Read(got, 13), 12);
    EXPECT_EQ(std::string(got, 12), "01XZW567abcd");
    EXPECT_TRUE(f.Pending());
    if (commit) {
      ASSERT_TRUE(f.Commit());
      EXPECT_FALSE(f.Pending());
    }
  }
  // Only the committed round reached the file, and its journal is empty.
  EXPECT_EQ(testsupport::Bytes(path), "01XZW567abcd");
  EXPECT_EQ(util::FileSize(JournalPath(path)), 0);
  // Without the commit the file kept its bytes.
  testsupport::PutBytes(path, "0123456789");
  {
    TJournaledFile f(path, util::TFileStream::OpenExisting);
    f.Seek(0);
    f.Write("zz", 2);
  }
  EXPECT_EQ(testsupport::Bytes(path), "0123456789");
}

TEST(JournalTest, AnExistingFileIsJournaledFromItsOwnLengthHoweverItIsOpened) {
  // Opening as it is or making it when missing finds this file there: its
  // length is the file's, not that of a new one. The journal must record
  // it, or playing back a cut write would cut the file to nothing.
  testsupport::TTempDir dir;
  const std::string path = dir.Path("always.dbc");
  for (const auto mode : {util::TFileStream::OpenExisting, util::TFileStream::OpenAlways}) {
    SCOPED_TRACE(mode == util::TFileStream::OpenAlways ? "OpenAlways" : "OpenExisting");
    testsupport::PutBytes(path, "0123456789");
    {
      TJournaledFile f(path, mode);
      EXPECT_EQ(f.Size(), 10);
      f.Seek(8);
      EXPECT_EQ(f.Write("abcd", 4), 4);
      EXPECT_EQ(f.Size(), 12);
      char got[12] = {};
      f.Seek(0);
      EXPECT_EQ(f.Read(got, 12), 12);
      EXPECT_EQ(std::string(got, 12), "01234567abcd");
      CutAfter plan(1);  // the journal is written, the store is not
      f.Commit();
    }
    TJournalImage hot;
    ASSERT_EQ(InspectJournal(path, &hot), JournalState::Hot);
    EXPECT_EQ(hot.OriginalLength, 10);
    ASSERT_TRUE(RecoverStore(path));
    EXPECT_EQ(testsupport::Bytes(path), "0123456789");
  }
  // One that OpenAlways makes starts empty.
  std::remove(path.c_str());
  TJournaledFile made(path, util::TFileStream::OpenAlways);
  EXPECT_EQ(made.Size(), 0);
  made.Write("new", 3);
  EXPECT_TRUE(made.Commit());
  EXPECT_EQ(made.Size(), 3);
}

TEST(JournalTest, BytesWrittenOverAndOverAreJournaledAndWrittenOnce) {
  testsupport::TTempDir dir;
  const std::string path = dir.Path("once.dbc");
  const auto operate = [&](int cut) {
    testsupport::PutBytes(path, "0123456789");
    CutAfter plan(cut);
    TJournaledFile f(path, util::TFileStream::OpenExisting);
    const auto put = [&](int64_t at, const std::string& bytes) {
      f.Seek(at);
      f.Write(bytes.data(), static_cast<int32_t>(bytes.size()));
    };
    put(2, "ab");
    put(3, "cdef");  // over the end of the one before
    put(7, "g");     // touching it
    put(4, "xy");    // inside
    put(12, "zz");   // past the end, apart from the rest
    put(0, "Q");     // apart too
    put(8, "STUV");  // over the end of the file: joins [2, 8) and [12, 14)
    f.Commit();
    return plan.Writes();
  };
  // The journal, then one write for each of the two stretches the writes
  // make: [0, 1) and [2, 14).
  EXPECT_EQ(operate(1000), 3);
  EXPECT_EQ(testsupport::Bytes(path), "Q1acxyfgSTUVzz");
  EXPECT_EQ(util::FileSize(JournalPath(path)), 0);

  // Cut after the journal: it holds each original byte under the writes
  // once, in ranges that do not overlap, and playing it back restores the
  // file.
  operate(1);
  TJournalImage hot;
  ASSERT_EQ(InspectJournal(path, &hot), JournalState::Hot);
  EXPECT_EQ(hot.OriginalLength, 10);
  ASSERT_EQ(hot.Ranges.size(), 2u);
  EXPECT_EQ(hot.Ranges[0].Offset, 0);
  EXPECT_EQ(hot.Ranges[0].Bytes, "0");
  EXPECT_EQ(hot.Ranges[1].Offset, 2);
  EXPECT_EQ(hot.Ranges[1].Bytes, "23456789");
  ASSERT_TRUE(RecoverStore(path));
  EXPECT_EQ(testsupport::Bytes(path), "0123456789");
}

TEST(JournalTest, JournalWithoutItsStoreIsDroppedNotPlayedBack) {
  testsupport::TTempDir dir;
  const std::string path = dir.Path("LN.dbc"), journal = dir.Path("LN.dbc.jnl");
  TJournalImage stale;
  stale.OriginalLength = 400;
  stale.Ranges.push_back({RootCellOffset, std::string(HeaderFieldsSize, '\x11')});
  testsupport::PutBytes(journal, EncodeJournal(stale));
  // A read of a missing store makes nothing and plays nothing back.
  util::TStringList l;
  EXPECT_EQ(ReadStoreLines(l, kMessage, path), 0);
  EXPECT_FALSE(util::FileExists(path));
  // A write makes the store as a first write does; the journal is emptied.
  ASSERT_EQ(WriteStoreLines(kMessage, Ptr(NumberedLines("m", 2)), path), 0);
  EXPECT_EQ(util::FileSize(journal), 0);
  const std::string made = testsupport::Bytes(path);
  const std::string fresh = dir.Path("fresh.dbc");
  ASSERT_EQ(WriteStoreLines(kMessage, Ptr(NumberedLines("m", 2)), fresh), 0);
  EXPECT_EQ(made, testsupport::Bytes(fresh));
}

TEST(JournalTest, JournalLongerThanItsStoreIsStaleAndNotPlayedBack) {
  testsupport::TTempDir dir;
  const std::string path = dir.Path("LN.dbc"), journal = dir.Path("LN.dbc.jnl");
  ASSERT_EQ(WriteStoreLines(kMessage, Ptr(NumberedLines("From: z", 3)), path), 0);
  const std::string sound = testsupport::Bytes(path);
  // A whole journal of a store longer than this one: the store was replaced
  // (say, by a fresh copy) after a cut, and the journal is not its own.
  TJournalImage other;
  other.OriginalLength = static_cast<int32_t>(sound.size()) + 100;
  other.Ranges.push_back({RootCellOffset, std::string(8, '\x22')});
  testsupport::PutBytes(journal, EncodeJournal(other));
  EXPECT_EQ(InspectJournal(path), JournalState::Stale);
  ExpectMessageRestored(path, journal, NumberedLines("From: z", 3), sound);
}

TEST(JournalTest, TheEmptyJournalStaysBetweenOperationsAndALeftOverOneIsEmptiedFirst) {
  testsupport::TTempDir dir;
  const std::string path = dir.Path("LN.dbc"), journal = dir.Path("LN.dbc.jnl");
  // The user's files beside the store, some named much like the journal:
  // nothing the journal does may touch them.
  const std::vector<std::pair<std::string, std::string>> sentinels = {
      {dir.Path("LN.pgp"), "encrypted store"},      {dir.Path("LN.dbc.jnl.bak"), "a copy"},
      {dir.Path("LN.pgp.jnl"), "another journal"}, {dir.Path("Notes.txt"), "the user's notes"}};
  for (const auto& [file, text] : sentinels) testsupport::PutBytes(file, text);
  // Opening for an operation makes a missing journal and keeps an existing
  // one's bytes; only the operation's own writes change them.
  EXPECT_EQ(util::FileSize(journal), -1);
  { util::TFileStream made(journal, util::TFileStream::OpenAlways); }
  EXPECT_EQ(util::FileSize(journal), 0);
  testsupport::PutBytes(journal, "kept");
  { util::TFileStream kept(journal, util::TFileStream::OpenAlways); }
  EXPECT_EQ(testsupport::Bytes(journal), "kept");
  EXPECT_EQ(util::FileSize(dir.Path("")), -1);  // a folder has no file length
  std::remove(journal.c_str());

  // After each operation the journal is there, empty, and nothing to report.
  ASSERT_EQ(WriteStoreLines(kMessage, Ptr(NumberedLines("From: a", 4)), path), 0);
  EXPECT_EQ(util::FileSize(journal), 0);
  EXPECT_EQ(InspectJournal(path), JournalState::None);
  const std::string sound = testsupport::Bytes(path);
  util::TStringList l;
  ASSERT_EQ(ReadStoreLines(l, kMessage, path), 0);
  EXPECT_EQ(util::FileSize(journal), 0);

  // A torn journal far longer than the next operation's own: the operation
  // empties it before it writes its journal, so a cut right after that
  // journal leaves a whole, hot one rather than a torn mix of the two.
  testsupport::PutBytes(journal, std::string(20000, 'x'));
  ASSERT_EQ(InspectJournal(path), JournalState::Torn);
  {
    CutAfter plan(1);
    WriteStoreLines(kMessage, Ptr(NumberedLines("From: b", 7)), path);
  }
  EXPECT_LT(util::FileSize(journal), 20000);
  EXPECT_EQ(InspectJournal(path), JournalState::Hot);
  ASSERT_EQ(ReadStoreLines(l, kMessage, path), 0);
  EXPECT_EQ(l.Text(), NumberedLines("From: a", 4).Text());
  EXPECT_EQ(testsupport::Bytes(path), sound);
  EXPECT_EQ(util::FileSize(journal), 0);

  // A journal left without its store is emptied by the write that makes the
  // store anew.
  std::remove(path.c_str());
  testsupport::PutBytes(journal, std::string(64, 'y'));
  ASSERT_EQ(WriteStoreLines(kMessage, Ptr(NumberedLines("From: c", 2)), path), 0);
  EXPECT_EQ(util::FileSize(journal), 0);
  for (const auto& [file, text] : sentinels) EXPECT_EQ(testsupport::Bytes(file), text) << file;
}
