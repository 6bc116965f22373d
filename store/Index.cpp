// Index records: loading, saving and linking, and the item records an index
// holds. Records read from the file are checked against their block before
// anything is taken from them.
#include "store/Index.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "app/Version.h"
#include "util/Message.h"

namespace store {

void AddTextLines(util::TStringList& list, const char* text, size_t length) {
  if (!text) return;
  if (const void* nul = std::memchr(text, 0, length))
    length = static_cast<size_t>(static_cast<const char*>(nul) - text);
  const char* const end = text + length;
  // The next CR and the next LF, each found by one scan and looked for again
  // only once passed.
  auto next = [end](const char* from, char c) {
    const void* at = std::memchr(from, c, static_cast<size_t>(end - from));
    return at ? static_cast<const char*>(at) : end;
  };
  const char* cr = next(text, '\r');
  const char* lf = next(text, '\n');
  const char* start = text;
  while (start < end) {
    const char* brk = cr < lf ? cr : lf;
    list.Add(std::string(start, static_cast<size_t>(brk - start)));
    if (brk == end) break;
    start = brk + ((*brk == '\r' && brk + 1 < end && brk[1] == '\n') ? 2 : 1);
    if (cr < start) cr = next(start, '\r');
    if (lf < start) lf = next(start, '\n');
  }
}

TFMindex::TFMindex(TFileManager& manager, TFMindex* parent, const std::string& name)
    : name_(name), parent_(parent), manager_(manager) {
  if (parent && !name.empty()) {
    position_ = parent->PositionOf(name);
  } else if (manager.GetRootCell() == NoPosition) {
    // A store without a root cell gets one, holding "no top index yet".
    const int32_t cell = manager.Allocate(RootCellPayloadSize);
    char raw[RootCellPayloadSize];
    PutInt32(raw, NoPosition);
    if (cell != NoPosition && manager.SeekTo(cell)) manager.WriteBytes(raw, RootCellPayloadSize);
    return;
  } else {
    LoadRootPosition();
  }
  if (damaged_ || position_ == NoPosition) return;
  // A record that is also one of this walk's indexes above would make the
  // walk release and rewrite it twice.
  for (TFMindex* up = parent_; up; up = up->parent_) {
    if (up->position_ == position_) {
      MarkDamaged();
      return;
    }
  }
  LoadRecord();
}

void TFMindex::MarkDamaged() {
  Clear();
  damaged_ = true;
  manager_.SetError(ReadError);
}

void TFMindex::LoadRootPosition() {
  // The root cell's block: length 8, then the top index's position.
  char raw[RootCellBlockSize];
  const int32_t cell = manager_.GetRootCell();
  if (!manager_.RootBlockFromOpening(raw) &&
      (!manager_.SeekTo(static_cast<int64_t>(cell) - BlockPrefixSize) ||
       !manager_.ReadBytes(raw, RootCellBlockSize)))
    return MarkDamaged();
  if (GetInt32(raw) != RootCellBlockSize) return MarkDamaged();
  position_ = GetInt32(raw + BlockPrefixSize);
}

bool TFMindex::ReadRecordHead(TFileManager& manager, int32_t position, TRecordHead& head,
                              bool readAhead) {
  const int64_t start = static_cast<int64_t>(position) - BlockPrefixSize;
  const int32_t minBlock = BlockPrefixSize + RecordHeaderSize;
  if (position < FirstPayload || !manager.InBlocks(start, minBlock)) return false;
  // Reading ahead stays inside the blocks area, which the file holds.
  const int64_t inBlocks = manager.DataEnd() - start;
  const int32_t want =
      readAhead ? static_cast<int32_t>(std::min<int64_t>(inBlocks, TRecordHead::ReadAheadSize))
                : minBlock;
  head.RawTaken = minBlock;
  head.RawCount = manager.SeekTo(start) ? manager.ReadAhead(head.Raw, minBlock, want) : -1;
  if (head.RawCount < 0) return false;
  head.BlockLength = GetInt32(head.Raw);
  const char* record = head.Raw + BlockPrefixSize;
  head.Kind = static_cast<uint8_t>(record[RecordKindOffset]);
  head.Attribute = static_cast<uint8_t>(record[RecordAttributeOffset]);
  head.Reserved = static_cast<uint8_t>(record[RecordReservedOffset]);
  head.Encoding = static_cast<uint8_t>(record[RecordEncodingOffset]);
  head.StoredLength = GetInt32(record + RecordStoredLengthOffset);
  head.UncompressedLength = GetInt32(record + RecordDataLengthOffset);
  const int64_t room = static_cast<int64_t>(head.BlockLength) - minBlock;  // for data + positions
  if (head.BlockLength < minBlock || !manager.InBlocks(start, head.BlockLength)) return false;
  if (manager.OverlapsFree(start, head.BlockLength)) return false;
  if (head.StoredLength < 0 || head.StoredLength > room) return false;
  if (head.Encoding == ZlibEncoding &&
      (head.UncompressedLength < 0 ||
       head.UncompressedLength > MaxInflatedLength(head.StoredLength)))
    return false;
  return true;
}

bool TFMindex::TakeBody(TFileManager& manager, TRecordHead& head, char* to, int32_t count) {
  const int32_t cached = std::min(count, head.RawCount - head.RawTaken);
  if (cached > 0) {
    std::memcpy(to, head.Raw + head.RawTaken, static_cast<size_t>(cached));
    head.RawTaken += cached;
  }
  if (cached == count && cached > 0) return true;
  return manager.ReadBytes(to + cached, count - cached);
}

void TFMindex::LoadRecord() {
  TRecordHead head;
  if (!ReadRecordHead(manager_, position_, head, true)) return MarkDamaged();
  // An item's positions are only a copy of its index's: taken as a folder's
  // entries they would refer to records a second time. A key path that runs
  // through an item is refused.
  if (head.Kind == ItemRecord) return MarkDamaged();
  // Data and then positions follow the header; both are read (mostly out of
  // the bytes read ahead) before anything is made of them. The data go
  // straight into the buffer.
  TDataBuf buffer;
  buffer.SetStored(nullptr, head.StoredLength);
  std::vector<char> positions(static_cast<size_t>(head.BlockLength - BlockPrefixSize -
                                                  RecordHeaderSize - head.StoredLength));
  if (!TakeBody(manager_, head, buffer.StoredBytes(), head.StoredLength) ||
      !TakeBody(manager_, head, positions.data(), static_cast<int32_t>(positions.size())))
    return MarkDamaged();
  buffer.Kind = head.Kind;
  buffer.Attribute = head.Attribute;
  buffer.Reserved = head.Reserved;
  buffer.Encoding = head.Encoding;
  buffer.SetUncompressedLength(head.UncompressedLength);
  if (buffer.Encoding == ZlibEncoding && (buffer.Decompress() != 0 || buffer.IsCompressed()))
    return MarkDamaged();
  Clear();
  // One name per line, and no more than the record has positions for: the
  // list is sized once.
  const char* text = buffer.Data();
  const size_t lines = text ? static_cast<size_t>(std::count(
                                  text, text + buffer.StoredLength(), '\n')) + 1
                            : 0;
  Reserve(static_cast<int>(std::min(lines, positions.size() / PositionSize)));
  AddTextLines(*this, buffer.Data(), static_cast<size_t>(buffer.StoredLength()));
  if (static_cast<int64_t>(Count()) * PositionSize > static_cast<int64_t>(positions.size()))
    return MarkDamaged();
  for (int i = 0; i < Count(); ++i)
    SetValue(i, GetInt32(&positions[static_cast<size_t>(PositionSize) * i]));
}

#ifndef _WIN32
namespace {
// The portable build lower-cases byte by byte (Windows-1252), so a name can
// be compared through a table of each byte's lower case, in place.
const unsigned char* LowerTable() {
  static const auto table = [] {
    std::array<unsigned char, 256> t{};
    for (int c = 0; c < 256; ++c)
      t[c] = static_cast<unsigned char>(util::LowerCase(std::string(1, static_cast<char>(c)))[0]);
    return t;
  }();
  return table.data();
}
}  // namespace
#endif

int TFMindex::IndexOf(const std::string& name) const {
#ifdef _WIN32
  // The system's casing may span two bytes (double-byte code pages): whole
  // names go through util::LowerCase.
  return util::TStringList::IndexOf(name);
#else
  const unsigned char* lower = LowerTable();
  const size_t n = name.size();
  const unsigned char* key = reinterpret_cast<const unsigned char*>(name.data());
  const std::vector<std::string>& lines = Lines();
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].size() != n) continue;
    const unsigned char* s = reinterpret_cast<const unsigned char*>(lines[i].data());
    size_t k = 0;
    while (k < n && (s[k] == key[k] || lower[s[k]] == lower[key[k]])) ++k;
    if (k == n) return static_cast<int>(i);
  }
  return -1;
