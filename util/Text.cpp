// Text helpers and the string list (portable).
#include "util/Text.h"

#include "util/Errors.h"

namespace util {

bool SameText(const std::string& a, const std::string& b) {
  return a.size() == b.size() && LowerCase(a) == LowerCase(b);
}

static bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

std::string TrimLeft(const std::string& s) {
  size_t b = 0;
  while (b < s.size() && IsBlank(s[b])) ++b;
  return s.substr(b);
}

std::string TrimRight(const std::string& s) {
  size_t e = s.size();
  while (e > 0 && IsBlank(s[e - 1])) --e;
  return s.substr(0, e);
}

std::string Trim(const std::string& s) { return TrimRight(TrimLeft(s)); }

int Pos(const std::string& sub, const std::string& s) {
  if (sub.empty()) return 0;
  size_t p = s.find(sub);
  return p == std::string::npos ? 0 : static_cast<int>(p) + 1;
}

std::string IntToStr(long long v) {
  // By hand: the printf family would link a formatter of some 20 KiB.
  char buf[24];
  char* p = buf + sizeof buf;
  unsigned long long u = v < 0 ? 0ull - static_cast<unsigned long long>(v) : v;
  do {
    *--p = static_cast<char>('0' + u % 10);
    u /= 10;
  } while (u);
  if (v < 0) *--p = '-';
  return std::string(p, buf + sizeof buf - p);
}

static size_t LastSeparator(const std::string& path) {
  return path.find_last_of("\\:");
}

std::string ExtractFilePath(const std::string& path) {
  size_t p = LastSeparator(path);
  return p == std::string::npos ? std::string() : path.substr(0, p + 1);
}

std::string ExtractFileName(const std::string& path) {
  size_t p = LastSeparator(path);
  return p == std::string::npos ? path : path.substr(p + 1);
}

std::string ChangeFileExt(const std::string& path, const std::string& ext) {
  size_t sep = LastSeparator(path);
  size_t dot = path.find_last_of('.');
  if (dot != std::string::npos && (sep == std::string::npos || dot > sep))
    return path.substr(0, dot) + ext;
  return path + ext;
}

void TStringList::OutOfBounds(int i) {
  throw EGeneralError("List index out of bounds (" + IntToStr(i) + ")");
}

int TStringList::Add(std::string s, int32_t value) {
  lines_.push_back(std::move(s));
  values_.push_back(value);
  return Count() - 1;
}

void TStringList::Insert(int i, std::string s, int32_t value) {
  if (i < 0 || i > Count()) OutOfBounds(i);
  lines_.insert(lines_.begin() + i, std::move(s));
  values_.insert(values_.begin() + i, value);
}

void TStringList::Delete(int i) {
  Check(i);
  lines_.erase(lines_.begin() + i);
  values_.erase(values_.begin() + i);
}

void TStringList::Clear() {
  lines_.clear();
  values_.clear();
}

int TStringList::IndexOf(const std::string& s) const {
  const std::string key = LowerCase(s);
  for (int i = 0; i < Count(); ++i)
    if (lines_[i].size() == key.size() && LowerCase(lines_[i]) == key) return i;
  return -1;
}

std::string TStringList::Text() const {
  size_t n = 0;
  for (const auto& l : lines_) n += l.size() + 2;
  std::string out;
  out.reserve(n);
  for (const auto& l : lines_) {
    out += l;
    out += "\r\n";
  }
  return out;
}

void TStringList::SetText(const std::string& text) {
  Clear();
  size_t start = 0, i = 0;
  const size_t n = text.size();
  while (i < n) {
    char c = text[i];
    if (c == '\r' || c == '\n') {
      Add(text.substr(start, i - start));
      i += (c == '\r' && i + 1 < n && text[i + 1] == '\n') ? 2 : 1;
      start = i;
    } else {
      ++i;
    }
  }
  if (start < n) Add(text.substr(start));
}

}  // namespace util
