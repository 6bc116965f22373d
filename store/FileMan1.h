// The message store: one file holding a tree of named, zlib-compressed
// records. This header documents the file format and declares the key-path
// operations the rest of the program uses.
//
// Concept. The file is a 46-byte header followed by variable-size blocks.
// Each block holds one record: an index (a folder: names and the positions of
// their records) or an item (data). The root cell, the first block, holds the
// position of the top index. Free space between blocks is listed in the free
// list, stored right behind the last block (at the data end). Every change
// writes new records and releases the old ones; the top index and every index
// above a change are rewritten, and the root cell last.
//
// Format details. Integers are signed 32-bit little-endian throughout.
//
// File:
//   OFFSET    WIDTH     FIELD
//   0         38        magic "lndb1" + 32 "x" + LF; written once, never read
//   38        4         root cell: payload position of the root cell, or -1
//   42        4         data end: first byte past the last block in use
//   46        ...       blocks, back to back, in use or free
//   data end  4 + 8 n   the free list
//
// Block (positions elsewhere are payload positions = block start + 4):
//   0         4         L: length of the whole block, these 4 bytes included
//   4         L - 4     payload; exactly the size asked for, no rounding
//
// Free list (n extents; an extent is a whole former block, prefix included):
//   0         4         n
//   4         4 n       extent starts, ascending
//   4 + 4 n   4 n       extent sizes, same order
//
// Root cell: a block with L = 8 whose payload is the top index's position.
//
// Record (a block's payload, 12 + S + 4 n bytes):
//   0         1         kind: 1 index, 2 item
//   1         1         attribute, 0
//   2         1         reserved, 0
//   3         1         encoding: 0 plain, 1 zlib stream (RFC 1950)
//   4         4         S: stored data length
//   8         4         O: data length before compression
//   12        S         data
//   12 + S    4 n       positions
// Index: data = each name + CR LF, then one NUL (S and O count it); the n
// positions are the entries' records (-1 for none), in name order.
// Item: data = the caller's bytes (lines each + CR LF, no NUL); the positions
// are a copy of the owning index's at the time of writing (never read).
//
// Worked example. WriteStoreLines of the one line "a" under "default" 0xFF
// "message" into a missing file gives this 165-byte file:
//   0    magic
//   38   root cell = 50, data end = 161
//   46   L=8    root cell; payload at 50 holds 127 (the top index)
//   54   L=31   item "message" at 58: 02 00 00 01, S=11, O=3 ("a" CR LF),
//               11 bytes of zlib stream, 1 position: -1 (it was new)
//   85   L=38   index "default" at 89: 01 00 00 01, S=18, O=10
//               ("message" CR LF NUL), 1 position: 58
//   123  L=38   top index at 127: 01 00 00 01, S=18, O=10
//               ("default" CR LF NUL), 1 position: 89
//   161  free list: n = 0
// Each block is 4 + 12 + S + 4 n bytes. Rewriting the item releases its
// block first, so a new item block of up to 31 bytes lands at 54 again.
//
// Rollback journal. An operation overwrites blocks in place (a rewritten
// index often lands where the one it replaces stood), so a cut in the middle
// of one could leave neither. Every store call therefore holds its writes in
// memory and commits them at its end (store/Journal.h):
//   1. the original bytes of every stretch of the file about to be
//      overwritten, and the file's length, are written to the journal
//      (path = the store's path + ".jnl": "LN.dbc.jnl"), which is flushed;
//   2. the new bytes are written to the store, which is flushed;
//   3. the journal is emptied (cut to length 0, not flushed).
// The empty journal file stays beside the store between operations: the
// next operation writes into it, and as its name is already on the disk,
// only the journal's bytes need flushing before the store may be touched
// (a journal made new needs its folder flushed too, which costs as much
// again). An empty journal holds nothing to play back.
// A store that is opened with a journal holding bytes next to it was cut in
// step 2 or 3 (a "hot" journal): before anything is read, the journal's
// ranges are written back, the file is cut to the original length, flushed,
// and the journal emptied. Should a cut lose the emptying of step 3, the
// journal puts the store back as it was before the operation, which is
// whole too. A journal cut in step 1 is torn: its check value does not
// match, the store was not touched yet, and it is only emptied. Playing a
// journal back twice does no harm, so a cut during playback is repaired by
// the next opening. Bytes beyond the original length need no saving: cutting
// the file back to that length removes them. A completed call leaves the
// same store bytes as one without a journal.
//
// Journal (same integer coding; written in one piece):
//   0         8         magic "lnjrnl1" + LF
//   8         4         L: the store file's length before the operation
//   12        4         n: number of ranges
//   16        ...       n ranges: offset (4), length k > 0 (4), k original
//                       bytes; each lies inside [0, L); ranges may overlap
//                       (each holds the bytes from before the operation)
//   J - 4     4         CRC-32 (zlib's) of bytes 0 to J - 5, J being the
//                       journal's length: the mark of a whole journal
// A journal whose magic, check value or range lengths do not add up to J is
// torn. An operation never shortens the store, so a whole journal whose L is
// beyond the store's length belongs to a store that was since replaced: it is
// emptied without playback, like a torn one.
#pragma once
#include <cstdint>
#include <string>