#endif
}

int32_t TFMindex::PositionOf(const std::string& name) const {
  const int i = IndexOf(name);
  return i < 0 ? NoPosition : Value(i);
}

int32_t TFMindex::SetChildPosition(const std::string& name, int32_t position) {
  if (name.empty()) return NoPosition;
  int i = IndexOf(name);
  if (i < 0) i = Add(name, position);
  SetValue(i, position);
  return position;
}

int32_t TFMindex::SetChildPositionAndSave(const std::string& name, int32_t position) {
  const int32_t result = SetChildPosition(name, position);
  SaveAndLink();
  return result;
}

// How often position is referred to by this walk's indexes: their entries
// and their own records.
int TFMindex::ReferencesOnWalk(int32_t position) const {
  int n = 0;
  for (const TFMindex* at = this; at; at = at->parent_) {
    if (at->position_ == position) ++n;
    for (int i = 0; i < at->Count(); ++i)
      if (at->Value(i) == position) ++n;
  }
  return n;
}

// A record that something else on this walk still refers to is not given
// back: its space would be handed out while it is in use (a damaged store
// whose entries share a record). Leaving it costs space, not data.
void TFMindex::ReleaseIfUnshared(int32_t position, int expectedReferences) {
  if (ReferencesOnWalk(position) <= expectedReferences) manager_.Release(position);
}

