// The file seam of the portable core: a file opened exclusively for reading
// and writing. Win32: CreateFileA with share mode 0; POSIX: open() plus an
// exclusive non-blocking flock(). A second opener, in this or another process,
// fails while the file is open.
#pragma once
#include <cstdint>
#include <string>

namespace util {

class TFileStream {
 public:
  enum Mode {
    OpenExisting,  // the file must exist; failure raises EFOpenError
    Create,        // creates or truncates; failure raises EFCreateError
  };
  // Opens exclusively for reading and writing, or raises.
  TFileStream(const std::string& path, Mode mode);
  ~TFileStream();
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;

  // Moves to an absolute position; returns the resulting position, or -1.
  // On POSIX this only records the position (no system call).
  int64_t Seek(int64_t pos);
  // Reads/writes at the current position; return the bytes transferred
  // (fewer than n at the end of the file or on an error).
  int32_t Read(void* buf, int32_t n);
  int32_t Write(const void* buf, int32_t n);
  int64_t Size();

 private:
#ifdef _WIN32
  void* handle_;
#else
  int fd_;
  int64_t pos_ = 0;  // where the next read or write goes (pread/pwrite)
#endif
};

// True for an existing file that is not a directory.
bool FileExists(const std::string& path);
// True when the path names an existing directory.
bool DirectoryExists(const std::string& path);

// A read-only open that does not lock, for tools that look at a file which
// another program may hold (it fails there on Win32 anyway). Reads the whole
// file; false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& out);
bool WriteWholeFile(const std::string& path, const std::string& data);

}  // namespace util
