// A reference model of the message store and a generator of random store
// operations, shared by the model-based store test and the model-checking
// fuzz target. The model knows what every item must read as; the checker
// runs an operation on the real store and on the model and reports the first
// place where they part: a failed call, a read that differs, an item the
// store lost or invented, or a store the soundness check finds a fault in.
#pragma once
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "util/FileStream.h"

namespace testsupport {

// Where the generator's decisions come from: a seeded generator in the test,
// the fuzzer's input bytes in the fuzz target.
class TChoices {
 public:
  virtual ~TChoices() = default;
  // A number in [0, n); n > 0.
  virtual uint32_t Below(uint32_t n) = 0;
  bool Chance(uint32_t percent) { return Below(100) < percent; }
};

// mt19937's sequence is fixed by the standard, and the reduction is ours, so
// a seed gives the same operations on every platform.
class TSeededChoices : public TChoices {
 public:
  explicit TSeededChoices(uint32_t seed) : engine_(seed) {}
  uint32_t Below(uint32_t n) override { return static_cast<uint32_t>(engine_() % n); }

 private:
  std::mt19937 engine_;
};

// Decisions read from bytes, two per decision; 0 once they run out.
class TByteChoices : public TChoices {
 public:
  TByteChoices(const uint8_t* bytes, size_t n) : p_(bytes), n_(n) {}
  uint32_t Below(uint32_t n) override;
  bool Exhausted() const { return n_ == 0; }

 private:
  const uint8_t* p_;
  size_t n_;
};

// One call of the store's public operations, with the names as this call
// spells them (the letter case varies from call to call).
struct TStoreOp {
  enum Kind { Write, WriteLines, Delete, Rename, Read, SetInit, GetInit };
  Kind kind = Read;
  std::vector<std::string> path;  // folders, then the item (or the folder renamed)
  std::string data;               // Write, WriteLines: the payload; SetInit: the value
  std::string name;               // Rename: the new name; SetInit, GetInit: the setting
  bool Writes() const { return kind != Read && kind != GetInit; }
  std::string Describe() const;
};

// The store as its users see it: a tree of folders and items, names matched
// ignoring letter case, each kept as first spelled.
class TStoreModel {
 public:
  struct TNode {
    std::string name;
    bool folder = false;
    std::string data;    // items: the bytes last written
    bool lines = false;  // items: written as lines, so they read back as lines too
    std::vector<TNode> children;
  };

  const TNode* Find(const std::vector<std::string>& path) const;
  // The bytes the item reads as ("" for a missing one).
  std::string ItemData(const std::vector<std::string>& path) const;
  // The effect of a call that succeeded.
  void Apply(const TStoreOp& op);
  // What a read or GetInit must give.
  std::string Expected(const TStoreOp& op) const;

  // Every item and folder, by its path as stored.
  void Each(std::vector<std::vector<std::string>>* items,
            std::vector<std::vector<std::string>>* folders) const;
  const TNode& Top() const { return top_; }
  TNode& Top() { return top_; }

 private:
  TNode* Node(const std::vector<std::string>& path, bool create);
  TNode top_{"", true, "", false, {}};
};

// The defaults GetInit ops ask with, so that "absent" is seen.
inline const char* const ModelInitDefault = "<none>";

// Random operations over the model's tree: new items in new or existing
// folders (down to six levels), rewrites that grow, shrink, empty or keep
// the size, deletes, renames of items and folders, reads of present and
// missing items, and, when settings is set, SetInitValue and GetInitValue
// on the "Initialization" item. Names come in mixed letter case and with
// bytes above 127; payloads run from empty to 64 KiB, text and noise.
TStoreOp NextStoreOp(const TStoreModel& model, TChoices& choices, bool settings);

// Runs a model against a store file through the public operations.
class TModelChecker {
 public:
  // storePath must be app::ExeStorePath() for settings ops to reach it.
  explicit TModelChecker(std::string storePath, TStoreModel model = {})
      : path_(std::move(storePath)), model_(std::move(model)) {}

  // How much of the store Step looks at after its call, besides the call's
  // own result and what it read.
  enum TVerify {
    VerifyNothing,  // only the call: the fuzz target's steps, checked whole at the end
    VerifyFile,     // the file's soundness and every item, by the check's own parser
    VerifyAll,      // that, and every item read through the engine
  };
  // Runs op on both; "" when they agree (and the store passes the checks
  // asked for), otherwise what went wrong.
  std::string Step(const TStoreOp& op, TVerify verify);
  // Runs op with a power cut at a write chosen from those it makes (torn or
  // not, by choices), then opens the store again: it must be sound and hold
  // exactly what the model held before the op or what it holds after.
  std::string CutStep(const TStoreOp& op, TChoices& choices);
  // The store file against the model: soundness, and every item, read by
  // the check's own parser and, with engine, through the engine.
  std::string Verify(bool engine) const;

  const TStoreModel& Model() const { return model_; }
  long Cuts() const { return cuts_; }

 private:
  std::string path_;
  TStoreModel model_;
  long cuts_ = 0;
};

// The model of a store file that the soundness check calls sound and whose
// entries the model can hold (names none empty or doubled in a folder
// ignoring case, none with CR, LF or NUL; records that are indexes or
// items); false for any other file.
bool ModelFromStoreBytes(const std::string& bytes, TStoreModel& model);

// A power cut simulated through the file seam while it lives: counts the
// writes, or lets writes 1 to n reach the file (a tear lets only half of
// write n through) and nothing after: no write, flush, size change or
// deletion.
class TCutPlan : public util::TFileFaults {
 public:
  enum Kind { CountOnly, CutAfter, TearAt };
  TCutPlan(Kind kind, int n) : kind_(kind), n_(n) { previous_ = util::SetFileFaults(this); }
  ~TCutPlan() override { util::SetFileFaults(previous_); }
  TCutPlan(const TCutPlan&) = delete;
  TCutPlan& operator=(const TCutPlan&) = delete;
  int32_t Admit(int32_t bytes) override;
  bool Alive() override { return kind_ == CountOnly || writes_ < n_; }
  int Writes() const { return writes_; }

 private:
  Kind kind_;
  int n_;
  int writes_ = 0;
  util::TFileFaults* previous_;
};

}  // namespace testsupport
