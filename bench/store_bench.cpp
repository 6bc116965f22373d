// Store benchmark: the engine against SQLite and against the raw I/O floor,
// each call opening and closing its file as the product does. The store
// flushes every operation through its rollback journal; SQLite is measured
// in its own durable rollback mode (journal_mode=DELETE, synchronous=FULL)
// and, as before, with synchronous=OFF. Both live in the same folder, so on
// the same file system. What each durable write waits for on Linux (seen
// with strace): SQLite FULL creates its journal, fdatasyncs it, syncs the
// folder (the new journal's entry), rewrites the journal's header and
// fdatasyncs it again, then writes and fdatasyncs the database and unlinks
// the journal; the store writes into the empty journal it keeps beside the
// file, fdatasyncs it, writes and fdatasyncs the store and empties the
// journal (the folder is synced only when the journal is first made). That
// is two waits for the disk against SQLite's four, plus the emptying, which
// frees the journal's blocks and costs about one more. Reads are set against
// two floors: the bare reads of the bytes the format needs, and those after
// the look for a hot journal that every crash-safe store makes first.
// Usage: store_bench [DIR]   (default: a fresh folder under /tmp)
#include <fcntl.h>
#include <sys/stat.h>
#include <sqlite3.h>
#include <unistd.h>
#include <zlib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "app/Version.h"
#include "store/FileMan1.h"
#include "util/Message.h"

