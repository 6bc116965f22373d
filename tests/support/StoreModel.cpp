// The store's reference model, the random operation generator and the
// checker that holds the real store to the model.
#include "tests/support/StoreModel.h"

#include <algorithm>
#include <map>

#include "app/Version.h"
#include "store/FileMan1.h"
#include "store/Journal.h"
#include "tools/lnstore/StoreImage.h"
#include "util/Errors.h"
#include "util/Text.h"

namespace testsupport {

uint32_t TByteChoices::Below(uint32_t n) {
  uint32_t v = 0;
  for (int i = 0; i < 2 && n_ > 0; ++i, ++p_, --n_) v = v << 8 | *p_;
  return v % n;
}

int32_t TCutPlan::Admit(int32_t bytes) {
  ++writes_;
  if (kind_ == CountOnly || writes_ < n_) return bytes;
  if (writes_ == n_) return kind_ == TearAt ? bytes / 2 : bytes;
  return 0;
}

namespace {

const char* const kInitItem = "Initialization";

std::string KeyOf(const std::vector<std::string>& path) {
  std::string key;
  for (size_t i = 0; i < path.size(); ++i) {
    if (i) key += app::KeySeparator;
    key += path[i];
  }
  return key;
}

std::string Printable(const std::string& s, size_t max = 40) {
  std::string out;
  for (size_t i = 0; i < s.size() && i < max; ++i) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (c >= 32 && c < 127) {
      out += static_cast<char>(c);
    } else {
      static const char* hex = "0123456789ABCDEF";
      out += "\\x";
      out += hex[c >> 4];
      out += hex[c & 15];
    }
  }
  if (s.size() > max) out += "...(" + std::to_string(s.size()) + " bytes)";
  return out;
}

std::string PathText(const std::vector<std::string>& path) {
  std::string s;
  for (const std::string& n : path) s += "/" + Printable(n);
  return s.empty() ? "/" : s;
}

}  // namespace

std::string TStoreOp::Describe() const {
  static const char* const names[] = {"Write", "WriteLines", "Delete", "Rename",
                                      "Read", "SetInit", "GetInit"};
  std::string s = std::string(names[kind]) + " " + PathText(path);
  if (!name.empty()) s += " name \"" + Printable(name) + "\"";
  if (kind == Write || kind == WriteLines || kind == SetInit)
    s += " data[" + std::to_string(data.size()) + "] \"" + Printable(data, 16) + "\"";
  return s;
}

// ---- the model ----

TStoreModel::TNode* TStoreModel::Node(const std::vector<std::string>& path, bool create) {
  TNode* at = &top_;
  for (size_t i = 0; i < path.size(); ++i) {
    auto it = std::find_if(at->children.begin(), at->children.end(),
                           [&](const TNode& c) { return util::SameText(c.name, path[i]); });
    if (it == at->children.end()) {
      if (!create) return nullptr;
      at->children.push_back(TNode{path[i], i + 1 < path.size(), "", false, {}});
      it = at->children.end() - 1;
    }
    at = &*it;
  }
  return at;
}

const TStoreModel::TNode* TStoreModel::Find(const std::vector<std::string>& path) const {
  return const_cast<TStoreModel*>(this)->Node(path, false);
}

std::string TStoreModel::ItemData(const std::vector<std::string>& path) const {
  const TNode* n = Find(path);
  return n && !n->folder ? n->data : std::string();
}

namespace {
// The settings lines and the one a name picks, as the engine finds it.
int SettingIndex(const util::TStringList& lines, const std::string& name) {
  for (int i = 0; i < lines.Count(); ++i) {
    const size_t eq = lines[i].find('=');
    if (eq != std::string::npos && util::SameText(lines[i].substr(0, eq), name)) return i;
  }
  return -1;
}
}  // namespace

