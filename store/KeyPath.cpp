// The store's public operations: an item named by a key path, read or
// written in one self-contained call (open, walk, work, save, close); lines
// stored as items; the settings lines of the "Initialization" item.
#include <algorithm>
#include <memory>
#include <vector>

#include "app/Version.h"
#include "store/FileMan1.h"
#include "util/Errors.h"
#include "util/FileStream.h"

namespace store {

std::string GetToken(int n, const std::string& text, const std::string& separator,
                     const std::string& defaultValue) {
  std::string rest = text, token;
  for (int k = 0; k <= n; ++k) {
    do {
      const size_t at = separator.empty() ? std::string::npos : rest.find(separator);
      if (at == std::string::npos) {
        token = rest;
        rest.clear();
      } else {
        token = rest.substr(0, at);
        rest.erase(0, at + separator.size());
      }
    } while (token.empty() && !rest.empty());
  }
  return token.empty() ? defaultValue : token;
}

namespace {

// The non-empty elements of a key path, in order: element k is what GetToken
// gives for number k.
std::vector<std::string> KeyElements(const std::string& keyPath) {
  std::vector<std::string> elements;
  size_t start = 0;
  while (start <= keyPath.size()) {
    size_t end = keyPath.find(app::KeySeparator, start);
    if (end == std::string::npos) end = keyPath.size();
    if (end > start) elements.push_back(keyPath.substr(start, end - start));
    start = end + 1;
  }
  return elements;
}

// Index records keep their names as CR LF separated text ending in a NUL, so
// a name holding CR, LF or NUL would come back as other names and shift every
// position after it. Such names are never written.
bool StorableName(const std::string& name) {
  return name.find_first_of(std::string("\r\n\0", 3)) == std::string::npos;
}

bool StorablePath(const std::string& keyPath) {
  for (const std::string& e : KeyElements(keyPath))
    if (!StorableName(e)) return false;
  return true;
}

// Opens the store, loads the index of every folder on the key path and runs
// work on the last one with the last name. The walk grows with the path: a
// path deeper than 16 elements works like any other. A header, free list or
// index on the way that is not sound stops the walk before anything is
// written; the call then reports the read error.
template <class Work>
int Walk(const std::string& keyPath, const std::string& storePath, bool mustExist, Work work) {
  TFileManager manager(storePath, mustExist);
  if (manager.Damaged()) return manager.Result();
  std::vector<std::unique_ptr<TFMindex>> indexes;
  indexes.push_back(std::make_unique<TFMindex>(manager, nullptr, std::string()));
  const std::vector<std::string> elements = KeyElements(keyPath);
  if (elements.empty()) return NoError;
  for (size_t level = 1; level < elements.size() && !indexes.back()->Damaged(); ++level)
    indexes.push_back(
        std::make_unique<TFMindex>(manager, indexes.back().get(), elements[level - 1]));
  if (!indexes.back()->Damaged()) work(*indexes.back(), elements.back());
  manager.Commit();
  const int result = manager.Result();
  while (!indexes.empty()) indexes.pop_back();  // deepest first, the top index last
  return result;
}

}  // namespace

int WriteStoreItem(const std::string& keyPath, TDataBuf* buffer, const std::string& storePath) {
  if (!StorablePath(keyPath)) return WriteError;
  return Walk(keyPath, storePath, false, [&](TFMindex& index, const std::string& name) {
    index.WriteItem(name, buffer, true);
  });
}

int ReadStoreItem(const std::string& keyPath, TDataBuf* buffer, const std::string& storePath) {
  // A missing store reads as nothing. Opening the existing file tells that
  // without looking first: only when the open fails is the file looked for,
  // and a file that is there but cannot be opened still raises. Only the
  // opening raises EFOpenError in a walk.
  try {
    return Walk(keyPath, storePath, true, [&](TFMindex& index, const std::string& name) {
      index.ReadItemIfStored(name, buffer);
    });
  } catch (const util::EFOpenError&) {
    if (!util::FileExists(storePath)) return NoError;
    throw;
  }
}

int RenameStoreItem(const std::string& keyPath, const std::string& newName,
                    const std::string& storePath) {
  // An empty name cannot be reached by a key path, and a separator byte in it
  // would split it; both are refused like CR, LF and NUL.
  if (newName.empty() || newName.find(app::KeySeparator) != std::string::npos ||
      !StorableName(newName) || !StorablePath(keyPath))
    return WriteError;
  return Walk(keyPath, storePath, false, [&](TFMindex& index, const std::string& name) {
    const int i = index.IndexOf(name);
    if (i < 0) return;
    index.Set(i, newName);
    index.SaveAndLink();
  });
}

int RenameStoreItemTrimmed(std::string& keyPath, const std::string& newName,
                           const std::string& storePath) {
  keyPath = util::Trim(keyPath);
  return RenameStoreItem(keyPath, newName, storePath);
}

int ReadStoreLines(util::TStringList& list, const std::string& keyPath,
                   const std::string& storePath) {
  list.Clear();
  TDataBuf buffer;
  const int result = ReadStoreItem(keyPath, &buffer, storePath);
  // Lines stored by WriteStoreLines end in CR LF: one per LF, sized once.
  if (const char* data = buffer.Data())
    list.Reserve(static_cast<int>(std::count(data, data + buffer.StoredLength(), '\n')) + 1);
  AddTextLines(list, buffer.Data(), static_cast<size_t>(buffer.StoredLength()));
  return result;
}

int WriteStoreLines(const std::string& keyPath, const util::TStringList* list,
                    const std::string& storePath) {
  if (!list) return WriteStoreItem(keyPath, nullptr, storePath);
  const std::string text = list->Text();
  TDataBuf buffer(text.data(), static_cast<int32_t>(text.size()));
  return WriteStoreItem(keyPath, &buffer, storePath);
}

bool ReadStoreBuffer(const std::string& keyPath, TDataBuf* buffer, const std::string& storePath) {
  TDataBuf temp;
  ReadStoreItem(keyPath, &temp, storePath);
  if (buffer) buffer->SetData(temp.Data(), temp.StoredLength());
  return temp.StoredLength() != 0;
}

bool ReadStoreStrings(const std::string& keyPath, util::TStringList* strings,
                      const std::string& storePath) {
  util::TStringList temp;
  ReadStoreLines(temp, keyPath, storePath);
  if (strings) strings->SetText(temp.Text());
  return temp.Count() > 0;
}

namespace {
// The first line "name=value" whose name matches ignoring case, or -1.
int SettingLine(const util::TStringList& list, const std::string& name) {
  for (int i = 0; i < list.Count(); ++i) {
    const std::string& line = list[i];
    const size_t eq = line.find('=');
    if (eq != std::string::npos && util::SameText(line.substr(0, eq), name)) return i;
  }
  return -1;
}
}  // namespace

std::string GetInitValue(const std::string& name, const std::string& defaultValue) {
  util::TStringList list;
  ReadStoreLines(list, app::InitializationItem, app::ExeStorePath());
  const int i = SettingLine(list, name);
  const std::string value = i < 0 ? std::string() : list[i].substr(list[i].find('=') + 1);
  return value.empty() ? defaultValue : value;
}

int SetInitValue(const std::string& name, const std::string& value) {
  util::TStringList list;
  // Settings that could not be read are not overwritten with this one alone.
  const int read = ReadStoreLines(list, app::InitializationItem, app::ExeStorePath());
  if (read != NoError) return read;
  const int i = SettingLine(list, name);
  if (value.empty()) {
    if (i >= 0) list.Delete(i);
  } else if (i >= 0) {
    list.Set(i, name + "=" + value);
  } else {
    list.Add(name + "=" + value);
  }
  return WriteStoreLines(app::InitializationItem, &list, app::ExeStorePath());
}

void CopyFileContents(const std::string& destination, const std::string& source) {
  std::string bytes;
  if (util::FileExists(source) && util::ReadWholeFile(source, bytes))
    util::WriteWholeFile(destination, bytes);
}

}  // namespace store
