// Upper and lower case on the host: a fixed Windows-1252 table, the code page
// the program's texts are in (Win32 asks the system: Text_win32.cpp).
#include "util/Text.h"

namespace util {

namespace {
// Windows-1252: ASCII letters, the Latin-1 letters of 0xC0..0xFE (0xD7 and 0xF7
// are signs), and the four letter pairs in the 0x80..0x9F block.
unsigned char Lower1252(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return c + 32;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
  switch (c) {
    case 0x8A: return 0x9A;
    case 0x8C: return 0x9C;
    case 0x8E: return 0x9E;
    case 0x9F: return 0xFF;
  }
  return c;
}
unsigned char Upper1252(unsigned char c) {
  if (c >= 'a' && c <= 'z') return c - 32;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 32;
  switch (c) {
    case 0x9A: return 0x8A;
    case 0x9C: return 0x8C;
    case 0x9E: return 0x8E;
    case 0xFF: return 0x9F;
  }
  return c;
}
}  // namespace

std::string UpperCase(std::string s) {
  for (char& c : s) c = static_cast<char>(Upper1252(static_cast<unsigned char>(c)));
  return s;
}

std::string LowerCase(std::string s) {
  for (char& c : s) c = static_cast<char>(Lower1252(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace util