void TStoreModel::Apply(const TStoreOp& op) {
  switch (op.kind) {
    case TStoreOp::Write:
    case TStoreOp::WriteLines: {
      TNode* n = Node(op.path, true);
      n->data = op.data;
      n->lines = op.kind == TStoreOp::WriteLines;
      break;
    }
    case TStoreOp::Delete: {
      std::vector<std::string> parent(op.path.begin(), op.path.end() - 1);
      if (TNode* p = Node(parent, false)) {
        auto it = std::find_if(p->children.begin(), p->children.end(),
                               [&](const TNode& c) { return util::SameText(c.name, op.path.back()); });
        if (it != p->children.end()) p->children.erase(it);
      }
      break;
    }
    case TStoreOp::Rename:
      if (TNode* n = Node(op.path, false)) n->name = op.name;
      break;
    case TStoreOp::SetInit: {
      util::TStringList lines;
      lines.SetText(ItemData({kInitItem}));
      const int i = SettingIndex(lines, op.name);
      if (op.data.empty()) {
        if (i >= 0) lines.Delete(i);
      } else if (i >= 0) {
        lines.Set(i, op.name + "=" + op.data);
      } else {
        lines.Add(op.name + "=" + op.data);
      }
      TNode* n = Node({kInitItem}, true);
      n->data = lines.Text();
      n->lines = true;
      break;
    }
    case TStoreOp::Read:
    case TStoreOp::GetInit:
      break;
  }
}

std::string TStoreModel::Expected(const TStoreOp& op) const {
  if (op.kind == TStoreOp::Read) return ItemData(op.path);
  if (op.kind != TStoreOp::GetInit) return std::string();
  util::TStringList lines;
  lines.SetText(ItemData({kInitItem}));
  const int i = SettingIndex(lines, op.name);
  const std::string value = i < 0 ? std::string() : lines[i].substr(lines[i].find('=') + 1);
  return value.empty() ? std::string(ModelInitDefault) : value;
}

void TStoreModel::Each(std::vector<std::vector<std::string>>* items,
                       std::vector<std::vector<std::string>>* folders) const {
  std::vector<std::pair<const TNode*, std::vector<std::string>>> todo{{&top_, {}}};
  while (!todo.empty()) {
    auto [node, path] = todo.back();
    todo.pop_back();
    for (const TNode& c : node->children) {
      std::vector<std::string> p = path;
      p.push_back(c.name);
      if (c.folder) {
        if (folders) folders->push_back(p);
        todo.push_back({&c, p});
      } else if (items) {
        items->push_back(p);
      }
    }
  }
}

// ---- the generator ----

