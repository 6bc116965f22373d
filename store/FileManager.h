// TFileManager: the open store file. It keeps the 46-byte header, hands out
// and takes back blocks, keeps the free list at the data end, and checks every
// seek, read and write, leaving the outcome in ErrorCode.
#pragma once
#include <cstdint>
#include <string>

#include "store/Format.h"
#include "store/FreeList.h"
#include "store/JournaledFile.h"
#include "util/FileStream.h"

namespace store {

// ErrorCode values.
inline constexpr int32_t NoError = 0;
inline constexpr int32_t WriteError = 1;
inline constexpr int32_t ReadError = 2;
inline constexpr int32_t SeekError = 3;

// Step numbers: the store operation that last began (there is no step 8).
enum StoreStep : int32_t {
  StepOpening = 0, StepReadFreeList = 1, StepWriteFreeList = 2, StepAllocate = 3,
  StepTakeFree = 4, StepAppend = 5, StepRelease = 6, StepReturnSpace = 7,
  StepWriteMagic = 9, StepWriteHeader = 10, StepReadHeader = 11,
};

// "No error!", "Fatal write error!", ... for a code.
std::string ErrorCodeText(int32_t code);

class TFileManager {
 public:
  // Opens the file exclusively (creating it when missing), plays back a hot
  // journal an earlier cut left next to it, and loads or initialises header
  // and free list. Raises util::EFOpenError or util::EFCreateError when the
  // file cannot be opened or created, or its hot journal not played back.
  explicit TFileManager(const std::string& path);
  // With mustExist, only an existing file is opened: a missing one raises
  // util::EFOpenError like one that cannot be opened, and nothing is created.
  TFileManager(const std::string& path, bool mustExist);
  // Commits what is still held (see Commit) and closes the file.
  ~TFileManager() { stream_.Commit(); }
  TFileManager(const TFileManager&) = delete;
  TFileManager& operator=(const TFileManager&) = delete;

  // A block of size + 4 bytes; returns its payload position, or -1.
  int32_t Allocate(int32_t size);
  // Takes back the block at a payload position (-1 and the root cell: no-op).
  void Release(int32_t position);

  // Checked file access; each sets ErrorCode (0, or 3 / 1 / 2) and returns
  // whether it succeeded.
  bool SeekTo(int64_t position);
  bool WriteBytes(const void* buffer, int32_t count);
  bool ReadBytes(void* buffer, int32_t count);
  // ReadBytes of need bytes that also takes up to count - need bytes behind
  // them when the file has them, saving a later read of those. Returns the
  // bytes read; fewer than need is the read error (-1). The file position
  // ends behind the bytes read.
  int32_t ReadAhead(void* buffer, int32_t need, int32_t count);

  // Writes reach the file only here, all of them or none, through the
  // rollback journal (store/Journal.h); until then reads see them. A store
  // call commits once, at its end. A failure is the write error, and the
  // file is then as it was before the first write.
  bool Commit();

  // The root cell's block (its length, then the top index's position) as
  // opening read it with the header: the root cell is the first block, so
  // one read takes both. False when it is elsewhere, or after any write.
  bool RootBlockFromOpening(char raw[RootCellBlockSize]) const;

  int32_t GetRootCell() const { return rootCell_; }
  int32_t DataEnd() const { return dataEnd_; }
  int32_t ErrorCode() const { return errorCode_; }
  int32_t Step() const { return step_; }
  // "Block: " + Step + ", " + the code's text.
  std::string ErrorText() const;
  // The diagnostic text last formed (at the end of opening, Allocate or
  // Release, only after a failure); the store does nothing more with it.
  const std::string& Diagnostic() const { return diagnostic_; }
  const TFreeList& FreeList() const { return freeList_; }
  // The file's length, writes of this call included.
  int64_t FileSize() { return stream_.Size(); }

  // Opening found a header or free list it cannot trust (positions outside
  // the file, a count that does not fit, overlapping extents). Operations
  // then do nothing and report the read error.
  bool Damaged() const { return damaged_; }
  // Records a fault found by a caller in a record (read error): the store
  // call reports it even if later operations succeed.
  void SetError(int32_t code);
  // The result of a store call: ErrorCode, or the first failure of the call
  // when later successful operations cleared ErrorCode.
  int32_t Result() const { return errorCode_ != NoError ? errorCode_ : firstError_; }

  // True when [start, start + length) lies inside the blocks area
  // [46, DataEnd).
  bool InBlocks(int64_t start, int64_t length) const;
  // True when [start, start + length) shares a byte with a free extent. The
  // list is sound by construction (checked on loading, kept so by Take and
  // Release), so this is a binary search.
  bool OverlapsFree(int64_t start, int64_t length) const {
    return freeList_.OverlapsSorted(start, length);
  }

 private:
  void Fail(int32_t code);
  void WriteMagic();
  void WriteHeader();
  void ReadHeader(const char* raw, int32_t got);
  void WriteFreeList();
  void ReadFreeList();
  bool ReleasableExtent(int64_t start, int32_t length) const;
  void FormDiagnostic();

  TJournaledFile stream_;
  TFreeList freeList_;
  int32_t rootCell_ = -1;
  int32_t dataEnd_ = HeaderSize;
  int32_t errorCode_ = NoError;
  int32_t step_ = 0;
  int32_t firstError_ = NoError;
  bool damaged_ = false;
  bool rootBlockRead_ = false;
  char rootBlock_[RootCellBlockSize] = {};
  std::string diagnostic_;
};

}  // namespace store