void TFMindex::WriteRecord(int32_t at, const TDataBuf& buffer) {
  const int32_t s = buffer.StoredLength();
  std::vector<char> raw(static_cast<size_t>(RecordHeaderSize) + s +
                        static_cast<size_t>(PositionSize) * Count());
  raw[RecordKindOffset] = static_cast<char>(buffer.Kind);
  raw[RecordAttributeOffset] = static_cast<char>(buffer.Attribute);
  raw[RecordReservedOffset] = static_cast<char>(buffer.Reserved);
  raw[RecordEncodingOffset] = static_cast<char>(buffer.Encoding);
  PutInt32(&raw[RecordStoredLengthOffset], s);
  PutInt32(&raw[RecordDataLengthOffset], buffer.UncompressedLength());
  if (s > 0) std::memcpy(&raw[RecordHeaderSize], buffer.Data(), static_cast<size_t>(s));
  for (int i = 0; i < Count(); ++i)
    PutInt32(&raw[RecordHeaderSize + s + static_cast<size_t>(PositionSize) * i], Value(i));
  // Header, lengths, data and positions go out as one write; after a failed
  // seek nothing is written at the wrong place.
  if (manager_.SeekTo(at)) manager_.WriteBytes(raw.data(), static_cast<int32_t>(raw.size()));
}

namespace {
// The payload size of a record: 4 n + S + 12; -1 when it exceeds 32 bits.
int32_t RecordSize(int entries, int32_t stored) {
  const int64_t size = static_cast<int64_t>(PositionSize) * entries + stored + RecordHeaderSize;
  return size > INT32_MAX ? -1 : static_cast<int32_t>(size);
}
}  // namespace

int32_t TFMindex::Save() {
  if (position_ != NoPosition) {
    const bool linked = parent_ && parent_->PositionOf(name_) == position_;
    ReleaseIfUnshared(position_, linked ? 2 : 1);
  }
  std::string text = Text();
  text.push_back('\0');
  TDataBuf buffer(text.data(), static_cast<int32_t>(text.size()));
  buffer.Kind = IndexRecord;
  buffer.Compress();
  const int32_t size = RecordSize(Count(), buffer.StoredLength());
  if (size < 0) manager_.SetError(WriteError);
  position_ = size < 0 ? NoPosition : manager_.Allocate(size);
  if (position_ != NoPosition) WriteRecord(position_, buffer);
  return position_;
}

