// Scratch folders and files for tests, natively and under Wine.
#pragma once
#include <string>

#include "util/Text.h"

namespace testsupport {

// A fresh, empty folder below the temporary folder, removed with everything
// in it (attributes cleared first) when it goes. Under Wine it must lie
// inside the prefix, or the constructor throws: the tests plant files in it
// and let the code under test delete there. Relative names may use "\" or
// "/" between their parts.
class TTempDir {
 public:
  TTempDir();
  ~TTempDir();
  TTempDir(const TTempDir&) = delete;
  TTempDir& operator=(const TTempDir&) = delete;

  // The folder, with its trailing separator.
  const std::string& Path() const { return path_; }
  // A path in the folder.
  std::string Path(const std::string& rel) const { return path_ + rel; }
  // Makes the folder rel (with its parents in here); its path with the
  // trailing separator.
  std::string Dir(const std::string& rel) const;
  // Writes a file in here (the folder must exist); its full path.
  std::string File(const std::string& rel, const std::string& text = "x") const;
  // The file's contents, or "<missing>" when it cannot be read.
  std::string Read(const std::string& rel) const;
  // A file or a folder of that name is there.
  bool Exists(const std::string& rel) const;
  // Removes everything in the folder; the folder stays.
  void Clear() const;

 private:
  std::string path_;
};

// Whole-file helpers that fail the test (not throw) when the file system
// refuses.
void WriteFileText(const std::string& path, const std::string& data);
std::string ReadFileText(const std::string& path);
void MakeDir(const std::string& path);
// Removes a tree whatever its attributes; a link inside goes itself, never
// what it points at (test cleanup, not the product's).
void RemoveTree(const std::string& path);

#ifdef _WIN32
// True when folder exists and, followed link by link, ends where its own
// path says, on drive C: (the prefix's drive_c under Wine). A symbolic link
// on the way, such as a profile folder that a fresh prefix points at the Unix
// home, resolves elsewhere (Z:\...) and makes this false.
bool LiesInsidePrefix(const std::string& folder);
// Lower-cased short form, the comparable form of a path.
std::string Normalised(const std::string& path);
// The names of the files and folders in dir, in the case the file system
// keeps.
util::TStringList FileNames(const std::string& dir);
#endif

}  // namespace testsupport