namespace {

// Names without a case partner above 127 and with one, never 0x9F or 0xFF
// (0x9F's lower case is the separator byte).
const char* const kFolderNames[] = {"Mail", "Inbox", "Sent", "\xC4rger", "Notes", "\xDC" "bersicht",
                                    "Caf\xE9", "News", "Drafts", "Z\xFCrich", "\xA7" "7", "Outbox"};
const char* const kItemNames[] = {"a", "Item", "Gr\xFC\xDF" "e", "\xC9t\xE9", "na\xEFve", "\xB5" "x",
                                  "message", "article", "\xD8re", "\x8Akoda"};
const char* const kSettings[] = {"Cutmarks", "Signature", "Sp\xE4t"};

template <size_t N>
std::string Pick(const char* const (&pool)[N], TChoices& c) {
  return pool[c.Below(N)];
}

// The name with each letter's case chosen afresh; never the separator byte
// (0xFF is the lower case of 0x9F, which a store's names may hold).
std::string VaryCase(const std::string& name, TChoices& c) {
  std::string out;
  for (char ch : name) {
    const std::string one(1, ch);
    const std::string varied = c.Chance(50) ? util::UpperCase(one) : util::LowerCase(one);
    out += varied == app::KeySeparator ? one : varied;
  }
  return out;
}

std::string ItemName(TChoices& c) {
  if (c.Chance(40)) return Pick(kItemNames, c);
  return "m" + std::to_string(c.Below(60));
}

uint32_t PayloadSize(TChoices& c) {
  const uint32_t bucket = c.Below(100);
  if (bucket < 5) return 0;
  if (bucket < 45) return c.Below(64);
  if (bucket < 75) return 64 + c.Below(960);
  if (bucket < 93) return 1024 + c.Below(7 * 1024);
  if (bucket < 98) return 8192 + c.Below(24 * 1024);
  return 32768 + c.Below(32769);
}

// Text that compresses well, or noise that does not; as lines, every line is
// free of CR, LF and NUL and ends in CR LF.
std::string Payload(uint32_t size, bool lines, TChoices& c) {
  std::string s;
  const bool noise = !lines && c.Chance(40);
  const uint32_t seed = c.Below(65536);
  std::minstd_rand fill(seed + 1);
  static const char* const words[] = {"From: ", "Host ", "lantern ", "fell ", "mixmaster ",
                                      "\xE4\xF6\xFC ", "42 ", "=?iso-8859-1?q? "};
  while (s.size() < size) {
    if (noise) {
      s += static_cast<char>(fill() & 0xFF);
    } else if (lines && s.size() + 2 >= size) {
      s += "\r\n";
    } else {
      s += words[fill() % 8];
      if (lines && fill() % 6 == 0) s += "\r\n";
    }
  }
  s.resize(size);
  if (lines && !s.empty()) {
    // Whole lines only: cut back to the last line end.
    const size_t end = s.rfind("\r\n");
    s.resize(end == std::string::npos ? 0 : end + 2);
  }
  return s;
}

template <class T>
const T& PickOf(const std::vector<T>& v, TChoices& c) {
  return v[c.Below(static_cast<uint32_t>(v.size()))];
}

std::vector<std::string> Varied(std::vector<std::string> path, TChoices& c) {
  for (std::string& n : path) n = VaryCase(n, c);
  return path;
}

// Whether a read or delete of path meets nothing: some name on it is not
// there, and none before that is an item (a store from elsewhere may hold
// any name, "absent" too).
bool Missing(const TStoreModel& model, const std::vector<std::string>& path) {
  for (size_t n = 1; n <= path.size(); ++n) {
    const TStoreModel::TNode* node =
        model.Find(std::vector<std::string>(path.begin(), path.begin() + static_cast<long>(n)));
    if (!node) return true;
    if (!node->folder) return false;
  }
  return false;
}

bool IsInitItem(const std::vector<std::string>& path) {
  return path.size() == 1 && util::SameText(path[0], kInitItem);
}

// A name from pick that no entry of the folder has, ignoring case; empty when
// a few tries find none.
template <class Pick>
std::string FreshName(const TStoreModel& model, const std::vector<std::string>& folder, Pick pick) {
  for (int tries = 0; tries < 8; ++tries) {
    std::string name = pick();
    std::vector<std::string> p = folder;
    p.push_back(name);
    if (!model.Find(p) && !util::SameText(name, kInitItem)) return name;
  }
  return std::string();
}

}  // namespace

