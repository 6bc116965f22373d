// Random store calls, with every decision taken from the input, held to the
// reference model of tests/support/StoreModel on a store file made of the
// input's last bytes, some of them cut by a simulated power cut, optionally
// after a journal from the input was laid beside the store. When the store
// (as its opening leaves it) is one the soundness check calls sound, the
// model is read from it and any divergence aborts: a call that fails, a read
// that differs from the model, soundness lost after a write, a cut that
// leaves the store neither as before nor as after. Any other store must only
// not crash.
//
// Input: flags (1 byte; bit 0: a journal follows), the number of decision
// bytes (2, little-endian) and those bytes, with bit 0 the journal's length
// (2, little-endian) and its bytes; the rest is the store file.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "FuzzCommon.h"
#include "store/Journal.h"
#include "tests/support/StoreModel.h"
#include "util/Errors.h"

namespace {
struct Reader {
  const uint8_t* p;
  size_t n;
  size_t Length() {
    size_t v = 0;
    for (int i = 0; i < 2 && n; ++i, ++p, --n) v |= static_cast<size_t>(*p) << (8 * i);
    return v;
  }
  std::string Bytes(size_t want) {
    const size_t k = want < n ? want : n;
    std::string s(reinterpret_cast<const char*>(p), k);
    p += k;
    n -= k;
    return s;
  }
};

[[noreturn]] void Diverged(const std::string& what) {
  std::fprintf(stderr, "fuzz_store_ops: %s\n", what.c_str());
  std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Reader in{data, size};
  const uint8_t flags = in.n ? (--in.n, *in.p++) : 0;
  const std::string decisions = in.Bytes(in.Length());
  const std::string journal = flags & 1 ? in.Bytes(in.Length()) : std::string();
  fuzz::WriteScratch(in.Bytes(in.n));
  const std::string& path = fuzz::ScratchPath();
  if (flags & 1) util::WriteWholeFile(store::JournalPath(path), journal);
  try {
    // What the engine will see: the journal played back first.
    store::RecoverStore(path);
  } catch (const util::EGeneralError&) {
    return 0;  // a journal that cannot be played back: the store is refused
  }
  // LF_FUZZ_TRACE set: each step is printed, for reading a divergence.
  static const bool trace = std::getenv("LF_FUZZ_TRACE") != nullptr;
  testsupport::TStoreModel model;
  const bool sound = testsupport::ModelFromStoreBytes(fuzz::ReadScratch(), model);
  testsupport::TModelChecker checker(path, std::move(model));
  testsupport::TByteChoices choices(reinterpret_cast<const uint8_t*>(decisions.data()),
                                    decisions.size());
  // Each call's result and reads are checked as it runs, the whole store
  // after a cut and at the end (a lost or damaged block stays so).
  for (int step = 0; step < 10 && !choices.Exhausted(); ++step) {
    const testsupport::TStoreOp op = testsupport::NextStoreOp(checker.Model(), choices, false);
    const std::string d = choices.Chance(10)
                              ? checker.CutStep(op, choices)
                              : checker.Step(op, testsupport::TModelChecker::VerifyNothing);
    if (trace) std::fprintf(stderr, "step %d: %s%s\n", step, op.Describe().c_str(), d.empty() ? "" : (" -> " + d).c_str());
    if (sound && !d.empty()) Diverged("step " + std::to_string(step) + ": " + d);
  }
  if (sound) {
    // The file through the check's own parser: soundness and every item.
    // The engine's reads are held to the model by the read steps.
    const std::string d = checker.Verify(false);
    if (!d.empty()) Diverged("at the end: " + d);
  }
  return 0;
}