#include "store/DataBuf.h"
#include "store/FileManager.h"
#include "store/Format.h"
#include "store/FreeList.h"
#include "store/Index.h"
#include "util/Text.h"

namespace store {

// Element n (from 0) of text split at separator, counting only non-empty
// elements; defaultValue when there is no such element.
std::string GetToken(int n, const std::string& text, const std::string& separator,
                     const std::string& defaultValue);

// Each operation opens the store file exclusively (a file held by another
// opener raises util::EFOpenError, a file that cannot be made
// util::EFCreateError), walks the key path, works and closes the file again.
// Results are the file manager's ErrorCode: 0 none, 1 write, 2 read, 3 seek.
// A store that is not sound on the walk's way (header, free list, an index)
// is left untouched and gives 2. Names holding CR, LF or NUL are never
// written: such a write does nothing and gives 1.

// Stores the buffer under the key path (creating folders and the file), or
// deletes the item without one.
int WriteStoreItem(const std::string& keyPath, TDataBuf* buffer, const std::string& storePath);
// Reads the item into buffer; 0 with nothing read when the file is missing.
int ReadStoreItem(const std::string& keyPath, TDataBuf* buffer, const std::string& storePath);
// Renames the last element of the key path (folder or item) to newName; an
// empty name or one with the separator byte is refused (1).
int RenameStoreItem(const std::string& keyPath, const std::string& newName,
                    const std::string& storePath);
// The same after trimming blanks and control characters off both ends of
// keyPath, which the caller gets back trimmed.
int RenameStoreItemTrimmed(std::string& keyPath, const std::string& newName,
                           const std::string& storePath);

// The item's lines (split at CR LF, CR or LF); a missing item gives none.
int ReadStoreLines(util::TStringList& list, const std::string& keyPath,
                   const std::string& storePath);
// Stores the lines, each followed by CR LF; nullptr deletes the item.
int WriteStoreLines(const std::string& keyPath, const util::TStringList* list,
                    const std::string& storePath);
// True when the item has data; buffer (if given) receives it.
bool ReadStoreBuffer(const std::string& keyPath, TDataBuf* buffer, const std::string& storePath);
// True when the item has at least one line; strings (if given) receives them.
bool ReadStoreStrings(const std::string& keyPath, util::TStringList* strings,
                      const std::string& storePath);

// A "name=value" line of the "Initialization" item of app::ExeStorePath():
// the value (name matched ignoring case), or defaultValue when it is absent
// or empty.
std::string GetInitValue(const std::string& name, const std::string& defaultValue);
// Sets (or, with an empty value, removes) the line; the store's ErrorCode.
int SetInitValue(const std::string& name, const std::string& value);

// Copies source's bytes to destination (created or replaced) when source
// exists.
void CopyFileContents(const std::string& destination, const std::string& source);

}  // namespace store
