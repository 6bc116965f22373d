// String list builders (see Lines.h).
#include "tests/support/Lines.h"

namespace testsupport {

util::TStringList Lines(std::initializer_list<const char*> lines) {
  util::TStringList l;
  for (const char* s : lines) l.Add(s);
  return l;
}

util::TStringList NumberedLines(const std::string& stem, int n) {
  util::TStringList l;
  for (int i = 0; i < n; ++i) l.Add(stem + " " + std::to_string(i));
  return l;
}

}  // namespace testsupport
