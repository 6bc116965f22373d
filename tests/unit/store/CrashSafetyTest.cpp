// Power cuts at every write of the store's operations, simulated through the
// file seam's fault plan: after the cut nothing more reaches the disk, or
// the write at the cut reaches it only half. Whatever is left, the next
// opening must find every item as it was, and the item written as it was
// before or as it is after the operation; never anything else.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <map>

#include "app/Version.h"
#include "store/Journal.h"
#include "tests/support/BoxRecorder.h"
#include "tests/support/Lines.h"
#include "tests/support/StoreBytes.h"
#include "tests/support/StoreModel.h"
#include "tests/support/TempDir.h"
#include "util/FileStream.h"

using namespace store;
using testsupport::NumberedLines;
using testsupport::Ptr;

namespace {

std::string Key(const std::string& folder, const std::string& item) {
  return folder + app::KeySeparator + item;
}

using CutPlan = testsupport::TCutPlan;

// What the engine reads for every key: the store as its user sees it.
using Model = std::map<std::string, std::string>;
Model ReadAll(const std::vector<std::string>& keys, const std::string& path) {
  Model m;
  for (const std::string& k : keys) {
    util::TStringList l;
    EXPECT_EQ(ReadStoreLines(l, k, path), 0) << "reading " << k;
    m[k] = l.Text();
  }
  return m;
}

struct Scenario {
  std::string name;
  std::function<void(const std::string& path)> prepare;  // the store before
  std::function<int(const std::string& path)> op;        // the operation cut
  std::vector<std::string> keys;                         // every item to look at
};

// 40 items in five folders, the setup's two templates and the settings.
std::vector<std::string> FillManyItems(const std::string& path) {
  std::vector<std::string> keys;
  for (int f = 0; f < 5; ++f)
    for (int i = 0; i < 8; ++i) {
      const std::string k = Key("folder" + std::to_string(f), "item" + std::to_string(i));
      EXPECT_EQ(WriteStoreLines(k, Ptr(NumberedLines(k, 3 + (i * 7 + f) % 11)), path), 0);
      keys.push_back(k);
    }
  for (const std::string& k : {Key("default", "message"), Key("default", "article")}) {
    EXPECT_EQ(WriteStoreLines(k, Ptr(NumberedLines(k, 12)), path), 0);
    keys.push_back(k);
  }
  EXPECT_EQ(WriteStoreLines("Initialization", Ptr(NumberedLines("Cutmarks=~~", 1)), path), 0);
  keys.push_back("Initialization");
  return keys;
}

std::vector<std::string> ManyKeys() {
  testsupport::TTempDir dir;
  return FillManyItems(dir.Path("keys.dbc"));
}

void Restore(const std::string& path, bool existed, const std::string& bytes) {
  std::remove(JournalPath(path).c_str());
  if (existed)
    testsupport::PutBytes(path, bytes);
  else
    std::remove(path.c_str());
}

// Runs the scenario uncut and then cut (and torn) at every write, checking
// the store after each.
void RunEveryCut(const Scenario& s, const std::string& path) {
  SCOPED_TRACE(s.name);
  testsupport::TBoxRecorder quiet;
  std::remove(path.c_str());
  s.prepare(path);
  const bool existed = util::FileExists(path);
  const std::string before = existed ? testsupport::Bytes(path) : std::string();
  const Model beforeModel = ReadAll(s.keys, path);
  ASSERT_EQ(existed ? testsupport::Bytes(path) : std::string(), before);  // reading wrote nothing

  int writes;
  {
    CutPlan count(CutPlan::CountOnly, 0);
    ASSERT_EQ(s.op(path), 0);
    writes = count.Writes();
  }
  // The journal, then the store's changes: at least two writes to cut.
  ASSERT_GE(writes, 2);
  EXPECT_EQ(util::FileSize(JournalPath(path)), 0);  // kept, empty, for the next operation
  const std::string after = testsupport::Bytes(path);
  const Model afterModel = ReadAll(s.keys, path);
  ASSERT_NE(afterModel, beforeModel);

  int hot = 0, torn = 0;
  for (CutPlan::Kind kind : {CutPlan::CutAfter, CutPlan::TearAt}) {
    for (int n = kind == CutPlan::TearAt ? 1 : 0; n <= writes + 1; ++n) {
      SCOPED_TRACE((kind == CutPlan::TearAt ? "tear at write " : "cut after write ") +
                   std::to_string(n) + " of " + std::to_string(writes));
      Restore(path, existed, before);
      {
        CutPlan cut(kind, n);
        s.op(path);
      }
      const JournalState left = InspectJournal(path);
      hot += left == JournalState::Hot;
      torn += left == JournalState::Torn;
      const Model now = ReadAll(s.keys, path);  // the first read recovers
      EXPECT_LE(util::FileSize(JournalPath(path)), 0);  // nothing left to play back
      EXPECT_TRUE(now == beforeModel || now == afterModel);
      if (n > writes) {
        EXPECT_EQ(now, afterModel);  // nothing was cut
      }
      // A store that was there is byte for byte one of the two; a new one
      // may also be the empty store the read made of a file cut when empty.
      if (existed) {
        const std::string bytes = testsupport::Bytes(path);
        EXPECT_TRUE(bytes == before || bytes == after);
      }
    }
  }
  EXPECT_GT(hot, 0);   // cuts after the journal left it for the next opening
  EXPECT_GT(torn, 0);  // a torn journal was found and ignored
}

}  // namespace

