// Scratch folders for the Win32 tests: makes a relative chain of folders
// below a root (each level, as needed) and gives its path with "\".
#pragma once
#include <string>

#include "util/Win.h"

namespace testfolders {

inline std::string MakeDirs(const std::string& root, const std::string& rel) {
  std::string path = root;
  size_t start = 0;
  while (start < rel.size()) {
    size_t end = rel.find('\\', start);
    if (end == std::string::npos) end = rel.size();
    path += rel.substr(start, end - start) + "\\";
    CreateDirectoryA(path.c_str(), nullptr);
    start = end + 1;
  }
  return path;
}

}  // namespace testfolders
