// The store file's fixed sizes and offsets, and little-endian 32-bit coding.
// Every integer in the file is a signed 32-bit little-endian value.
#pragma once
#include <cstdint>
#include <cstring>

namespace store {

// File header: 38 bytes of magic, then the root cell and the data end.
inline constexpr char MagicText[] = "lndb1xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx\n";
inline constexpr int32_t MagicSize = 38;
inline constexpr int32_t RootCellOffset = 38;  // header field: root cell position
inline constexpr int32_t DataEndOffset = 42;   // header field: data end
inline constexpr int32_t HeaderSize = 46;      // first block starts here
inline constexpr int32_t HeaderFieldsSize = HeaderSize - RootCellOffset;  // root cell, data end
static_assert(sizeof(MagicText) - 1 == MagicSize, "magic is 38 bytes");

// Blocks: a 4-byte length (the prefix itself included), then the payload.
// Positions handed around are payload positions (block start + 4).
inline constexpr int32_t BlockPrefixSize = 4;
inline constexpr int32_t FirstPayload = HeaderSize + BlockPrefixSize;  // 50
inline constexpr int32_t RootCellPayloadSize = 4;
inline constexpr int32_t RootCellBlockSize = BlockPrefixSize + RootCellPayloadSize;  // its L: 8

// Records: kind, attribute, reserved, encoding (1 byte each), S, O; then the
// S data bytes and n 4-byte positions. Offsets are from the payload start.
inline constexpr int32_t RecordKindOffset = 0;
inline constexpr int32_t RecordAttributeOffset = 1;
inline constexpr int32_t RecordReservedOffset = 2;
inline constexpr int32_t RecordEncodingOffset = 3;
inline constexpr int32_t RecordStoredLengthOffset = 4;    // S
inline constexpr int32_t RecordDataLengthOffset = 8;      // O
inline constexpr int32_t RecordHeaderSize = 12;           // the data starts here
inline constexpr int32_t PositionSize = 4;
inline constexpr int32_t NoPosition = -1;

inline constexpr uint8_t IndexRecord = 1;
inline constexpr uint8_t ItemRecord = 2;
inline constexpr uint8_t PlainEncoding = 0;
inline constexpr uint8_t ZlibEncoding = 1;

// The free list at the data end: a count n, n positions, n sizes.
inline constexpr int32_t FreeListCountSize = 4;
inline constexpr int64_t FreeListBytes(int64_t n) { return FreeListCountSize + 2 * PositionSize * n; }

// The rollback journal lies next to the store file under the store's own
// name plus app::JournalExt ("LN.dbc" -> "LN.dbc.jnl"); its layout is in
// FileMan1.h. It starts with this magic, then the store's original length
// and the range count; a CRC-32 of everything before it ends it.
inline constexpr char JournalMagic[] = "lnjrnl1\n";
inline constexpr int32_t JournalMagicSize = 8;
inline constexpr int32_t JournalLengthOffset = JournalMagicSize;  // original length
inline constexpr int32_t JournalCountOffset = JournalLengthOffset + 4;  // n
inline constexpr int32_t JournalHeaderSize = 16;   // magic, original length, n
inline constexpr int32_t JournalRangeLengthOffset = 4;  // from the range start; offset at 0
inline constexpr int32_t JournalRangeHeadSize = 8; // offset, length
inline constexpr int32_t JournalTrailerSize = 4;   // CRC-32
static_assert(sizeof(JournalMagic) - 1 == JournalMagicSize, "journal magic is 8 bytes");

// Key paths join folder and item names with app::KeySeparator, the single
// byte 0xFF (app/Version.h); no name in an index holds it.

// Upper bound for the inflated length of S stored bytes: deflate cannot
// expand beyond about 1032:1, so a larger claimed length is a damaged record.
inline constexpr int64_t MaxInflateRatio = 1032;
inline int64_t MaxInflatedLength(int64_t stored) { return stored * MaxInflateRatio + 64; }

inline void PutInt32(void* to, int32_t v) {
  const uint32_t u = static_cast<uint32_t>(v);
  unsigned char b[4] = {static_cast<unsigned char>(u), static_cast<unsigned char>(u >> 8),
                        static_cast<unsigned char>(u >> 16), static_cast<unsigned char>(u >> 24)};
  std::memcpy(to, b, 4);
}

inline int32_t GetInt32(const void* from) {
  unsigned char b[4];
  std::memcpy(b, from, 4);
  return static_cast<int32_t>(static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
                              (static_cast<uint32_t>(b[2]) << 16) |
                              (static_cast<uint32_t>(b[3]) << 24));
}

}  // namespace store
