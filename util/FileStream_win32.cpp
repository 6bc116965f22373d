// Win32 side of the file seam: CreateFileA with share mode 0.
#include "util/Errors.h"
#include "util/FileStream.h"
#include "util/Handle.h"
#include "util/System.h"
#include "util/Win.h"

namespace util {

TFileStream::TFileStream(const std::string& path, Mode mode) : handle_(INVALID_HANDLE_VALUE) {
  const bool create = mode != OpenExisting;
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                         mode == Create       ? CREATE_ALWAYS
                         : mode == OpenAlways ? OPEN_ALWAYS
                                              : OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    const std::string msg = SystemErrorMessage(
        (create ? "Cannot create file \"" : "Cannot open file \"") + path + "\". ", GetLastError());
    if (create) throw EFCreateError(msg);
    throw EFOpenError(msg);
  }
  handle_ = h;
}

TFileStream::~TFileStream() {
  if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(static_cast<HANDLE>(handle_));
}

int64_t TFileStream::Seek(int64_t pos) {
  if (pos < 0) return -1;
  LARGE_INTEGER to, now;
  to.QuadPart = pos;
  if (!SetFilePointerEx(static_cast<HANDLE>(handle_), to, &now, FILE_BEGIN)) return -1;
  return now.QuadPart;
}

int32_t TFileStream::Read(void* buf, int32_t n) {
  DWORD got = 0;
  if (n <= 0) return 0;
  if (!ReadFile(static_cast<HANDLE>(handle_), buf, static_cast<DWORD>(n), &got, nullptr)) return 0;
  return static_cast<int32_t>(got);
}

int32_t TFileStream::Write(const void* buf, int32_t n) {
  DWORD put = 0;
  if (n <= 0) return 0;
  // Under a fault plan only the admitted bytes go out; the rest count as
  // written (they were lost on their way to the disk).
  int32_t admit = n;
  if (TFileFaults* plan = FileFaults()) {
    admit = plan->Admit(n);
    if (admit < 0) admit = 0;
    if (admit > n) admit = n;
  }
  if (admit > 0 &&
      !WriteFile(static_cast<HANDLE>(handle_), buf, static_cast<DWORD>(admit), &put, nullptr))
    return 0;
  if (static_cast<int32_t>(put) < admit) return static_cast<int32_t>(put);
  if (admit < n) {
    LARGE_INTEGER skip;
    skip.QuadPart = n - admit;
    SetFilePointerEx(static_cast<HANDLE>(handle_), skip, nullptr, FILE_CURRENT);
  }
  return n;
}

bool TFileStream::SetSize(int64_t size) {
  if (TFileFaults* plan = FileFaults(); plan && !plan->Alive()) return true;
  // The file position ends at the new end; callers seek before they read
  // or write.
  LARGE_INTEGER to;
  to.QuadPart = size;
  HANDLE h = static_cast<HANDLE>(handle_);
  return size >= 0 && SetFilePointerEx(h, to, nullptr, FILE_BEGIN) && SetEndOfFile(h);
}

// NTFS keeps a new file's entry in its own log: flushing the file is enough.
bool TFileStream::Flush() {
  if (TFileFaults* plan = FileFaults(); plan && !plan->Alive()) return true;
  return FlushFileBuffers(static_cast<HANDLE>(handle_)) != 0;
}

int64_t TFileStream::Size() {
  LARGE_INTEGER s;
  return GetFileSizeEx(static_cast<HANDLE>(handle_), &s) ? s.QuadPart : -1;
}

bool RemoveFile(const std::string& path) {
  if (TFileFaults* plan = FileFaults(); plan && !plan->Alive()) return true;
  return DeleteFileA(path.c_str()) != 0;
}

bool FileExists(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  return !path.empty() && a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

int64_t FileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (path.empty() || !GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    return -1;
  return (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool DirectoryExists(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  return !path.empty() && a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool ReadWholeFile(const std::string& path, std::string& out) {
  const FileHandle h(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!h) return false;
  out.clear();
  char buf[65536];
  DWORD got = 0;
  bool ok = true;
  while ((ok = ReadFile(h.Get(), buf, sizeof buf, &got, nullptr)) && got > 0) out.append(buf, got);
  return ok;
}

bool WriteWholeFile(const std::string& path, const std::string& data) {
  const FileHandle h(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!h) return false;
  DWORD put = 0;
  return data.empty() ||
         (WriteFile(h.Get(), data.data(), static_cast<DWORD>(data.size()), &put, nullptr) &&
          put == data.size());
}

}  // namespace util
