// lnstore from outside (native only): the basic commands and their exit
// codes, that check and dump never change the file they look at, and that a
// hot journal is reported by check and played back by the other commands.
#include <gtest/gtest.h>

#include <cstdlib>

#include "store/Journal.h"
#include "tests/support/StoreBytes.h"
#include "tests/support/TempDir.h"

namespace {
int Tool(const std::string& args, const std::string& stdinFile = "",
         const std::string& stdoutFile = "") {
  std::string cmd = std::string(LNSTORE_PATH) + " " + args;
  if (!stdinFile.empty()) cmd += " < '" + stdinFile + "'";
  cmd += " > '" + (stdoutFile.empty() ? std::string("/dev/null") : stdoutFile) + "' 2>/dev/null";
  const int status = std::system(cmd.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
std::string Q(const std::string& s) { return "'" + s + "'"; }
}  // namespace

TEST(LnstoreTest, PutGetLsMvRmAndExitCodes) {
  testsupport::TTempDir dir;
  const std::string store = dir.Path("LN.dbc"), in = dir.Path("in.txt"), out = dir.Path("out.txt");
  testsupport::PutBytes(in, "From: a@b\nHost: h\rlast");
  ASSERT_EQ(Tool("put " + Q(store) + " default/message", in), 0);
  util::TStringList l;
  ASSERT_EQ(store::ReadStoreLines(l, "default\xFFmessage", store), 0);
  EXPECT_EQ(l.Text(), "From: a@b\r\nHost: h\r\nlast\r\n");

  EXPECT_EQ(Tool("get " + Q(store) + " Default/MESSAGE", "", out), 0);
  EXPECT_EQ(testsupport::Bytes(out), "From: a@b\r\nHost: h\r\nlast\r\n");
  EXPECT_EQ(Tool("get " + Q(store) + " default/absent"), 1);
  EXPECT_EQ(Tool("ls " + Q(store) + " default", "", out), 0);
  EXPECT_NE(testsupport::Bytes(out).find("message"), std::string::npos);
  EXPECT_EQ(Tool("ls " + Q(store) + " nofolder"), 1);

  EXPECT_EQ(Tool("mv " + Q(store) + " default/message note"), 0);
  EXPECT_TRUE(store::ReadStoreStrings("default\xFFnote", nullptr, store));
  EXPECT_EQ(Tool("rm " + Q(store) + " default/note"), 0);
  EXPECT_FALSE(store::ReadStoreStrings("default\xFFnote", nullptr, store));
  EXPECT_EQ(Tool("rm " + Q(store) + " default/note"), 1);
  EXPECT_EQ(Tool("check " + Q(store)), 0);

  EXPECT_EQ(Tool(""), 2);
  EXPECT_EQ(Tool("frob " + Q(store)), 2);
  EXPECT_EQ(Tool("--help"), 0);
  EXPECT_EQ(Tool("get " + Q(dir.Path("missing.dbc")) + " a"), 1);
  EXPECT_FALSE(util::FileExists(dir.Path("missing.dbc")));
}

TEST(LnstoreTest, CheckAndDumpOnlyReadAndFindFaults) {
  testsupport::TTempDir dir;
  const std::string store = dir.Path("LN.dbc");
  // A fresh store without a root cell: opening it for work would add one.
  { store::TFileManager m(store); }
  const std::string fresh = testsupport::Bytes(store);
  EXPECT_EQ(Tool("check " + Q(store)), 0);
  EXPECT_EQ(Tool("dump " + Q(store)), 0);
  EXPECT_EQ(testsupport::Bytes(store), fresh);

  util::TStringList l;
  l.Add("x");
  ASSERT_EQ(store::WriteStoreLines("a\xFF" "b", &l, store), 0);
  ASSERT_EQ(store::WriteStoreLines("a\xFF" "c", &l, store), 0);
  const std::string sound = testsupport::Bytes(store);
  EXPECT_EQ(Tool("check " + Q(store)), 0);

  // A flipped byte inside a compressed record: the stream no longer inflates.
  const int32_t top = testsupport::TopIndexPosition(sound);
  testsupport::FlipByte(store, top + store::RecordHeaderSize + 3);
  const std::string damaged = testsupport::Bytes(store);
  EXPECT_EQ(Tool("check " + Q(store)), 1);
  EXPECT_EQ(Tool("dump " + Q(store)), 0);
  EXPECT_EQ(testsupport::Bytes(store), damaged);

  // A block nobody refers to (the root cell pointing past the top index).
  testsupport::PutBytes(store, sound);
  testsupport::SetInt32(store, store::FirstPayload, -1);
  EXPECT_EQ(Tool("check " + Q(store)), 1);
  testsupport::PutBytes(store, sound.substr(0, 30));
  EXPECT_EQ(Tool("check " + Q(store)), 1);
}

TEST(LnstoreTest, CheckReportsAHotJournalAndOtherCommandsPlayItBack) {
  testsupport::TTempDir dir;
  const std::string store = dir.Path("LN.dbc"), journal = dir.Path("LN.dbc.jnl");
  const std::string out = dir.Path("out.txt");
  util::TStringList l;
  l.Add("From: a@b");
  ASSERT_EQ(store::WriteStoreLines("default\xFFmessage", &l, store), 0);
  const std::string sound = testsupport::Bytes(store);
  ASSERT_EQ(journal, store::JournalPath(store));

  // A cut operation's traces, laid by hand: a journal holding the original
  // bytes of the header, and a store whose header was overwritten and which
  // grew.
  store::TJournalImage hot;
  hot.OriginalLength = static_cast<int32_t>(sound.size());
  hot.Ranges.push_back({store::RootCellOffset, sound.substr(store::RootCellOffset, 8)});
  const std::string journalBytes = store::EncodeJournal(hot);
  std::string cut = sound + "tail of a write that never finished";
  cut.replace(store::RootCellOffset, 8, "\x7f\x7f\x7f\x7f\x7f\x7f\x7f\x7f");
  auto lay = [&] {
    testsupport::PutBytes(store, cut);
    testsupport::PutBytes(journal, journalBytes);
  };

  lay();
  EXPECT_EQ(Tool("check " + Q(store), "", out), 1);
  EXPECT_NE(testsupport::Bytes(out).find("hot journal"), std::string::npos);
  EXPECT_EQ(testsupport::Bytes(store), cut);  // check changes nothing
  EXPECT_EQ(testsupport::Bytes(journal), journalBytes);

  for (const std::string& cmd : {"get " + Q(store) + " default/message", "ls " + Q(store),
                                 "dump " + Q(store), "rm " + Q(store) + " default/absent"}) {
    SCOPED_TRACE(cmd);
    lay();
    Tool(cmd);
    EXPECT_EQ(util::FileSize(journal), 0);
    EXPECT_EQ(testsupport::Bytes(store), sound);
  }
  // The emptied journal stays for the next operation and is no concern.
  EXPECT_EQ(Tool("check " + Q(store), "", out), 0);
  EXPECT_EQ(testsupport::Bytes(out).find("journal"), std::string::npos);

  // A torn journal is reported, is no fault, and the store stays as it is.
  testsupport::PutBytes(journal, journalBytes.substr(0, journalBytes.size() - 1));
  EXPECT_EQ(Tool("check " + Q(store), "", out), 0);
  EXPECT_NE(testsupport::Bytes(out).find("torn journal"), std::string::npos);
  EXPECT_EQ(Tool("get " + Q(store) + " default/message", "", out), 0);
  EXPECT_EQ(testsupport::Bytes(out), "From: a@b\r\n");
  EXPECT_EQ(util::FileSize(journal), 0);
  EXPECT_EQ(testsupport::Bytes(store), sound);
}