TStoreOp NextStoreOp(const TStoreModel& model, TChoices& c, bool settings) {
  std::vector<std::vector<std::string>> items, folders;
  model.Each(&items, &folders);
  items.erase(std::remove_if(items.begin(), items.end(), IsInitItem), items.end());
  TStoreOp op;
  const uint32_t roll = c.Below(100);
  if (settings && roll < 8) {
    op.kind = roll < 4 ? TStoreOp::SetInit : TStoreOp::GetInit;
    op.name = VaryCase(Pick(kSettings, c), c);
    if (op.kind == TStoreOp::SetInit && !c.Chance(20)) {
      // A value of one line (an empty one removes the setting).
      for (char ch : Payload(1 + c.Below(30), false, c))
        if (ch != '\r' && ch != '\n' && ch != '\0') op.data += ch;
    }
    return op;
  }
  // A crowded store deletes more than it adds, so that the runs stay a size
  // that can be checked at every step.
  const bool crowded = items.size() >= 50;
  if ((roll < 30 && !crowded) || items.empty()) {
    // A new item: in an existing folder, or below new folders.
    std::vector<std::string> folder;
    if (!folders.empty() && c.Chance(70)) folder = PickOf(folders, c);
    while (folder.size() < 6 && c.Chance(folder.empty() ? 60 : 25)) {
      const std::string f = FreshName(model, folder, [&] { return std::string(Pick(kFolderNames, c)); });
      if (f.empty()) break;
      folder.push_back(f);
    }
    const std::string name = FreshName(model, folder, [&] { return ItemName(c); });
    if (!name.empty()) {
      op.kind = c.Chance(30) ? TStoreOp::WriteLines : TStoreOp::Write;
      op.path = Varied(folder, c);
      op.path.push_back(name);
      op.data = Payload(PayloadSize(c), op.kind == TStoreOp::WriteLines, c);
      return op;
    }
    if (items.empty()) return op;  // a read of the top: nothing there
  }
  const std::vector<std::string>& item = PickOf(items, c);
  const std::string old = model.ItemData(item);
  if ((roll >= 55 && roll < 65) || (crowded && roll < 20)) {
    op.kind = TStoreOp::Delete;
    op.path = Varied(item, c);
    if (c.Chance(10)) {
      // A missing item, in a folder that is there.
      std::vector<std::string> gone = op.path;
      gone.back() = "gone" + std::to_string(c.Below(5));
      if (Missing(model, gone)) op.path = gone;
    }
    return op;
  }
  if (roll < 55) {
    // A rewrite that grows, shrinks, empties or keeps the size.
    const uint32_t how = c.Below(4);
    const uint32_t size = how == 0   ? std::min<uint32_t>(65536, static_cast<uint32_t>(old.size()) * 2 + 1 + c.Below(100))
                          : how == 1 ? static_cast<uint32_t>(old.size()) / 2
                          : how == 2 ? 0
                                     : static_cast<uint32_t>(old.size());
    op.kind = c.Chance(30) ? TStoreOp::WriteLines : TStoreOp::Write;
    op.path = Varied(item, c);
    op.data = Payload(size, op.kind == TStoreOp::WriteLines, c);
    return op;
  }
  if (roll < 75) {
    // An item or a folder gets a name its folder does not have yet, or its
    // own in other letters.
    op.kind = TStoreOp::Rename;
    const bool folder = !folders.empty() && c.Chance(30);
    op.path = folder ? PickOf(folders, c) : item;
    const std::vector<std::string> parent(op.path.begin(), op.path.end() - 1);
    op.name = c.Chance(15) ? VaryCase(op.path.back(), c)
              : FreshName(model, parent, [&] {
                  return folder ? std::string(Pick(kFolderNames, c)) : ItemName(c);
                });
    op.path = Varied(op.name.empty() ? item : op.path, c);
    if (op.name.empty()) op.kind = TStoreOp::Read;  // no free name: read the item instead
    return op;
  }
  op.kind = TStoreOp::Read;
  op.path = Varied(item, c);
  if (c.Chance(15)) {
    // Missing: a name the folder lacks, or a folder that is not there.
    std::vector<std::string> absent = op.path;
    absent.back() = "absent";
    if (c.Chance(50)) absent.insert(absent.begin(), "NoSuchFolder");
    if (Missing(model, absent)) op.path = absent;
  }
  return op;
}

// ---- running and checking ----

