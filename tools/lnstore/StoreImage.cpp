// Read-only parsing and checking of a store file's bytes.
#include "tools/lnstore/StoreImage.h"

#include <zlib.h>

#include <map>

#include "store/Format.h"
#include "util/Text.h"

namespace tools {

using store::BlockPrefixSize;
using store::FreeListCountSize;
using store::HeaderSize;
using store::PositionSize;
using store::RecordHeaderSize;

namespace {
std::string Num(long long v) { return util::IntToStr(v); }
}  // namespace

std::vector<std::string> SplitSlashPath(const std::string& path) {
  std::vector<std::string> out;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    if (end > start) out.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return out;
}

int32_t StoreImage::At(int64_t offset) const {
  if (offset < 0 || offset + PositionSize > static_cast<int64_t>(bytes_.size())) return 0;
  return store::GetInt32(bytes_.data() + offset);
}

StoreImage::StoreImage(std::string bytes) : bytes_(std::move(bytes)) {
  const int64_t size = static_cast<int64_t>(bytes_.size());
  if (size < HeaderSize + FreeListCountSize) {
    headerFault_ = "file of " + Num(size) + " bytes is too short for a store";
    return;
  }
  rootCell_ = At(store::RootCellOffset);
  dataEnd_ = At(store::DataEndOffset);
  if (dataEnd_ < HeaderSize || dataEnd_ > size - FreeListCountSize) {
    headerFault_ = "data end " + Num(dataEnd_) + " lies outside the file";
    return;
  }
  const int32_t n = At(dataEnd_);
  if (n < 0 || store::FreeListBytes(n) > size - dataEnd_) {
    headerFault_ = "free list count " + Num(n) + " does not fit the file";
    return;
  }
  for (int32_t i = 0; i < n; ++i) {
    freePositions_.push_back(At(dataEnd_ + FreeListCountSize + PositionSize * static_cast<int64_t>(i)));
    freeSizes_.push_back(
        At(dataEnd_ + FreeListCountSize + PositionSize * (static_cast<int64_t>(n) + i)));
  }
  if (rootCell_ == -1) return;
  if (rootCell_ < store::FirstPayload ||
      static_cast<int64_t>(rootCell_) + store::RootCellPayloadSize > dataEnd_ ||
      At(static_cast<int64_t>(rootCell_) - BlockPrefixSize) != store::RootCellBlockSize) {
    headerFault_ = "root cell " + Num(rootCell_) + " is not a block of 8 bytes";
    return;
  }
  top_ = At(rootCell_);
}

bool StoreImage::ReadRecord(int32_t position, ImageRecord& r, std::string& fault) const {
  r = ImageRecord();
  r.Position = position;
  const std::string at = "record at " + Num(position);
  const int64_t start = static_cast<int64_t>(position) - BlockPrefixSize;
  if (position < store::FirstPayload || start + BlockPrefixSize + RecordHeaderSize > dataEnd_) {
    fault = at + " lies outside the blocks";
    return false;
  }
  r.BlockLength = At(start);
  r.Kind = static_cast<uint8_t>(bytes_[position + store::RecordKindOffset]);
  r.Encoding = static_cast<uint8_t>(bytes_[position + store::RecordEncodingOffset]);
  r.StoredLength = At(position + store::RecordStoredLengthOffset);
  r.UncompressedLength = At(position + store::RecordDataLengthOffset);
  const int64_t room = static_cast<int64_t>(r.BlockLength) - BlockPrefixSize - RecordHeaderSize;
  if (room < 0 || start + r.BlockLength > dataEnd_ || r.StoredLength < 0 ||
      r.StoredLength > room) {
    fault = at + " does not fit its block (length " + Num(r.BlockLength) + ", S " +
            Num(r.StoredLength) + ")";
    return false;
  }
  const char* data = bytes_.data() + position + RecordHeaderSize;
  if (r.Encoding == store::ZlibEncoding) {
    const int32_t o = r.UncompressedLength;
    if (o < 0 || o > store::MaxInflatedLength(r.StoredLength)) {
      fault = at + " claims an uncompressed length of " + Num(o);
      return false;
    }
    std::string out(static_cast<size_t>(o) + 1, '\0');
    uLongf len = static_cast<uLongf>(out.size());
    const int z = uncompress(reinterpret_cast<Bytef*>(&out[0]), &len,
                             reinterpret_cast<const Bytef*>(data),
                             static_cast<uLong>(r.StoredLength));
    if (z != Z_OK || len != static_cast<uLongf>(o)) {
      fault = at + " does not inflate to its uncompressed length " + Num(o);
      return false;
    }
    out.resize(len);
    r.Data = out;
  } else {
    r.Data.assign(data, static_cast<size_t>(r.StoredLength));
  }
  // Like the engine, everything that is not an item is read as an index.
  if (r.Kind != store::ItemRecord) {
    util::TStringList names;
    names.SetText(r.Data.substr(0, r.Data.find('\0')));
    const int64_t n = names.Count();
    if (PositionSize * n > room - r.StoredLength) {
      fault = at + " has " + Num(n) + " names but room for " +
              Num((room - r.StoredLength) / PositionSize) + " positions";
      return false;
    }
    r.Names = names.Lines();
    for (int64_t i = 0; i < n; ++i)
      r.Positions.push_back(At(position + RecordHeaderSize + r.StoredLength + PositionSize * i));
  }
  return true;
}

int32_t StoreImage::Resolve(const std::vector<std::string>& path, std::string& fault) const {
  int32_t pos = top_;
  std::set<int32_t> seen;
  for (const std::string& name : path) {
    if (pos == -1) return -1;
    ImageRecord r;
    if (!seen.insert(pos).second) {
      fault = "record at " + Num(pos) + " lies on its own path";
      return -1;
    }
    if (!ReadRecord(pos, r, fault)) return -1;
    int32_t next = -1;
    bool found = false;
    for (size_t i = 0; i < r.Names.size() && !found; ++i)
      if (util::SameText(r.Names[i], name)) found = true, next = r.Positions[i];
    if (!found) return -1;
    pos = next;
  }
  return pos;
}

void StoreImage::CheckFreeList(const std::function<void(const std::string&)>& report,
                               int& faults) const {
  int64_t prevEnd = -1;
  for (size_t i = 0; i < freePositions_.size(); ++i) {
    const int64_t p = freePositions_[i], s = freeSizes_[i];
    const std::string what = "free extent " + Num(p) + "+" + Num(s);
    if (s <= 0 || p < HeaderSize || p + s > dataEnd_) {
      report(what + " lies outside the blocks"), ++faults;
    } else if (p < prevEnd) {
      report(what + " overlaps the one before"), ++faults;
    } else if (p == prevEnd) {
      report(what + " touches the one before"), ++faults;
    }
    if (p + s > prevEnd) prevEnd = p + s;
  }
}

// The chain of blocks from offset 46 to the data end, stepping over free
// extents by their sizes; returns the block starts.
std::set<int32_t> StoreImage::WalkBlocks(const std::function<void(const std::string&)>& report,
                                         int& faults) const {
  std::map<int32_t, int32_t> free;
  for (size_t i = 0; i < freePositions_.size(); ++i) free[freePositions_[i]] = freeSizes_[i];
  std::set<int32_t> blocks, boundaries;
  int64_t b = HeaderSize;
  while (b < dataEnd_) {
    boundaries.insert(static_cast<int32_t>(b));
    auto f = free.find(static_cast<int32_t>(b));
    if (f != free.end() && f->second > 0) {
      b += f->second;
      continue;
    }
    const int32_t len = At(b);
    if (len < BlockPrefixSize + 1 || b + len > dataEnd_) {
      report("block at " + Num(b) + " has length " + Num(len) + "; the chain ends there"), ++faults;
      break;
    }
    blocks.insert(static_cast<int32_t>(b));
    b += len;
  }
  if (b > dataEnd_) report("the last extent runs past the data end " + Num(dataEnd_)), ++faults;
  for (const auto& [p, s] : free)
    if (!boundaries.count(p) && p >= HeaderSize && static_cast<int64_t>(p) + s <= dataEnd_)
      report("free extent " + Num(p) + "+" + Num(s) + " is not a block"), ++faults;
  return blocks;
}

int StoreImage::Check(const std::function<void(const std::string&)>& report,
                      std::string& summary) const {
  if (!Readable()) {
    report(headerFault_);
    summary = "1 fault: the header or free list cannot be read";
    return 1;
  }
  int faults = 0;
  CheckFreeList(report, faults);
  const std::set<int32_t> blocks = WalkBlocks(report, faults);
  std::set<int32_t> reached;
  if (rootCell_ != -1) reached.insert(rootCell_ - BlockPrefixSize);
  int indexes = 0, items = 0;
  std::vector<std::pair<int32_t, std::string>> todo;
  if (top_ != -1) todo.push_back({top_, "(top)"});
  std::set<int32_t> seen;
  while (!todo.empty()) {
    auto [pos, path] = todo.back();
    todo.pop_back();
    if (!seen.insert(pos).second) {
      report("record at " + Num(pos) + " (" + path + ") is referenced twice or in a cycle"), ++faults;
      continue;
    }
    if (pos < store::FirstPayload || !blocks.count(pos - BlockPrefixSize)) {
      report("record at " + Num(pos) + " (" + path + ") is not at a block"), ++faults;
      continue;
    }
    reached.insert(pos - BlockPrefixSize);
    ImageRecord r;
    std::string fault;
    if (!ReadRecord(pos, r, fault)) {
      report(fault + " (" + path + ")"), ++faults;
      continue;
    }
    if (r.Kind == store::ItemRecord && pos == top_) {
      report("the top index's record at " + Num(pos) + " is an item"), ++faults;
      continue;
    }
    if (r.Kind == store::ItemRecord) {
      ++items;
      continue;
    }
    ++indexes;
    for (size_t i = 0; i < r.Names.size(); ++i)
      if (r.Positions[i] != -1)
        todo.push_back({r.Positions[i], path == "(top)" ? r.Names[i] : path + "/" + r.Names[i]});
  }
  for (int32_t b : blocks)
    if (!reached.count(b))
      report("block at " + Num(b) + " (length " + Num(At(b)) + ") is neither reachable nor free"),
          ++faults;
  summary = Num(static_cast<long long>(blocks.size())) + " blocks, " + Num(indexes) +
            " indexes, " + Num(items) + " items, " +
            Num(static_cast<long long>(freePositions_.size())) + " free extents, " +
            Num(faults) + (faults == 1 ? " fault" : " faults");
  return faults;
}

}  // namespace tools
