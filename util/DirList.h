// Directory listing and tree removal. Listings are collected completely before
// anything is acted on, so a folder is never modified while it is searched.
#pragma once
#include <string>

#include "util/Text.h"

namespace util {

// Attribute bits of a search entry (the Win32 FILE_ATTRIBUTE_* values).
constexpr unsigned faReadOnly = 0x01, faHidden = 0x02, faSysFile = 0x04,
                   faVolumeID = 0x08, faDirectory = 0x10, faArchive = 0x20;
// Admits every kind of entry: read-only, hidden, system, volume, folder, archive.
constexpr unsigned faAnyFile = 0x3F;

// An entry counts as a subdirectory only when its attribute word is exactly
// faDirectory; a folder that is also hidden, read-only, system or archive, or
// a reparse point, counts as a file and so is never descended into.
constexpr bool IsPlainDirectory(unsigned attributes) { return attributes == faDirectory; }

#ifdef _WIN32
// The listing rule shared by tree removal and the un-installer's deletion of
// the product's files: lists dirWithBackslash + "*.*" under faAnyFile, skips
// "." and "..", and appends each entry as dirWithBackslash + name, lower-cased,
// to subdirs (IsPlainDirectory) or to files (everything else), in the order in
// which the system returns them. Both lists are cleared first. A folder that
// does not exist leaves both empty. dirWithBackslash must end in "\".
void ListDirectory(const std::string& dirWithBackslash, TStringList& files, TStringList& subdirs);

// Lists the entries that match pattern (a path whose last part may hold
// wildcards) under attrMask, "." and ".." left out, each as the pattern's
// folder part (ExtractFilePath) + the entry's name in the case the system
// reports, in enumeration order. When target is given it is cleared first and
// then holds exactly these paths. Returns their number (0 when nothing matches
// or the folder does not exist).
int FindFiles(TStringList* target, const std::string& pattern, unsigned attrMask);

// Deletes dir with everything below it: first every subdirectory (through its
// short form, depth first), then the files, then dir itself. Nothing is
// forced: read-only files, files in use and folders classified as files stay,
// and so does every folder above them. Returns true exactly when dir itself
// was removed. An empty or missing dir gives false and leaves the variable as
// it was; otherwise the caller's variable gets its trailing backslash.
// A non-empty keep (in normalised form, NormaliseDir) is one folder that
// stays standing with everything in it, and so every folder on the way down
// to it; everything else goes as above.
bool DeleteDirTree(std::string& dir, const std::string& keep = std::string());
#endif

}  // namespace util