namespace {

struct TOutcome {
  int result = 0;
  std::string read;
};

TOutcome RunOp(const TStoreOp& op, const std::string& path) {
  TOutcome out;
  const std::string key = KeyOf(op.path);
  switch (op.kind) {
    case TStoreOp::Write: {
      store::TDataBuf buffer(op.data.data(), static_cast<int32_t>(op.data.size()));
      out.result = store::WriteStoreItem(key, &buffer, path);
      break;
    }
    case TStoreOp::WriteLines: {
      util::TStringList lines;
      lines.SetText(op.data);
      out.result = store::WriteStoreLines(key, &lines, path);
      break;
    }
    case TStoreOp::Delete: out.result = store::WriteStoreItem(key, nullptr, path); break;
    case TStoreOp::Rename: out.result = store::RenameStoreItem(key, op.name, path); break;
    case TStoreOp::Read: {
      store::TDataBuf buffer;
      out.result = store::ReadStoreItem(key, &buffer, path);
      if (buffer.Data()) out.read.assign(buffer.Data(), static_cast<size_t>(buffer.StoredLength()));
      break;
    }
    case TStoreOp::SetInit: out.result = store::SetInitValue(op.name, op.data); break;
    case TStoreOp::GetInit: out.read = store::GetInitValue(op.name, ModelInitDefault); break;
  }
  return out;
}

// Lower-cased path -> (folder?, data) for every entry below top.
using TFlat = std::map<std::string, std::pair<bool, std::string>>;

void Flatten(const TStoreModel::TNode& node, const std::string& prefix, TFlat& out) {
  for (const TStoreModel::TNode& c : node.children) {
    const std::string key = prefix + util::LowerCase(c.name);
    out[key] = {c.folder, c.data};
    if (c.folder) Flatten(c, key + app::KeySeparator, out);
  }
}

// The entries of a store image, walked from its top index; "" or a fault.
std::string FlattenImage(const tools::StoreImage& image, int32_t at, const std::string& prefix,
                         TFlat& out, int depth) {
  tools::ImageRecord r;
  std::string fault;
  if (depth > 64 || !image.ReadRecord(at, r, fault)) return "index " + PathText({prefix}) + ": " + fault;
  for (size_t i = 0; i < r.Names.size() && i < r.Positions.size(); ++i) {
    const std::string key = prefix + util::LowerCase(r.Names[i]);
    tools::ImageRecord e;
    if (!image.ReadRecord(r.Positions[i], e, fault)) return "entry " + Printable(key) + ": " + fault;
    if (out.count(key)) return "entry " + Printable(key) + " is there twice";
    const bool folder = e.Kind == store::IndexRecord;
    out[key] = {folder, folder ? std::string() : e.Data};
    if (folder) {
      const std::string f = FlattenImage(image, r.Positions[i], key + app::KeySeparator, out, depth + 1);
      if (!f.empty()) return f;
    }
  }
  return std::string();
}

// The store's bytes against a model: "" when sound and equal.
std::string Diff(const TStoreModel& model, const std::string& bytes) {
  TFlat want, have;
  Flatten(model.Top(), "", want);
  if (bytes.empty()) return want.empty() ? std::string() : "the store file is empty";
  tools::StoreImage image(bytes);
  std::string faults, summary;
  if (image.Check([&](const std::string& line) { faults += line + "; "; }, summary) != 0)
    return "not sound: " + faults;
  if (image.TopIndex() != -1) {
    const std::string f = FlattenImage(image, image.TopIndex(), "", have, 0);
    if (!f.empty()) return f;
  }
  for (const auto& [key, entry] : want) {
    const auto it = have.find(key);
    if (it == have.end()) return "lost " + Printable(key);
    if (it->second.first != entry.first) return Printable(key) + " changed kind";
    if (it->second.second != entry.second)
      return Printable(key) + " holds " + Printable(it->second.second, 16) + " instead of " +
             Printable(entry.second, 16);
  }
  for (const auto& [key, entry] : have)
    if (!want.count(key)) return "invented " + Printable(key);
  return std::string();
}

std::string FileBytes(const std::string& path) {
  std::string bytes;
  if (util::FileExists(path)) util::ReadWholeFile(path, bytes);
  return bytes;
}

}  // namespace

std::string TModelChecker::Verify(bool engine) const {
  std::string d = Diff(model_, FileBytes(path_));
  if (!d.empty() || !engine) return d;
  std::vector<std::vector<std::string>> items;
  model_.Each(&items, nullptr);
  for (const auto& item : items) {
    TStoreOp read;
    read.path = item;
    const TOutcome out = RunOp(read, path_);
    if (out.result != 0) return read.Describe() + " gave " + std::to_string(out.result);
    if (out.read != model_.ItemData(item)) return read.Describe() + " read other bytes";
  }
  return std::string();
}