TEST(CrashSafetyTest, FirstWriteIntoMissingFile) {
  testsupport::TTempDir dir;
  const std::string message = Key("default", "message");
  RunEveryCut({"first write", [](const std::string&) {},
               [&](const std::string& p) { return WriteStoreLines(message, Ptr(NumberedLines("m", 4)), p); },
               {message}},
              dir.Path("LN.dbc"));
}

TEST(CrashSafetyTest, WritesIntoAStoreOfManyItems) {
  testsupport::TTempDir dir;
  const std::string path = dir.Path("LN.dbc");
  std::vector<std::string> keys = ManyKeys();
  const std::string fresh = Key("folder9", "new"), posting = Key("default", "posting");
  keys.push_back(fresh);
  keys.push_back(posting);
  const auto prepare = [](const std::string& p) { FillManyItems(p); };
  const std::string message = Key("default", "message");
  const std::vector<Scenario> scenarios = {
      {"new item in a new folder", prepare,
       [&](const std::string& p) { return WriteStoreLines(fresh, Ptr(NumberedLines("new", 5)), p); }, keys},
      {"message grows", prepare,
       [&](const std::string& p) { return WriteStoreLines(message, Ptr(NumberedLines("grown", 60)), p); },
       keys},
      {"message shrinks", prepare,
       [&](const std::string& p) { return WriteStoreLines(message, Ptr(NumberedLines("small", 1)), p); },
       keys},
      {"delete", prepare,
       [&](const std::string& p) { return WriteStoreLines(Key("folder2", "item5"), nullptr, p); },
       keys},
      {"rename", prepare,
       [&](const std::string& p) {
         return RenameStoreItem(Key("default", "article"), "posting", p);
       },
       keys},
  };
  for (const Scenario& s : scenarios) RunEveryCut(s, path);
}

TEST(CrashSafetyTest, SetInitValueSurvivesACutAtEveryWrite) {
  // The settings live in the store named after the running program.
  const std::string exe =
      "LFCUT_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + ".EXE";
  app::InitDerivedNames(exe);
  const std::string path = app::ExeStorePath();
  std::vector<std::string> keys = ManyKeys();
  RunEveryCut({"SetInitValue", [](const std::string& p) { FillManyItems(p); },
               [](const std::string&) { return SetInitValue("Cutmarks", "--"); }, keys},
              path);
  EXPECT_EQ(GetInitValue("cutmarks", "~~"), "--");
  std::remove(path.c_str());
  std::remove(JournalPath(path).c_str());
  app::ResetDerivedNames();
}
