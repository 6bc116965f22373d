// Writes the seed corpora of the fuzz targets: stores made by the engine
// (empty, one item, folders, rewrites that leave free extents, a deep path,
// an empty item, bytes behind the free list, a deep tree, a free list longer
// than its read ahead), each also with decision bytes in front for the ops
// target. Usage: fuzz_seed_gen FILE_DIR OPS_DIR
#include <cstdint>
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

// The ops target's prefix: no journal, then decision bytes from a fixed
// generator, enough for a dozen calls.
std::string Decisions(uint32_t seed) {
  std::string d;
  for (int i = 0; i < 96; ++i) {
    seed = seed * 1103515245u + 12345u;
    d += static_cast<char>(seed >> 16);
  }
  std::string s(1, '\0');
  s += static_cast<char>(d.size() & 0xFF);
  s += static_cast<char>(d.size() >> 8);
  return s + d;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  const std::string fileDir = argv[1], opsDir = argv[2];
  // Thousands of durable writes: in memory when the system has a place for it.
  const std::string scratch =
      (util::DirectoryExists("/dev/shm") ? std::string("/dev/shm") : fileDir) + "/.lf-seed.dbc";
  int made = 0;
  auto save = [&](const std::string& name) {
    std::string bytes;
    util::ReadWholeFile(scratch, bytes);
    util::WriteWholeFile(fileDir + "/" + name, bytes);
    util::WriteWholeFile(opsDir + "/" + name, Decisions(static_cast<uint32_t>(made)) + bytes);
    util::WriteWholeFile(opsDir + "/plain-" + name, std::string(3, '\0') + bytes);
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
  // The data end moved back when the large last record went: the file holds
  // bytes behind its free list.
  util::TStringList big;
  for (int i = 0; i < 1500; ++i) big.Add(std::to_string(i * 2654435761u));
  Write("default\xFF" "big", big, scratch);
  Write("default\xFF" "message", nullptr, scratch);
  Write("default\xFF" "big", nullptr, scratch);
  save("bytes-behind-free-list");
  // Folders five deep, many of them.
  for (int i = 0; i < 40; ++i)
    Write("t" + std::to_string(i % 3) + "\xFFu" + std::to_string(i % 5) + "\xFFv" +
              std::to_string(i % 2) + "\xFFw\xFFx" + std::to_string(i),
          Lines(1 + i % 4, "deep"), scratch);
  save("deep-tree");
  // More free extents than one read ahead of the list holds (1024): every
  // other item of many small folders deleted.
  std::remove(scratch.c_str());
  for (int i = 0; i < 2800; ++i)
    Write("f" + std::to_string(i / 5) + "\xFFi" + std::to_string(i % 5), util::TStringList(), scratch);
  for (int i = 0; i < 2800; i += 2)
    Write("f" + std::to_string(i / 5) + "\xFFi" + std::to_string(i % 5), nullptr, scratch);
  save("long-free-list");
  std::remove(scratch.c_str());
  std::remove((scratch + ".jnl").c_str());
  std::printf("fuzz_seed_gen: %d seeds\n", made);
  return 0;
}