std::string TModelChecker::Step(const TStoreOp& op, TVerify verify) {
  TOutcome out;
  try {
    out = RunOp(op, path_);
  } catch (const util::EGeneralError& e) {
    return op.Describe() + " raised: " + e.what();
  }
  if (out.result != 0) return op.Describe() + " gave " + std::to_string(out.result);
  if (!op.Writes() && out.read != model_.Expected(op))
    return op.Describe() + " read \"" + Printable(out.read) + "\", the model says \"" +
           Printable(model_.Expected(op)) + "\"";
  model_.Apply(op);
  if (verify == VerifyNothing) return std::string();
  const std::string d = Verify(verify == VerifyAll);
  return d.empty() ? d : "after " + op.Describe() + ": " + d;
}

std::string TModelChecker::CutStep(const TStoreOp& op, TChoices& choices) {
  if (!op.Writes()) return Step(op, VerifyNothing);
  const bool existed = util::FileExists(path_);
  const std::string bytesBefore = FileBytes(path_);
  const std::string journal = store::JournalPath(path_);
  const TStoreModel before = model_;
  int writes = 0;
  {
    TCutPlan count(TCutPlan::CountOnly, 0);
    const std::string d = Step(op, VerifyNothing);
    if (!d.empty()) return d;
    writes = count.Writes();
  }
  if (writes == 0) return std::string();
  // Back to the store as it was, with the empty journal the last call left.
  if (existed) {
    util::WriteWholeFile(path_, bytesBefore);
  } else {
    util::RemoveFile(path_);
  }
  if (util::FileExists(journal)) util::WriteWholeFile(journal, std::string());
  const int at = 1 + static_cast<int>(choices.Below(static_cast<uint32_t>(writes)));
  const bool torn = choices.Chance(50);
  {
    TCutPlan cut(torn ? TCutPlan::TearAt : TCutPlan::CutAfter, at);
    RunOp(op, path_);  // told that all went well, whatever reached the disk
  }
  ++cuts_;
  const std::string where = op.Describe() + " cut at write " + std::to_string(at) + " of " +
                            std::to_string(writes) + (torn ? " (torn)" : "");
  try {
    if (util::FileExists(path_)) store::RecoverStore(path_);
  } catch (const util::EGeneralError& e) {
    return where + ": the next opening raised: " + e.what();
  }
  // The next opening must find the store whole: as after the call, or as
  // before it; model_ follows what the store holds.
  const std::string bytes = FileBytes(path_);
  const std::string asAfter = Diff(model_, bytes);
  if (asAfter.empty()) return std::string();
  if (Diff(before, bytes).empty()) {
    model_ = before;
    return std::string();
  }
  return where + ": neither as before nor as after: " + asAfter;
}

// ---- a model from a store file ----

namespace {
bool Adopt(const tools::StoreImage& image, int32_t at, TStoreModel::TNode& into, int depth) {
  tools::ImageRecord r;
  std::string fault;
  if (depth > 32 || !image.ReadRecord(at, r, fault) || r.Names.size() != r.Positions.size())
    return false;
  for (size_t i = 0; i < r.Names.size(); ++i) {
    const std::string& name = r.Names[i];
    if (name.empty() || name.find_first_of(std::string("\r\n\0\xFF", 4)) != std::string::npos)
      return false;
    for (const TStoreModel::TNode& c : into.children)
      if (util::SameText(c.name, name)) return false;
    // A record of another kind is walked as an index by the engine and the
    // check alike, but is no folder the model can stand for.
    tools::ImageRecord e;
    if (!image.ReadRecord(r.Positions[i], e, fault) ||
        (e.Kind != store::IndexRecord && e.Kind != store::ItemRecord))
      return false;
    TStoreModel::TNode node{name, e.Kind == store::IndexRecord, "", false, {}};
    if (node.folder) {
      if (!Adopt(image, r.Positions[i], node, depth + 1)) return false;
    } else {
      node.data = e.Data;
    }
    into.children.push_back(std::move(node));
  }
  return true;
}
}  // namespace

bool ModelFromStoreBytes(const std::string& bytes, TStoreModel& model) {
  model = TStoreModel();
  if (bytes.empty()) return true;
  tools::StoreImage image(bytes);
  std::string summary;
  if (image.Check([](const std::string&) {}, summary) != 0) return false;
  return image.TopIndex() == -1 || Adopt(image, image.TopIndex(), model.Top(), 0);
}

}  // namespace testsupport
