// lnstore: looks into and edits a message store from the command line, for
// support and tests. Key paths join names with "/". ls, dump and check only
// read the file's bytes; get, put, rm and mv go through the store engine.
// A hot journal next to the store (an operation was cut) is played back
// first by every command but check, which reports it and leaves it.
#include <cstdio>
#include <cstring>
#include <string>

#include "app/Version.h"
#include "store/FileMan1.h"
#include "store/Journal.h"
#include "tools/lnstore/StoreImage.h"
#include "util/Errors.h"
#include "util/FileStream.h"
#include "util/Message.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace tools {
namespace {

enum Exit { Ok = 0, NotFound = 1, Usage = 2, StoreFailed = 3 };

const char* const UsageText =
    "usage: lnstore COMMAND STORE [ARGS]\n"
    "  ls STORE [FOLDER]      entries of the top index or a folder\n"
    "  get STORE PATH         the item's data to stdout, as stored\n"
    "  put STORE PATH         stores stdin's lines (CR LF, CR or LF) as the item\n"
    "  rm STORE PATH          removes the item or folder entry\n"
    "  mv STORE PATH NEWNAME  renames the last element of PATH\n"
    "  dump STORE             the whole tree, indented\n"
    "  check STORE            checks blocks, free list and tree, and reports a hot\n"
    "                         journal (STORE.jnl) without playing it back;\n"
    "                         exit 0 when sound\n"
    "PATH joins folder and item names with \"/\".\n"
    "exit: 0 success, 1 not found or faults found, 2 usage, 3 store error\n";

int UsageError(const char* why) {
  if (why) std::fprintf(stderr, "lnstore: %s\n", why);
  std::fputs(UsageText, stderr);
  return Usage;
}

std::string KeyPath(const std::string& slashPath) {
  std::string key;
  for (const std::string& name : SplitSlashPath(slashPath)) {
    if (!key.empty()) key += app::KeySeparator;
    key += name;
  }
  return key;
}

int StoreError(int code) {
  std::fprintf(stderr, "lnstore: %s\n", store::ErrorCodeText(code).c_str());
  return StoreFailed;
}

// The file's bytes parsed without opening it for work.
bool LoadImage(const std::string& path, std::string& bytes, int& exitCode) {
  if (!util::FileExists(path)) {
    std::fprintf(stderr, "lnstore: %s: no such store\n", path.c_str());
    exitCode = NotFound;
    return false;
  }
  if (!util::ReadWholeFile(path, bytes)) {
    std::fprintf(stderr, "lnstore: %s: cannot be read\n", path.c_str());
    exitCode = StoreFailed;
    return false;
  }
  return true;
}

const char* KindName(uint8_t kind) {
  return kind == store::IndexRecord ? "index" : kind == store::ItemRecord ? "item" : "?";
}

// Whether PATH names an entry (item or folder), from the bytes alone.
bool EntryExists(const std::string& storePath, const std::string& slashPath) {
  std::string bytes;
  int ignored;
  if (!LoadImage(storePath, bytes, ignored)) return false;
  StoreImage image(std::move(bytes));
  std::vector<std::string> path = SplitSlashPath(slashPath);
  if (path.empty() || !image.Readable()) return false;
  const std::string last = path.back();
  path.pop_back();
  std::string fault;
  const int32_t folder = image.Resolve(path, fault);
  ImageRecord r;
  if (folder == -1 || !image.ReadRecord(folder, r, fault)) return false;
  for (const auto& n : r.Names)
    if (util::SameText(n, last)) return true;
  return false;
}

int List(const std::string& storePath, const std::string& folderPath) {
  std::string bytes;
  int code;
  if (!LoadImage(storePath, bytes, code)) return code;
  StoreImage image(std::move(bytes));
  if (!image.Readable()) return std::fprintf(stderr, "lnstore: %s\n", image.HeaderFault().c_str()), StoreFailed;
  std::string fault;
  const int32_t pos = folderPath.empty() ? image.TopIndex() : image.Resolve(SplitSlashPath(folderPath), fault);
  ImageRecord r;
  if (pos == -1 && folderPath.empty()) return Ok;  // a store without entries
  if (pos == -1 || !image.ReadRecord(pos, r, fault)) {
    std::fprintf(stderr, "lnstore: %s\n", fault.empty() ? "no such folder" : fault.c_str());
    return fault.empty() ? NotFound : StoreFailed;
  }
  for (size_t i = 0; i < r.Names.size(); ++i) {
    ImageRecord e;
    std::string f;
    if (r.Positions[i] != -1 && image.ReadRecord(r.Positions[i], e, f))
      std::printf("%-24s %-5s enc %d  S %d  O %d  at %d\n", r.Names[i].c_str(), KindName(e.Kind),
                  e.Encoding, e.StoredLength, e.UncompressedLength, r.Positions[i]);
    else
      std::printf("%-24s %-5s at %d%s%s\n", r.Names[i].c_str(), "-", r.Positions[i],
                  f.empty() ? "" : "  ! ", f.c_str());
  }
  return Ok;
}

void DumpRecord(const StoreImage& image, int32_t pos, const std::string& name, int depth,
                std::vector<int32_t>& path, int& faults) {
  const std::string indent(2 * depth, ' ');
  ImageRecord r;
  std::string fault;
  for (int32_t p : path)
    if (p == pos) return (void)std::printf("%s%s  ! cycle to %d\n", indent.c_str(), name.c_str(), pos), (void)++faults;
  if (pos == -1) return (void)std::printf("%s%s  (no record)\n", indent.c_str(), name.c_str());
  if (!image.ReadRecord(pos, r, fault))
    return (void)std::printf("%s%s  ! %s\n", indent.c_str(), name.c_str(), fault.c_str()), (void)++faults;
  std::printf("%s%s  %s  S %d  O %d  at %d\n", indent.c_str(), name.c_str(), KindName(r.Kind),
              r.StoredLength, r.UncompressedLength, pos);
  if (r.Kind == store::ItemRecord) return;
  path.push_back(pos);
  for (size_t i = 0; i < r.Names.size(); ++i)
    DumpRecord(image, r.Positions[i], r.Names[i], depth + 1, path, faults);
  path.pop_back();
}

int Dump(const std::string& storePath) {
  std::string bytes;
  int code;
  if (!LoadImage(storePath, bytes, code)) return code;
  StoreImage image(std::move(bytes));
  if (!image.Readable()) return std::fprintf(stderr, "lnstore: %s\n", image.HeaderFault().c_str()), StoreFailed;
  std::printf("root cell %d, data end %d, %zu free extents\n", image.RootCell(), image.DataEnd(),
              image.FreePositions().size());
  int faults = 0;
  std::vector<int32_t> path;
  if (image.TopIndex() != -1) DumpRecord(image, image.TopIndex(), "/", 0, path, faults);
  return Ok;
}

// A hot journal is a fault of the file as it lies: the next opening changes
// it. The tree is checked as that playback will leave it.
int Check(const std::string& storePath) {
  std::string bytes;
  int code;
  if (!LoadImage(storePath, bytes, code)) return code;
  store::TJournalImage journal;
  const std::string journalPath = store::JournalPath(storePath);
  int journalFaults = 0;
  switch (store::InspectJournal(storePath, &journal)) {
    case store::JournalState::Hot:
      std::printf("hot journal %s: the last operation was cut; %zu ranges, original length %d;"
                  " the next opening plays it back (checked as it will leave the store)\n",
                  journalPath.c_str(), journal.Ranges.size(), journal.OriginalLength);
      store::ApplyJournal(journal, bytes);
      journalFaults = 1;
      break;
    case store::JournalState::Torn:
      std::printf("torn journal %s: never complete, the store was not touched;"
                  " the next opening empties it\n", journalPath.c_str());
      break;
    case store::JournalState::Stale:
      std::printf("stale journal %s: longer original than this store, so not its own;"
                  " the next opening empties it\n", journalPath.c_str());
      break;
    case store::JournalState::None:
      break;
  }
  StoreImage image(std::move(bytes));
  std::string summary;
  const int faults = journalFaults +
      image.Check([](const std::string& line) { std::printf("%s\n", line.c_str()); }, summary);
  if (journalFaults) summary += ", hot journal";
  std::printf("check: %s: %s\n", faults == 0 ? "sound" : "FAULTS", summary.c_str());
  return faults == 0 ? Ok : NotFound;
}

int Get(const std::string& storePath, const std::string& path) {
  store::TDataBuf buffer;
  const int result = store::ReadStoreItem(KeyPath(path), &buffer, storePath);
  if (result != 0) return StoreError(result);
  if (buffer.IsEmpty() && !EntryExists(storePath, path)) {
    std::fprintf(stderr, "lnstore: %s: no such item\n", path.c_str());
    return NotFound;
  }
  std::fwrite(buffer.Data() ? buffer.Data() : "", 1, static_cast<size_t>(buffer.StoredLength()), stdout);
  return Ok;
}

int Put(const std::string& storePath, const std::string& path) {
#ifdef _WIN32
  _setmode(_fileno(stdin), _O_BINARY);
#endif
  std::string text;
  char chunk[65536];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, stdin)) > 0) text.append(chunk, got);
  util::TStringList lines;
  lines.SetText(text);
  const int result = store::WriteStoreLines(KeyPath(path), &lines, storePath);
  return result == 0 ? Ok : StoreError(result);
}

