// The file seam of the portable core: a file opened exclusively for reading
// and writing. Win32: CreateFileA with share mode 0; POSIX: open() plus an
// exclusive non-blocking flock(). A second opener, in this or another process,
// fails while the file is open.
#pragma once
#include <cstdint>
#include <string>

namespace util {

// A byte stream with a position: what the store's free list reads and
// writes through, whether that is the file itself or a layer above it.
class TStream {
 public:
  virtual ~TStream() = default;
  // Moves to an absolute position; returns the resulting position, or -1.
  virtual int64_t Seek(int64_t pos) = 0;
  // Reads/writes at the current position; return the bytes transferred
  // (fewer than n at the end of the file or on an error).
  virtual int32_t Read(void* buf, int32_t n) = 0;
  virtual int32_t Write(const void* buf, int32_t n) = 0;
  virtual int64_t Size() = 0;
};

class TFileStream : public TStream {
 public:
  enum Mode {
    OpenExisting,  // the file must exist; failure raises EFOpenError
    Create,        // creates or truncates; failure raises EFCreateError
    // Opens the file as it is, or creates it when it is missing; failure
    // raises EFCreateError. Only a file this made has its folder synced.
    OpenAlways,
  };
  // Opens exclusively for reading and writing, or raises.
  TFileStream(const std::string& path, Mode mode);
  ~TFileStream() override;
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;

  // On POSIX Seek only records the position (no system call).
  int64_t Seek(int64_t pos) override;
  int32_t Read(void* buf, int32_t n) override;
  int32_t Write(const void* buf, int32_t n) override;
  int64_t Size() override;
  // Cuts or extends the file to size bytes; false on failure. The position
  // afterwards is not defined: seek before the next read or write.
  bool SetSize(int64_t size);
  // Returns once everything written has reached the disk (FlushFileBuffers;
  // fdatasync, and for a file this stream created also its folder's entry,
  // so that the new file itself survives a power cut). False on failure.
  bool Flush();

 private:
#ifdef _WIN32
  void* handle_;
#else
  int fd_;
  int64_t pos_ = 0;  // where the next read or write goes (pread/pwrite)
  std::string folderToSync_;  // set while a created file's entry is not yet on disk
#endif
};

// Deletes a file; false when it could not be deleted (or did not exist).
bool RemoveFile(const std::string& path);

// True for an existing file that is not a directory.
bool FileExists(const std::string& path);
// The length of an existing file that is not a directory, or -1.
int64_t FileSize(const std::string& path);
// True when the path names an existing directory.
bool DirectoryExists(const std::string& path);

// A read-only open that does not lock, for tools that look at a file which
// another program may hold (it fails there on Win32 anyway). Reads the whole
// file; false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& out);
bool WriteWholeFile(const std::string& path, const std::string& data);

// Test seam: a power cut simulated at a chosen write. While a plan is set,
// every write of a TFileStream asks it how many of its bytes reach the file,
// and every flush, size change and RemoveFile asks whether it happens at all.
// The writer is told that everything it asked for was done, as a program is
// when the machine loses power with the bytes still on their way. The
// product never sets a plan; TFileStream's creation is not covered (it
// happens before anything that needs a journal).
class TFileFaults {
 public:
  virtual ~TFileFaults() = default;
  // The number of the n bytes of the next write that reach the file.
  virtual int32_t Admit(int32_t n) = 0;
  // Whether a flush, size change or deletion still reaches the disk.
  virtual bool Alive() = 0;
};
// Sets the plan (nullptr: none); returns the one it replaces.
TFileFaults* SetFileFaults(TFileFaults* faults);
// The plan in force, or nullptr.
TFileFaults* FileFaults();

}  // namespace util
