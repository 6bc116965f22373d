// CreateProcessA around the program's process starts. Handles are owned by
// util::Handle, so no start leaves a process or thread handle open.
#include "dialogs/StartProgram.h"

#include <vector>

#include "gui/Pump.h"
#include "util/Win.h"

namespace dialogs {

util::Handle StartProcess(const std::string& commandLine, uint16_t show) {
  STARTUPINFOA si = {};
  si.cb = sizeof(si);
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = show;
  PROCESS_INFORMATION pi = {};
  // CreateProcessA may write into the command line, so it gets its own copy.
  std::vector<char> cmd(commandLine.begin(), commandLine.end());
  cmd.push_back('\0');
  if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                      &pi))
    return util::Handle();
  util::Handle thread(pi.hThread);
  return util::Handle(pi.hProcess);
}

bool StartProgram(const std::string& commandLine, uint16_t show) {
  return StartProcess(commandLine, show).Valid();
}

unsigned long StartProgramAndWait(const std::string& commandLine, uint16_t show) {
  util::Handle process = StartProcess(commandLine, show);
  if (!process) return WAIT_FAILED;
  DWORD r;
  do {
    r = WaitForSingleObject(process.Get(), 100);
    gui::ProcessMessages();
  } while (r == WAIT_TIMEOUT);
  return r;
}

bool OpenFolderWindow(const std::string& path) {
  return StartProgram("explorer.exe " + path, ShowNormal);
}

}  // namespace dialogs