namespace {

const int kFolders = 10, kItems = 1000, kRewrites = 5000;

double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

std::mt19937 g_rng(20240611);

// Text lines of words, about `bytes` long in all.
util::TStringList TextOf(size_t bytes) {
  static const char* words[] = {"the", "message", "store", "lantern", "mail", "reply", "header",
                                "from", "subject", "news", "article", "quoted", "text", "and",
                                "of", "to", "folder", "item", "zlib", "block", "index"};
  util::TStringList l;
  size_t total = 0;
  while (total < bytes) {
    std::string line;
    const size_t want = 40 + g_rng() % 40;
    while (line.size() < want) {
      line += words[g_rng() % (sizeof words / sizeof *words)];
      line += ' ';
    }
    total += line.size() + 2;
    l.Add(line);
  }
  return l;
}

std::string Folder(int i) { return "folder" + std::to_string(i % kFolders); }
std::string Name(int i) { return "item" + std::to_string(i); }

// --- SQLite: one connection per call ---------------------------------------
struct Sql {
  std::string path;
  bool durable;  // journal_mode=DELETE, synchronous=FULL; otherwise synchronous=OFF
  sqlite3* Open() {
    sqlite3* db = nullptr;
    if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) std::abort();
    sqlite3_exec(db,
                 durable ? "PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL"
                         : "PRAGMA synchronous=OFF",
                 nullptr, nullptr, nullptr);
    return db;
  }
  void Create() {
    sqlite3* db = Open();
    sqlite3_exec(db,
                 "CREATE TABLE IF NOT EXISTS items(folder TEXT, name TEXT, data BLOB, "
                 "PRIMARY KEY(folder, name))",
                 nullptr, nullptr, nullptr);
    sqlite3_close(db);
  }
  void Write(const std::string& folder, const std::string& name, const std::string& text) {
    uLongf len = compressBound(static_cast<uLong>(text.size()));
    std::string z(len, '\0');
    compress(reinterpret_cast<Bytef*>(&z[0]), &len, reinterpret_cast<const Bytef*>(text.data()),
             static_cast<uLong>(text.size()));
    z.resize(len);
    sqlite3* db = Open();
    sqlite3_stmt* st;
    sqlite3_prepare_v2(db, "INSERT OR REPLACE INTO items VALUES(?,?,?)", -1, &st, nullptr);
    sqlite3_bind_text(st, 1, folder.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(st, 2, name.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_blob(st, 3, z.data(), static_cast<int>(z.size()), SQLITE_TRANSIENT);
    if (sqlite3_step(st) != SQLITE_DONE) std::abort();
    sqlite3_finalize(st);
    sqlite3_close(db);
  }
  std::string Read(const std::string& folder, const std::string& name, size_t expected) {
    sqlite3* db = Open();
    sqlite3_stmt* st;
    sqlite3_prepare_v2(db, "SELECT data FROM items WHERE folder=? AND name=?", -1, &st, nullptr);
    sqlite3_bind_text(st, 1, folder.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(st, 2, name.c_str(), -1, SQLITE_TRANSIENT);
    std::string out;
    if (sqlite3_step(st) == SQLITE_ROW) {
      const void* blob = sqlite3_column_blob(st, 0);
      const int n = sqlite3_column_bytes(st, 0);
      out.assign(expected + 1, '\0');
      uLongf len = static_cast<uLongf>(out.size());
      uncompress(reinterpret_cast<Bytef*>(&out[0]), &len, static_cast<const Bytef*>(blob),
                 static_cast<uLong>(n));
      out.resize(len);
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return out;
  }
};

// --- The raw floor: the bytes the format needs, at known offsets -----------
// open, root cell, top index, folder index, item: pread + inflate, close.
// A crash-safe store must also look for a hot journal before it trusts what
// it reads (SQLite does so on every read transaction): with journalCheck the
// floor stats the journal's name first, as the store's opening does.
struct Floor {
  std::string path;
  bool journalCheck;
  static int32_t I32(const char* p) { return store::GetInt32(p); }
  static std::string Record(int fd, int32_t pos) {
    char head[12];
    if (pread(fd, head, 12, pos) != 12) std::abort();
    const int32_t s = I32(head + 4), o = I32(head + 8);
    std::string stored(static_cast<size_t>(s), '\0');
    if (pread(fd, &stored[0], s, pos + 12) != s) std::abort();
    std::string out(static_cast<size_t>(o) + 1, '\0');
    uLongf len = static_cast<uLongf>(out.size());
    uncompress(reinterpret_cast<Bytef*>(&out[0]), &len,
               reinterpret_cast<const Bytef*>(stored.data()), static_cast<uLong>(s));
    out.resize(len);
    return out;
  }
  static int32_t Lookup(int fd, int32_t indexPos, const std::string& name) {
    char head[12];
    if (pread(fd, head, 12, indexPos) != 12) std::abort();
    const std::string text = Record(fd, indexPos);
    int entry = 0;
    size_t at = 0;
    while (at < text.size() && text[at] != '\0') {
      const size_t eol = text.find("\r\n", at);
      if (text.compare(at, eol - at, name) == 0) {
        char p[4];
        if (pread(fd, p, 4, indexPos + 12 + I32(head + 4) + 4 * entry) != 4) std::abort();
        return I32(p);
      }
      at = eol + 2;
      ++entry;
    }
    return -1;
  }
  std::string Read(const std::string& folder, const std::string& name) {
    if (journalCheck) {
      struct stat st;
      if (stat((path + app::JournalExt).c_str(), &st) == 0 && st.st_size > 0) std::abort();
    }
    const int fd = open(path.c_str(), O_RDONLY);
    char raw[4];
    if (pread(fd, raw, 4, store::RootCellOffset) != 4) std::abort();
    const int32_t root = I32(raw);
    if (pread(fd, raw, 4, root) != 4) std::abort();
    const int32_t f = Lookup(fd, I32(raw), folder);
    const int32_t item = Lookup(fd, f, name);
    std::string out = Record(fd, item);
    close(fd);
    return out;
  }
};

// Operations per second of each contender over the same n operations. They
// take turns in blocks of ten, so that a shared machine's changing load (and
// the disk's flush times) fall on all of them alike, and the rate is taken
// from the median block, so that a block that waited for another program
// does not count. Who goes first moves on by one every block: the same
// items were just read by the one before, whose caches the next one finds
// warm.
std::vector<double> Rates(int n, const std::vector<std::function<void(int)>>& contenders) {
  const int block = 10;
  std::vector<std::vector<double>> perOp(contenders.size());
  for (int start = 0; start < n; start += block)
    for (size_t turn = 0; turn < contenders.size(); ++turn) {
      const size_t c = (turn + static_cast<size_t>(start / block)) % contenders.size();
      const double t0 = Now();
      const int end = std::min(n, start + block);
      for (int i = start; i < end; ++i) contenders[c](i);
      perOp[c].push_back((Now() - t0) / (end - start));
    }
  std::vector<double> rates;
  for (std::vector<double>& t : perOp) {
    std::nth_element(t.begin(), t.begin() + t.size() / 2, t.end());
    rates.push_back(1.0 / t[t.size() / 2]);
  }
  return rates;
}

off_t SizeOf(const std::string& path) {
  FILE* f = std::fopen(path.c_str(), "rb");
  std::fseek(f, 0, SEEK_END);
  const long n = std::ftell(f);
  std::fclose(f);
  return n;
}

}  // namespace

int main(int argc, char** argv) {
  util::SetMessageHook([](const std::string&, const std::string&, util::MsgButtons, util::MsgOwner) {
    return util::mrOk;
  });
  const std::string dir = argc > 1 ? argv[1] : "/tmp/lf-bench-" + std::to_string(getpid());
  std::system(("mkdir -p '" + dir + "'").c_str());
  const std::string storePath = dir + "/LN.dbc";
  Sql sql{dir + "/items-full.sqlite", true}, fast{dir + "/items-off.sqlite", false};
  Floor floor{storePath, false}, checkedFloor{storePath, true};
  std::remove(storePath.c_str());
  for (Sql* s : {&sql, &fast}) {
    std::remove(s->path.c_str());
    s->Create();
  }

  std::vector<std::string> texts(kItems);
  for (int i = 0; i < kItems; ++i) texts[i] = TextOf(2048).Text();
  auto key = [](int i) { return Folder(i) + app::KeySeparator + Name(i); };

  // 1. Write 1,000 items of about 2 KiB under 10 folders.
  const std::vector<double> w = Rates(kItems, {
      [&](int i) {
        util::TStringList l;
        l.SetText(texts[i]);
        if (store::WriteStoreLines(key(i), &l, storePath) != 0) std::abort();
      },
      [&](int i) { sql.Write(Folder(i), Name(i), texts[i]); },
      [&](int i) { fast.Write(Folder(i), Name(i), texts[i]); }});
  const double wStore = w[0], wSql = w[1], wOff = w[2];

  // 2. Read them all back (three rounds each, in a shuffled order).
  std::vector<int> order;
  for (int r = 0; r < 3; ++r)
    for (int i = 0; i < kItems; ++i) order.push_back(i);
  std::shuffle(order.begin(), order.end(), g_rng);
  const int reads = static_cast<int>(order.size());
  const std::vector<double> r = Rates(reads, {
      [&](int k) {
        util::TStringList l;
        store::ReadStoreLines(l, key(order[k]), storePath);
        if (l.Text() != texts[order[k]]) std::abort();
      },
      [&](int k) {
        if (sql.Read(Folder(order[k]), Name(order[k]), texts[order[k]].size()) != texts[order[k]])
          std::abort();
      },
      [&](int k) {
        if (fast.Read(Folder(order[k]), Name(order[k]), texts[order[k]].size()) != texts[order[k]])
          std::abort();
      },
      [&](int k) {
        if (floor.Read(Folder(order[k]), Name(order[k])) != texts[order[k]]) std::abort();
      },
      [&](int k) {
        if (checkedFloor.Read(Folder(order[k]), Name(order[k])) != texts[order[k]]) std::abort();
      }});
  const double rStore = r[0], rSql = r[1], rOff = r[2], rFloor = r[3], rChecked = r[4];

  // 3. 5,000 random rewrites of 100 B to 8 KiB.
  std::vector<std::pair<int, std::string>> rewrites;
  for (int k = 0; k < kRewrites; ++k) {
    const int i = static_cast<int>(g_rng() % kItems);
    rewrites.push_back({i, TextOf(100 + g_rng() % (8192 - 100)).Text()});
  }
  const std::vector<double> u = Rates(kRewrites, {
      [&](int k) {
        util::TStringList l;
        l.SetText(rewrites[k].second);
        if (store::WriteStoreLines(key(rewrites[k].first), &l, storePath) != 0) std::abort();
        texts[rewrites[k].first] = rewrites[k].second;
      },
      [&](int k) {
        sql.Write(Folder(rewrites[k].first), Name(rewrites[k].first), rewrites[k].second);
      },
      [&](int k) {
        fast.Write(Folder(rewrites[k].first), Name(rewrites[k].first), rewrites[k].second);
      }});
  const double uStore = u[0], uSql = u[1], uOff = u[2];
  for (int i = 0; i < kItems; ++i) {  // still all there
    util::TStringList l;
    store::ReadStoreLines(l, key(i), storePath);
    if (l.Text() != texts[i]) std::abort();
  }

  long long live = 0;
  for (const auto& t : texts) live += static_cast<long long>(t.size());
  std::printf("store_bench: %d items of ~2 KiB in %d folders; %d reads; %d rewrites\n", kItems,
              kFolders, reads, kRewrites);
  std::printf("%-16s %11s %13s %12s %11s %13s\n", "workload", "store op/s", "sqlite FULL",
              "sqlite OFF", "floor op/s", "floor+journal");
  std::printf("%-16s %11.0f %13.0f %12.0f %11s %13s\n", "write 1000", wStore, wSql, wOff, "-", "-");
  std::printf("%-16s %11.0f %13.0f %12.0f %11.0f %13.0f\n", "read all (x3)", rStore, rSql, rOff,
              rFloor, rChecked);
  std::printf("%-16s %11.0f %13.0f %12.0f %11s %13s\n", "rewrite 5000", uStore, uSql, uOff, "-", "-");
  std::printf("ratios against sqlite FULL (the store is durable too): write %.2f (target >= 1.5), "
              "rewrite %.2f (target >= 1.5), read %.2f (target >= 2)\n",
              wStore / wSql, uStore / uSql, rStore / rSql);
  std::printf("ratios against sqlite OFF: write %.2f, rewrite %.2f, read %.2f\n", wStore / wOff,
              uStore / uOff, rStore / rOff);
  std::printf("read floor+journal/store %.2f (target <= 1.3); bare floor/store %.2f\n",
              rChecked / rStore, rFloor / rStore);
  std::printf("after rewrites: store file %lld bytes, sqlite file %lld bytes, live text %lld bytes "
              "(store file / live text %.2f)\n",
              static_cast<long long>(SizeOf(storePath)), static_cast<long long>(SizeOf(sql.path)),
              live, static_cast<double>(SizeOf(storePath)) / live);
  std::remove(storePath.c_str());
  std::remove(sql.path.c_str());
  std::remove(fast.path.c_str());
  return 0;
}
