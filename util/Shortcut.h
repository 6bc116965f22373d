// Shell shortcuts (.LNK files), written through the shell link COM object.
#pragma once
#include <string>

#ifdef _WIN32
#include "util/Win.h"

namespace util {

// Writes linkFile as a shortcut to target, with icon 0 of iconFile, the given
// description, and arguments when they are not empty (empty ones are not set
// at all). The working folder is the target's folder, lower-cased, with its
// trailing "\". An existing link file is replaced; the folder that holds it
// must exist. Returns the COM result: that of creating the link object, of
// asking it for IPersistFile, or of saving it. linkFile must stay shorter
// than MAX_PATH characters.
HRESULT CreateShortcut(const std::string& target, const std::string& linkFile,
                       const std::string& iconFile, const std::string& description,
                       const std::string& arguments);

}  // namespace util
#endif
