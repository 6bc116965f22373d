// Texts are std::string holding ANSI bytes (NUL and 0xFF included). These are
// the text helpers every layer shares, and the string list.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace util {

// ANSI casing of the running system: CharUpperBuffA/CharLowerBuffA on Win32,
// the Windows-1252 mapping on the host.
std::string UpperCase(std::string s);
std::string LowerCase(std::string s);
bool SameText(const std::string& a, const std::string& b);  // ignoring case

// Removes every leading and trailing character of code 32 or below.
std::string Trim(const std::string& s);
std::string TrimLeft(const std::string& s);
std::string TrimRight(const std::string& s);

// 1-based position of the first occurrence of sub in s, 0 when absent.
int Pos(const std::string& sub, const std::string& s);
std::string IntToStr(long long v);

// File-name conventions: a path's folder part ends at the last "\" or ":".
std::string ExtractFilePath(const std::string& path);  // with the separator
std::string ExtractFileName(const std::string& path);
// Replaces the extension (from the last "." after the last "\" or ":") by ext
// (which carries its dot, or is empty); a name without one gets ext appended.
std::string ChangeFileExt(const std::string& path, const std::string& ext);

// An ordered list of texts, each carrying a 32-bit value (the store's index
// keeps record positions there).
class TStringList {
 public:
  int Count() const { return static_cast<int>(lines_.size()); }
  // An index outside 0..Count()-1 raises EGeneralError (a programming error).
  const std::string& Get(int i) const { return lines_[Check(i)]; }
  const std::string& operator[](int i) const { return lines_[Check(i)]; }
  void Set(int i, std::string s) { lines_[Check(i)] = std::move(s); }
  int32_t Value(int i) const { return values_[Check(i)]; }
  void SetValue(int i, int32_t v) { values_[Check(i)] = v; }

  int Add(std::string s, int32_t value = 0);
  void Insert(int i, std::string s, int32_t value = 0);
  void Delete(int i);
  void Clear();
  // Makes room for n lines without changing the list.
  void Reserve(int n) {
    lines_.reserve(static_cast<size_t>(n));
    values_.reserve(static_cast<size_t>(n));
  }
  // First line equal to s ignoring letter case, or -1.
  int IndexOf(const std::string& s) const;

  // Every line followed by CR LF, the last one too.
  std::string Text() const;
  // Splits at CR LF, CR or LF; a break at the very end adds no empty line and
  // an empty text gives no lines. Values of the new lines are 0.
  void SetText(const std::string& text);

  const std::vector<std::string>& Lines() const { return lines_; }

 private:
  size_t Check(int i) const {
    if (i < 0 || i >= Count()) OutOfBounds(i);
    return static_cast<size_t>(i);
  }
  [[noreturn]] static void OutOfBounds(int i);

  std::vector<std::string> lines_;
  std::vector<int32_t> values_;
};

}  // namespace util
