// Random sequences of store calls from fixed seeds, each step held to the
// reference model in tests/support/StoreModel: every call on the sound store
// succeeds, every item reads back as the model says, and the soundness check
// finds no fault (no leaked, overlapping or unreachable block). The second
// test cuts the power at a random write of random steps.
//
// Long mode: LF_MODEL_STEPS (steps per seed), LF_MODEL_SEEDS (how many
// seeds) and LF_MODEL_FIRST_SEED (the first, 1 by default: runs side by side
// take other seeds) in the environment; scripts/store-model runs it.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "app/Version.h"
#include "store/Format.h"
#include "store/Journal.h"
#include "tests/support/BoxRecorder.h"
#include "tests/support/StoreModel.h"
#include "tools/lnstore/StoreImage.h"
#include "util/FileStream.h"

using testsupport::NextStoreOp;
using testsupport::TModelChecker;
using testsupport::TSeededChoices;

namespace {

long FromEnv(const char* name, long fallback) {
  const char* v = std::getenv(name);
  return v && *v ? std::atol(v) : fallback;
}

// The store the settings calls reach: named after a program in the working
// folder, upper-cased as start-up leaves it.
class ModelStore {
 public:
  explicit ModelStore(uint32_t seed) {
    app::InitDerivedNames("LFMODEL" + std::to_string(seed) + ".EXE");
    Remove();
  }
  ~ModelStore() {
    Remove();
    app::ResetDerivedNames();
  }
  const std::string& Path() const { return app::ExeStorePath(); }

 private:
  void Remove() const {
    std::remove(Path().c_str());
    std::remove(store::JournalPath(Path()).c_str());
  }
};

// Whether the file holds bytes behind its free list: the shape a read-path
// shortcut once refused.
bool BytesBehindFreeList(const std::string& path) {
  std::string bytes;
  if (!util::FileExists(path) || !util::ReadWholeFile(path, bytes) || bytes.empty()) return false;
  tools::StoreImage image(bytes);
  return image.Readable() &&
         static_cast<int64_t>(bytes.size()) >
             image.DataEnd() + store::FreeListBytes(static_cast<int64_t>(image.FreePositions().size()));
}

struct RunFigures {
  long steps = 0, behind = 0, cuts = 0, maxItems = 0;
};

void RunSeed(uint32_t seed, long steps, int cutPercent, RunFigures& figures) {
  testsupport::TBoxRecorder boxes;  // an inflate failure would show a box
  ModelStore store(seed);
  TModelChecker checker(store.Path());
  TSeededChoices choices(seed);
  for (long i = 0; i < steps; ++i) {
    const testsupport::TStoreOp op = NextStoreOp(checker.Model(), choices, true);
    const std::string d = cutPercent > 0 && choices.Chance(static_cast<uint32_t>(cutPercent))
                              ? checker.CutStep(op, choices)
                              : checker.Step(op, i % 20 == 0 ? TModelChecker::VerifyAll
                                                           : TModelChecker::VerifyFile);
    ASSERT_EQ(d, "") << "seed " << seed << ", step " << i;
    if (i % 10 == 0) {
      figures.behind += BytesBehindFreeList(store.Path());
      std::vector<std::vector<std::string>> items;
      checker.Model().Each(&items, nullptr);
      figures.maxItems = std::max<long>(figures.maxItems, static_cast<long>(items.size()));
    }
    ++figures.steps;
  }
  ASSERT_EQ(checker.Verify(true), "") << "seed " << seed << " at the end";
  EXPECT_EQ(boxes.size(), 0u) << "seed " << seed;
  figures.cuts += checker.Cuts();
  if (steps >= 10000) {  // long mode: how far it got, as it goes
    std::printf("  seed %u: %ld steps clean\n", seed, steps);
    std::fflush(stdout);
  }
}

void Report(const char* what, const RunFigures& f, std::chrono::steady_clock::time_point start) {
  const double secs =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%s: %ld steps, %ld power cuts, up to %ld items, %ld samples with bytes behind "
              "the free list, %.1f s\n",
              what, f.steps, f.cuts, f.maxItems, f.behind, secs);
}

}  // namespace

TEST(StoreModelTest, RandomCallsAgreeWithTheModelAtEveryStep) {
  const long steps = FromEnv("LF_MODEL_STEPS", 800);
  const long seeds = FromEnv("LF_MODEL_SEEDS", 3);
  const uint32_t first = static_cast<uint32_t>(FromEnv("LF_MODEL_FIRST_SEED", 1));
  const auto start = std::chrono::steady_clock::now();
  RunFigures f;
  for (uint32_t seed = first; seed < first + static_cast<uint32_t>(seeds); ++seed) {
    RunSeed(seed, steps, 0, f);
    if (HasFatalFailure()) return;
  }
  Report("model", f, start);
  // The runs must reach the shapes that matter, or they prove little: many
  // items, and files with bytes behind their free list.
  EXPECT_GE(f.maxItems, 30);
  EXPECT_GT(f.behind, 0);
}

TEST(StoreModelTest, PowerCutsLeaveEveryItemAsBeforeOrAfter) {
  const long steps = FromEnv("LF_MODEL_STEPS", 800) / 3;
  const long seeds = FromEnv("LF_MODEL_SEEDS", 3);
  const auto start = std::chrono::steady_clock::now();
  RunFigures f;
  const uint32_t first = 100 + static_cast<uint32_t>(FromEnv("LF_MODEL_FIRST_SEED", 1));
  for (uint32_t seed = first; seed < first + static_cast<uint32_t>(seeds); ++seed) {
    RunSeed(seed, steps, 30, f);
    if (HasFatalFailure()) return;
  }
  Report("power cuts", f, start);
  EXPECT_GT(f.cuts, steps / 10);
}
