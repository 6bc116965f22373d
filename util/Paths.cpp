// Path helpers: the portable trailing-backslash pair.
#include "util/Paths.h"

namespace util {

std::string AppendBackslash(const std::string& path) {
  if (path.empty() || path.back() == '\\') return path;
  return path + '\\';
}

std::string StripBackslash(const std::string& path) {
  if (!path.empty() && path.back() == '\\') return path.substr(0, path.size() - 1);
  return path;
}

}  // namespace util
