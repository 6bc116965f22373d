// TFMindex: one index of the store's tree held in memory, a string list of
// entry names whose values are the entries' record positions. It loads itself
// from its record, saves itself as a new record after every change and links
// that record into its parent (or the root cell).
#pragma once
#include <cstdint>
#include <string>

#include "store/DataBuf.h"
#include "store/FileManager.h"
#include "util/Text.h"

namespace store {

// The fields of a record's first 16 bytes as read from the file: the block
// length in front of the payload, then the record header.
struct TRecordHead {
  int32_t BlockLength = 0;
  uint8_t Kind = 0, Attribute = 0, Reserved = 0, Encoding = 0;
  int32_t StoredLength = 0;        // S
  int32_t UncompressedLength = 0;  // O
  // Bytes that follow the header, read together with it when asked for
  // (ReadAheadSize in all, header included), so that a small record's body
  // costs no second read. TakeBody hands them out in file order.
  static constexpr int32_t ReadAheadSize = 2048;
  char Raw[ReadAheadSize];
  int32_t RawCount = 0;  // bytes in Raw
  int32_t RawTaken = 0;  // bytes of Raw handed out (the 16 header bytes first)
};

// Adds the lines of text (length bytes, up to its first NUL) to list, split
// at CR LF, CR or LF the way TStringList::SetText splits: a break at the very
// end adds no empty line and an empty text adds none. Works on the bytes in
// place, without a copy of the whole text. Values of the new lines are 0.
void AddTextLines(util::TStringList& list, const char* text, size_t length);

class TFMindex : public util::TStringList {
 public:
  // Loads the index that hangs under name in parent, or the top index when
  // there is no parent (creating the root cell when the store has none).
  TFMindex(TFileManager& manager, TFMindex* parent, const std::string& name);

  // The first entry equal to name ignoring case, or -1: the same answer as
  // TStringList::IndexOf, found without lower-cased copies of the entries
  // where the casing rules go byte by byte (see Index.cpp).
  int IndexOf(const std::string& name) const;
  int32_t PositionOf(const std::string& name) const;
  int32_t SetChildPosition(const std::string& name, int32_t position);
  int32_t SetChildPositionAndSave(const std::string& name, int32_t position);
  int32_t Save();
  int32_t SaveAndLink();
  // Stores (buffer) or deletes (no buffer) the item name; returns the new
  // record's position, or, when deleting, the entry's former position.
  int32_t WriteItem(const std::string& name, TDataBuf* buffer, bool link);
  // The item's data (inflated), or nullptr.
  const char* ReadItem(const std::string& name, TDataBuf* buffer);
  // What ReadItem gives when StoredLengthOf(name) is above 0, else nullptr
  // with the buffer untouched; the record's head is read only once.
  const char* ReadItemIfStored(const std::string& name, TDataBuf* buffer);
  int32_t StoredLengthOf(const std::string& name);
  int KindOf(const std::string& name);
  // Shows name and position of every entry in a message box.
  void Dump() const;
  // The text Dump shows.
  std::string DumpText() const;

  const std::string& Name() const { return name_; }
  int32_t Position() const { return position_; }
  TFMindex* Parent() const { return parent_; }
  TFileManager& Manager() const { return manager_; }
  // Loading met a record that is not sound (outside the blocks, larger than
  // its block, not inflating, a cycle): the index stays empty, the manager
  // reports a read error and the walk goes no further.
  bool Damaged() const { return damaged_; }

  // Reads and checks the head of the record at position: the block must lie
  // in the blocks area and hold the 12 header bytes and S data bytes.
  // With readAhead, the bytes behind the header are read in the same read
  // as far as the blocks area holds them (up to ReadAheadSize in all).
  static bool ReadRecordHead(TFileManager& manager, int32_t position, TRecordHead& head,
                             bool readAhead = false);
  // The next count bytes of the record after the ones already taken: from
  // the bytes read ahead, and the rest from the file, which stands right
  // behind them. False (read error) on a short read.
  static bool TakeBody(TFileManager& manager, TRecordHead& head, char* to, int32_t count);

 private:
  void LoadRootPosition();
  void LoadRecord();
  void MarkDamaged();
  void WriteRecord(int32_t at, const TDataBuf& buffer);
  const char* ReadItemData(TRecordHead& head, TDataBuf& buffer);
  int ReferencesOnWalk(int32_t position) const;
  bool OnWalk(int32_t position) const;
  void ReleaseIfUnshared(int32_t position, int expectedReferences);

  std::string name_;
  int32_t position_ = NoPosition;
  TFMindex* parent_;
  TFileManager& manager_;
  bool damaged_ = false;
};

}  // namespace store
