// Upper and lower case on Win32: the running system's ANSI rules, as the
// product itself compares names (the host build uses a table: Text_posix.cpp).
#include "util/Text.h"
#include "util/Win.h"

namespace util {

std::string UpperCase(std::string s) {
  if (!s.empty()) CharUpperBuffA(s.data(), static_cast<DWORD>(s.size()));
  return s;
}

std::string LowerCase(std::string s) {
  if (!s.empty()) CharLowerBuffA(s.data(), static_cast<DWORD>(s.size()));
  return s;
}

}  // namespace util
