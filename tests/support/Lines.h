// String lists for tests: from literal lines, or n numbered lines of a stem.
#pragma once
#include <initializer_list>
#include <string>

#include "util/Text.h"

namespace testsupport {

util::TStringList Lines(std::initializer_list<const char*> lines);
// "stem 0", "stem 1", ... "stem n-1".
util::TStringList NumberedLines(const std::string& stem, int n);
// The address of a list for one call: a temporary lives to the end of the
// full expression, so Ptr(Lines({...})) is safe as an argument.
inline const util::TStringList* Ptr(const util::TStringList& l) { return &l; }

}  // namespace testsupport