int32_t TFMindex::SaveAndLink() {
  Save();
  if (parent_) {
    parent_->SetChildPositionAndSave(name_, position_);
  } else {
    char raw[RootCellPayloadSize];
    PutInt32(raw, position_);
    const int32_t cell = manager_.GetRootCell();
    if (cell != NoPosition && manager_.SeekTo(cell)) manager_.WriteBytes(raw, RootCellPayloadSize);
  }
  return position_;
}

int32_t TFMindex::WriteItem(const std::string& name, TDataBuf* buffer, bool link) {
  int i = IndexOf(name);
  if (i < 0) i = Add(name, NoPosition);
  const int32_t old = Value(i);
  if (old != NoPosition) ReleaseIfUnshared(old, 1);
  int32_t result = old;
  if (buffer) {
    buffer->Kind = ItemRecord;
    buffer->Attribute = buffer->Reserved = buffer->Encoding = 0;
    buffer->Compress();
    const int32_t size = RecordSize(Count(), buffer->StoredLength());
    if (size < 0) manager_.SetError(WriteError);
    result = size < 0 ? NoPosition : manager_.Allocate(size);
    if (result != NoPosition) WriteRecord(result, *buffer);
    SetValue(i, result);
  } else {
    Delete(i);
  }
  if (link) SaveAndLink();
  return result;
}

const char* TFMindex::ReadItem(const std::string& name, TDataBuf* buffer) {
  if (!buffer) return nullptr;
  const int32_t p = PositionOf(name);
  if (p == NoPosition) return nullptr;
  TRecordHead head;
  if (!ReadRecordHead(manager_, p, head, true)) {
    manager_.SetError(ReadError);
    buffer->Clear();
    return nullptr;
  }
  return ReadItemData(head, *buffer);
}

// The record's data, read from the file position just past its header.
const char* TFMindex::ReadItemData(TRecordHead& head, TDataBuf& buffer) {
  buffer.Kind = head.Kind;
  buffer.Attribute = head.Attribute;
  buffer.Reserved = head.Reserved;
  buffer.Encoding = head.Encoding;
  buffer.SetStored(nullptr, head.StoredLength);
  buffer.SetUncompressedLength(head.UncompressedLength);
  bool sound = TakeBody(manager_, head, buffer.StoredBytes(), head.StoredLength);
  if (sound && buffer.Encoding == ZlibEncoding)
    sound = buffer.Decompress() == 0 && !buffer.IsCompressed();
  if (!sound) {
    // Bytes that did not inflate are not the item: the caller gets nothing.
    manager_.SetError(ReadError);
    buffer.Clear();
    return nullptr;
  }
  return buffer.Data();
}

// StoredLengthOf, then ReadItem when that is above 0, with the record's head
// read once: nothing changes the file between the two, so the second read
// would give the same bytes and the same checks.
const char* TFMindex::ReadItemIfStored(const std::string& name, TDataBuf* buffer) {
  const int32_t p = PositionOf(name);
  if (p == NoPosition) return nullptr;
  TRecordHead head;
  if (!ReadRecordHead(manager_, p, head, true)) {
    manager_.SetError(ReadError);
    return nullptr;
  }
  if (head.StoredLength <= 0 || !buffer) return nullptr;
  return ReadItemData(head, *buffer);
}

int32_t TFMindex::StoredLengthOf(const std::string& name) {
  const int32_t p = PositionOf(name);
  if (p == NoPosition) return 0;
  TRecordHead head;
  if (ReadRecordHead(manager_, p, head)) return head.StoredLength;
  manager_.SetError(ReadError);
  return 0;
}

int TFMindex::KindOf(const std::string& name) {
  const int32_t p = PositionOf(name);
  if (p == NoPosition) return -1;
  TRecordHead head;
  if (ReadRecordHead(manager_, p, head)) return static_cast<int8_t>(head.Kind);
  manager_.SetError(ReadError);
  return -1;
}

std::string TFMindex::DumpText() const {
  std::string text;
  for (int i = 0; i < Count(); ++i) text += Get(i) + "     " + util::IntToStr(Value(i)) + "\n";
  return text;
}

void TFMindex::Dump() const { util::ShowMessage(DumpText(), app::ProductName); }

}  // namespace store
