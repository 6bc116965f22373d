// POSIX side of the file seam: open() plus an exclusive flock(); reads and
// writes at a position kept in memory.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "util/Errors.h"
#include "util/FileStream.h"

namespace util {

TFileStream::TFileStream(const std::string& path, Mode mode) : fd_(-1) {
  const bool create = mode != OpenExisting;
  // OpenAlways: a new file is made exclusively, so that this knows whether
  // its name is new to the folder; an existing one is then opened as it is.
  int fd = ::open(path.c_str(), mode == Create       ? O_RDWR | O_CREAT | O_TRUNC
                                : mode == OpenAlways ? O_RDWR | O_CREAT | O_EXCL
                                                     : O_RDWR,
                  0644);
  const bool made = fd >= 0 && create;
  if (fd < 0 && mode == OpenAlways && errno == EEXIST) fd = ::open(path.c_str(), O_RDWR);
  auto fail = [&](int err) {
    std::string msg = (create ? "Cannot create file \"" : "Cannot open file \"") + path +
                      "\". " + std::strerror(err);
    if (create) throw EFCreateError(msg);
    throw EFOpenError(msg);
  };
  if (fd < 0) fail(errno);
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    int err = errno;
    ::close(fd);
    fail(err);
  }
  fd_ = fd;
  if (made) {
    const size_t slash = path.find_last_of('/');
    folderToSync_ = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  }
}

TFileStream::~TFileStream() {
  if (fd_ >= 0) ::close(fd_);  // closing drops the lock
}

// The position lives here rather than in the kernel: a seek is only
// recorded, and reads and writes go to it with pread/pwrite, so moving about
// the file costs no system call. The result is the position now in force,
// which callers compare with the one they asked for.
int64_t TFileStream::Seek(int64_t pos) {
  if (pos < 0 || static_cast<int64_t>(static_cast<off_t>(pos)) != pos) return -1;
  pos_ = pos;
  return pos_;
}

int32_t TFileStream::Read(void* buf, int32_t n) {
  int32_t done = 0;
  while (done < n) {
    ssize_t r = ::pread(fd_, static_cast<char*>(buf) + done, n - done,
                        static_cast<off_t>(pos_ + done));
    if (r <= 0) break;
    done += static_cast<int32_t>(r);
  }
  pos_ += done;
  return done;
}

int32_t TFileStream::Write(const void* buf, int32_t n) {
  // Under a fault plan only the admitted bytes go out; the rest count as
  // written (they were lost on their way to the disk).
  int32_t admit = n;
  if (TFileFaults* plan = FileFaults()) admit = std::clamp(plan->Admit(n), 0, std::max(n, 0));
  int32_t done = 0;
  while (done < admit) {
    ssize_t r = ::pwrite(fd_, static_cast<const char*>(buf) + done, admit - done,
                         static_cast<off_t>(pos_ + done));
    if (r <= 0) break;
    done += static_cast<int32_t>(r);
  }
  if (done == admit && admit < n) done = n;
  pos_ += done;
  return done;
}

bool TFileStream::SetSize(int64_t size) {
  if (TFileFaults* plan = FileFaults(); plan && !plan->Alive()) return true;
  return size >= 0 && ::ftruncate(fd_, static_cast<off_t>(size)) == 0;
}

bool TFileStream::Flush() {
  if (TFileFaults* plan = FileFaults(); plan && !plan->Alive()) return true;
  // fdatasync writes the data and whatever of the file's own metadata is
  // needed to read it back (its length), not its times.
  if (::fdatasync(fd_) != 0) return false;
  if (folderToSync_.empty()) return true;
  // A new file's name lives in its folder: that too must reach the disk once.
  const int dir = ::open(folderToSync_.c_str(), O_RDONLY | O_DIRECTORY);
  if (dir < 0) return false;
  const bool synced = ::fsync(dir) == 0;
  ::close(dir);
  if (synced) folderToSync_.clear();
  return synced;
}

int64_t TFileStream::Size() {
  struct stat st;
  return ::fstat(fd_, &st) == 0 ? static_cast<int64_t>(st.st_size) : -1;
}

bool RemoveFile(const std::string& path) {
  if (TFileFaults* plan = FileFaults(); plan && !plan->Alive()) return true;
  return ::unlink(path.c_str()) == 0;
}

bool FileExists(const std::string& path) {
  struct stat st;
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

int64_t FileSize(const std::string& path) {
  struct stat st;
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode)
             ? static_cast<int64_t>(st.st_size)
             : -1;
}

bool DirectoryExists(const std::string& path) {
  struct stat st;
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool ReadWholeFile(const std::string& path, std::string& out) {
  std::ifstream f(path, std::ios::binary);
  if (!f) return false;
  std::ostringstream ss;
  ss << f.rdbuf();
  out = ss.str();
  return true;
}

bool WriteWholeFile(const std::string& path, const std::string& data) {
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  if (!f) return false;
  f.write(data.data(), static_cast<std::streamsize>(data.size()));
  return static_cast<bool>(f);
}

}  // namespace util