int Remove(const std::string& storePath, const std::string& path) {
  if (!EntryExists(storePath, path)) return std::fprintf(stderr, "lnstore: %s: not found\n", path.c_str()), NotFound;
  const int result = store::WriteStoreLines(KeyPath(path), nullptr, storePath);
  return result == 0 ? Ok : StoreError(result);
}

int Move(const std::string& storePath, const std::string& path, const std::string& newName) {
  if (!EntryExists(storePath, path)) return std::fprintf(stderr, "lnstore: %s: not found\n", path.c_str()), NotFound;
  const int result = store::RenameStoreItem(KeyPath(path), newName, storePath);
  return result == 0 ? Ok : StoreError(result);
}

int Run(int argc, char** argv) {
  if (argc >= 2 && (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h"))) {
    std::fputs(UsageText, stdout);
    return Ok;
  }
  if (argc < 3) return UsageError("a command and a store are needed");
  const std::string cmd = argv[1], storePath = argv[2];
  const int extra = argc - 3;
  // Every command but check sees the store as the engine will.
  for (const char* engineView : {"ls", "get", "put", "rm", "mv", "dump"})
    if (cmd == engineView) store::RecoverStore(storePath);
  if (cmd == "ls" && extra <= 1) return List(storePath, extra ? argv[3] : "");
  if (cmd == "get" && extra == 1) return Get(storePath, argv[3]);
  if (cmd == "put" && extra == 1) return Put(storePath, argv[3]);
  if (cmd == "rm" && extra == 1) return Remove(storePath, argv[3]);
  if (cmd == "mv" && extra == 2) return Move(storePath, argv[3], argv[4]);
  if (cmd == "dump" && extra == 0) return Dump(storePath);
  if (cmd == "check" && extra == 0) return Check(storePath);
  return UsageError(("unknown command or wrong arguments: " + cmd).c_str());
}

}  // namespace
}  // namespace tools

int main(int argc, char** argv) {
#ifdef _WIN32
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  // Inflate errors go to stderr as one line each, never to a window.
  util::SetMessageHook([](const std::string& text, const std::string& caption, util::MsgButtons,
                          util::MsgOwner) {
    std::fprintf(stderr, "lnstore: %s: %s\n", caption.c_str(), text.c_str());
    return util::mrOk;
  });
  try {
    return tools::Run(argc, argv);
  } catch (const util::EGeneralError& e) {
    std::fprintf(stderr, "lnstore: %s\n", e.what());
    return tools::StoreFailed;
  }
}
