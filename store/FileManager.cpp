// The store file: opening, checked I/O, block allocation and release.
#include "store/FileManager.h"

#include <cstring>

#include "util/Text.h"

namespace store {

std::string ErrorCodeText(int32_t code) {
  switch (code) {
    case NoError: return "No error!";
    case WriteError: return "Fatal write error!";
    case ReadError: return "Fatal read error!";
    case SeekError: return "Fatal seek error!";
  }
  return "Unknown FATAL error!";
}

TFileManager::TFileManager(const std::string& path) : TFileManager(path, false) {}

TFileManager::TFileManager(const std::string& path, bool mustExist)
    : stream_(path, mustExist || util::FileExists(path) ? util::TFileStream::OpenExisting
                                                        : util::TFileStream::Create) {
  step_ = StepOpening;
  // The header's two fields and the first block behind them come in one
  // read. The file's length is not asked for on the way: only a file that
  // ends before its header does may be the empty one, which is initialised.
  char raw[HeaderFieldsSize + RootCellBlockSize];
  const int32_t got =
      stream_.Seek(RootCellOffset) == RootCellOffset ? stream_.Read(raw, sizeof raw) : -1;
  if (got <= 0 && stream_.Size() == 0) {
    WriteMagic();
    if (errorCode_ == NoError) WriteHeader();
    if (errorCode_ == NoError) WriteFreeList();
  } else {
    ReadHeader(raw, got);
    if (errorCode_ == NoError) ReadFreeList();
    damaged_ = errorCode_ != NoError;
  }
  if (errorCode_ != NoError) FormDiagnostic();
}

bool TFileManager::Commit() {
  if (stream_.Commit()) return true;
  Fail(WriteError);
  FormDiagnostic();
  return false;
}

void TFileManager::Fail(int32_t code) {
  errorCode_ = code;
  if (firstError_ == NoError) firstError_ = code;
}

void TFileManager::SetError(int32_t code) { Fail(code); }

bool TFileManager::SeekTo(int64_t position) {
  errorCode_ = NoError;
  const int64_t at = stream_.Seek(position);
  if (at < 0 || at != position) {
    Fail(SeekError);
    return false;
  }
  return true;
}

bool TFileManager::WriteBytes(const void* buffer, int32_t count) {
  errorCode_ = NoError;
  rootBlockRead_ = false;
  const int32_t put = count > 0 ? stream_.Write(buffer, count) : 0;
  if (count < 0 || put < count) {
    Fail(WriteError);
    return false;
  }
  return true;
}

bool TFileManager::ReadBytes(void* buffer, int32_t count) {
  errorCode_ = NoError;
  const int32_t got = count > 0 ? stream_.Read(buffer, count) : 0;
  if (count < 0 || got < count) {
    Fail(ReadError);
    return false;
  }
  return true;
}

int32_t TFileManager::ReadAhead(void* buffer, int32_t need, int32_t count) {
  errorCode_ = NoError;
  const int32_t got = count > 0 ? stream_.Read(buffer, count) : 0;
  if (need < 0 || got < need) {
    Fail(ReadError);
    return -1;
  }
  return got;
}

std::string TFileManager::ErrorText() const {
  return "Block: " + util::IntToStr(step_) + ", " + ErrorCodeText(errorCode_);
}

void TFileManager::FormDiagnostic() { diagnostic_ = ErrorText(); }

bool TFileManager::InBlocks(int64_t start, int64_t length) const {
  return start >= HeaderSize && length >= 0 && start + length <= dataEnd_;
}

void TFileManager::WriteMagic() {
  step_ = StepWriteMagic;
  if (SeekTo(0)) WriteBytes(MagicText, MagicSize);
}

void TFileManager::WriteHeader() {
  step_ = StepWriteHeader;
  char raw[HeaderFieldsSize];
  PutInt32(raw, rootCell_);
  PutInt32(raw + (DataEndOffset - RootCellOffset), dataEnd_);
  if (SeekTo(RootCellOffset)) WriteBytes(raw, HeaderFieldsSize);
}

// The header is not compared with anything, but a data end outside the file
// or a root cell outside the blocks would send every later access astray, so
// those read as a read error. raw holds the got bytes read at the header's
// fields (-1: the seek there failed): the two fields and, when the file holds
// it, the first block (the root cell's, when the store is sound). That the
// data end lies inside the file is seen when the free list is read there.
void TFileManager::ReadHeader(const char* raw, int32_t got) {
  step_ = StepReadHeader;
  errorCode_ = NoError;
  if (got < 0) return Fail(SeekError);
  if (got < HeaderFieldsSize) return Fail(ReadError);
  rootCell_ = GetInt32(raw);
  dataEnd_ = GetInt32(raw + (DataEndOffset - RootCellOffset));
  if (got == HeaderFieldsSize + RootCellBlockSize) {
    std::memcpy(rootBlock_, raw + HeaderFieldsSize, RootCellBlockSize);
    rootBlockRead_ = true;
  }
  const bool endSound = dataEnd_ >= HeaderSize;
  const bool rootSound =
      rootCell_ == NoPosition ||
      (rootCell_ >= FirstPayload && InBlocks(rootCell_ - BlockPrefixSize, RootCellBlockSize));
  if (!endSound || !rootSound) Fail(ReadError);
}

bool TFileManager::RootBlockFromOpening(char raw[RootCellBlockSize]) const {
  if (!rootBlockRead_ || rootCell_ != FirstPayload) return false;
  std::memcpy(raw, rootBlock_, RootCellBlockSize);
  return true;
}

void TFileManager::WriteFreeList() {
  step_ = StepWriteFreeList;
  rootBlockRead_ = false;
  if (SeekTo(dataEnd_) && !freeList_.SaveToStream(stream_)) Fail(WriteError);
}

void TFileManager::ReadFreeList() {
  step_ = StepReadFreeList;
  if (!SeekTo(dataEnd_)) return;
  if (!freeList_.LoadFromStream(stream_, TFreeList::UnknownAvailable, dataEnd_) ||
      !freeList_.IsSound(HeaderSize, dataEnd_)) {
    freeList_.Clear();
    // A data end whose free list's count lies past the end of the file is
    // the header's fault, as the header's read would have found had it
    // asked for the file's length.
    if (dataEnd_ > stream_.Size() - FreeListCountSize) step_ = StepReadHeader;
    Fail(ReadError);
  }
}

int32_t TFileManager::Allocate(int32_t size) {
  step_ = StepAllocate;
  if (size <= 0) return -1;  // 0 asks for nothing; a negative size is refused too
  const int64_t total = static_cast<int64_t>(size) + BlockPrefixSize;
  // The file's positions are 32-bit: a block that would end past that range
  // cannot be written.
  if (total + dataEnd_ + freeList_.StoredSize() > INT32_MAX) {
    Fail(WriteError);
    return -1;
  }
  char raw[BlockPrefixSize];
  PutInt32(raw, static_cast<int32_t>(total));
  int32_t candidate;
  step_ = StepTakeFree;
  errorCode_ = NoError;
  const int32_t s = freeList_.Take(static_cast<int32_t>(total));
  if (s != -1) {
    candidate = s + BlockPrefixSize;
    if (SeekTo(s) && WriteBytes(raw, BlockPrefixSize)) WriteFreeList();
  } else {
    step_ = StepAppend;
    errorCode_ = NoError;
    candidate = dataEnd_ + BlockPrefixSize;
    if (SeekTo(dataEnd_) && WriteBytes(raw, BlockPrefixSize)) {
      dataEnd_ += static_cast<int32_t>(total);
      WriteHeader();
    }
  }
  if (errorCode_ != NoError) return -1;
  if (rootCell_ == NoPosition) {
    rootCell_ = candidate;
    WriteHeader();
  }
  if (errorCode_ == NoError) WriteFreeList();
  if (errorCode_ != NoError) FormDiagnostic();
  return candidate;
}

// A block may be given back only when it is one: a length of at least the
// prefix, inside the blocks, not the root cell's block and not already free.
// Anything else comes from a damaged record and is left alone.
bool TFileManager::ReleasableExtent(int64_t start, int32_t length) const {
  if (length < BlockPrefixSize || !InBlocks(start, length)) return false;
  if (rootCell_ != NoPosition && start < rootCell_ + RootCellPayloadSize &&
      rootCell_ - BlockPrefixSize < start + length)
    return false;
  return !OverlapsFree(start, length);
}

void TFileManager::Release(int32_t position) {
  step_ = StepRelease;
  errorCode_ = NoError;
  if (position == NoPosition || position == rootCell_) return;
  const int64_t s = static_cast<int64_t>(position) - BlockPrefixSize;
  if (!InBlocks(s, BlockPrefixSize)) return;  // not a block position at all
  char raw[BlockPrefixSize];
  if (SeekTo(s) && ReadBytes(raw, BlockPrefixSize)) {
    step_ = StepReturnSpace;
    errorCode_ = NoError;
    const int32_t length = GetInt32(raw);
    if (length != 0 && ReleasableExtent(s, length)) {
      if (s + length < dataEnd_) {
        freeList_.Release(static_cast<int32_t>(s), length);
      } else {
        dataEnd_ = static_cast<int32_t>(s);
        WriteHeader();
      }
    }
  }
  if (errorCode_ == NoError) WriteFreeList();
  if (errorCode_ != NoError) FormDiagnostic();
}

}  // namespace store
