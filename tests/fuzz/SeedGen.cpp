// Writes the seed corpora of the fuzz targets: stores made by the engine
// (empty, one item, folders, rewrites that leave free extents, a deep path,
// an empty item), each also with an operation script in front for the ops
// target. Usage: fuzz_seed_gen FILE_DIR OPS_DIR
#include <cstdio>
#include <string>

#include "store/FileMan1.h"
#include "util/FileStream.h"

namespace {
util::TStringList Lines(int n, const std::string& stem) {
  util::TStringList l;
  for (int i = 0; i < n; ++i) l.Add(stem + " " + std::to_string(i * 31));
  return l;
}

void Write(const std::string& key, const util::TStringList& lines, const std::string& path) {
  store::WriteStoreLines(key, &lines, path);
}
void Write(const std::string& key, std::nullptr_t, const std::string& path) {
  store::WriteStoreLines(key, nullptr, path);
}

std::string Script() {
  // Three operations: write "default/message", rename it, read it.
  std::string s(1, '\x03');
  auto op = [&](char kind, const std::string& key, const std::string& payload) {
    s += kind;
    s += static_cast<char>(key.size());
    s += key;
    s += static_cast<char>(payload.size());
    s += payload;
  };
  op(1, "default\xFFmessage", "From: a\r\nHost: b\r\n");
  op(3, "default\xFFmessage", "note");
  op(5, "x\xFFy\xFFz", "one\ntwo");
  return s;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  const std::string fileDir = argv[1], opsDir = argv[2];
  const std::string scratch = fileDir + "/.scratch.dbc";
  int made = 0;
  auto save = [&](const std::string& name) {
    std::string bytes;
    util::ReadWholeFile(scratch, bytes);
    util::WriteWholeFile(fileDir + "/" + name, bytes);
    util::WriteWholeFile(opsDir + "/" + name, Script() + bytes);
    util::WriteWholeFile(opsDir + "/plain-" + name, std::string(1, '\0') + bytes);
    ++made;
  };
  std::remove(scratch.c_str());
  { store::TFileManager m(scratch); }
  save("empty");
  Write("default\xFFmessage", Lines(3, "From: x"), scratch);
  save("one-item");
  Write("default\xFF" "article", Lines(5, "Newsgroups"), scratch);
  Write("Initialization", Lines(2, "Cutmarks=--"), scratch);
  save("two-folders");
  Write("default\xFFmessage", Lines(40, "longer line"), scratch);
  Write("Initialization", nullptr, scratch);
  save("free-extents");
  Write("a\xFF" "b\xFF" "c\xFF" "d\xFF" "e", Lines(1, "deep"), scratch);
  util::TStringList none;
  Write("default\xFF" "empty", none, scratch);
  save("deep-and-empty");
  std::remove(scratch.c_str());
  std::printf("fuzz_seed_gen: %d seeds\n", made);
  return 0;
}
