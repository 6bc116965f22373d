// ReadShortcut: loads a link file into a shell link object and reads it out.
#include "tests/support/ShellLinkReader.h"

#include "util/Win.h"

#include <objbase.h>
#include <shlobj.h>

namespace testsupport {

TLinkFields ReadShortcut(const std::string& linkFile) {
  TLinkFields f;
  CoInitialize(nullptr);
  IShellLinkA* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<void**>(&link))))
    return f;
  IPersistFile* file = nullptr;
  if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    WCHAR wide[MAX_PATH] = {0};
    MultiByteToWideChar(CP_ACP, 0, linkFile.c_str(), -1, wide, MAX_PATH);
    if (SUCCEEDED(file->Load(wide, STGM_READ))) {
      char buf[1024];
      f.loaded = true;
      buf[0] = 0;
      link->GetPath(buf, sizeof buf, nullptr, SLGP_RAWPATH);
      f.path = buf;
      buf[0] = 0;
      link->GetDescription(buf, sizeof buf);
      f.description = buf;
      buf[0] = 0;
      link->GetWorkingDirectory(buf, sizeof buf);
      f.workingDir = buf;
      buf[0] = 0;
      link->GetIconLocation(buf, sizeof buf, &f.iconIndex);
      f.iconFile = buf;
      buf[0] = 0;
      link->GetArguments(buf, sizeof buf);
      f.arguments = buf;
    }
    file->Release();
  }
  link->Release();
  return f;
}

}  // namespace testsupport
