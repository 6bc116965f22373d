// Directory listing (wildcard search with an attribute mask) and removal of a
// folder tree that never forces anything: what resists deletion stays.
#include "util/DirList.h"

#include "util/FileStream.h"
#include "util/Handle.h"
#include "util/Paths.h"
#include "util/Win.h"

namespace util {

namespace {

// The attribute bits that a search admits only when the mask names them; the
// others (read-only, archive, ...) never keep an entry out.
constexpr unsigned kSpecialAttributes = faHidden | faSysFile | faVolumeID | faDirectory;

bool IsDotEntry(const char* name) {
  return (name[0] == '.' && name[1] == '\0') ||
         (name[0] == '.' && name[1] == '.' && name[2] == '\0');
}

// Calls visit(name, attributes) for every entry of pattern admitted by mask,
// "." and ".." left out, in enumeration order. The search is closed before
// the caller acts on what it collected.
template <typename Visit>
void Search(const std::string& pattern, unsigned mask, Visit visit) {
  WIN32_FIND_DATAA data;
  FindHandle find(FindFirstFileA(pattern.c_str(), &data));
  if (!find) return;
  const unsigned exclude = ~mask & kSpecialAttributes;
  do {
    if (IsDotEntry(data.cFileName)) continue;
    if ((data.dwFileAttributes & exclude) != 0) continue;
    visit(std::string(data.cFileName), static_cast<unsigned>(data.dwFileAttributes));
  } while (FindNextFileA(find.Get(), &data));
}

}  // namespace

void ListDirectory(const std::string& dirWithBackslash, TStringList& files, TStringList& subdirs) {
  files.Clear();
  subdirs.Clear();
  Search(dirWithBackslash + "*.*", faAnyFile, [&](const std::string& name, unsigned attr) {
    std::string full = LowerCase(dirWithBackslash + name);
    if (IsPlainDirectory(attr))
      subdirs.Add(std::move(full));
    else
      files.Add(std::move(full));
  });
}

int FindFiles(TStringList* target, const std::string& pattern, unsigned attrMask) {
  if (target) target->Clear();
  const std::string folder = ExtractFilePath(pattern);
  TStringList found;
  Search(pattern, attrMask, [&](const std::string& name, unsigned) { found.Add(folder + name); });
  if (target) *target = found;
  return found.Count();
}

bool DeleteDirTree(std::string& dir, const std::string& keep) {
  if (dir.empty() || !DirectoryExists(dir)) return false;
  dir = AppendBackslash(dir);
  if (!keep.empty()) {
    const std::string self = NormaliseDir(dir);
    if (self == keep || NormalisedInside(self, keep)) return false;
  }

  TStringList files, subdirs;
  ListDirectory(dir, files, subdirs);
  // Below the top, a folder that resists removal simply stays; the final
  // RemoveDirectoryA then fails and reports it. So does a folder on the way
  // to the kept one.
  for (const std::string& sub : subdirs.Lines()) {
    std::string shortForm = GetShortPath(sub);
    std::string keepBelow;
    if (!keep.empty()) {
      const std::string self = NormaliseDir(shortForm);
      if (self == keep) continue;
      if (NormalisedInside(keep, self)) keepBelow = keep;
    }
    DeleteDirTree(shortForm, keepBelow);
  }
  for (const std::string& file : files.Lines()) DeleteFileA(file.c_str());
  return RemoveDirectoryA(dir.c_str()) != 0;
}

}  // namespace util
