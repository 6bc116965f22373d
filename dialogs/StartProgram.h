// Starting other programs: the installed product, an Explorer folder window,
// or a program whose end the caller waits for while the windows stay alive.
#pragma once
#include <cstdint>
#include <string>

#include "util/Handle.h"

namespace dialogs {

// Show-window states of STARTUPINFO.wShowWindow used by the callers.
constexpr uint16_t ShowNormal = 1;  // SW_SHOWNORMAL

// Starts commandLine (CreateProcessA: no application name, nothing inherited,
// the caller's environment and current folder) with the given show state.
// Returns the owned process handle, invalid when nothing was started; the
// thread handle is closed at once. Reports nothing.
util::Handle StartProcess(const std::string& commandLine, uint16_t show);

// Starts commandLine without waiting and closes every handle of the new
// process (none of the callers needs one). True when a process was started;
// a failed start shows nothing.
bool StartProgram(const std::string& commandLine, uint16_t show);

// Starts commandLine and waits for its end in 100 ms slices, processing the
// thread's pending window messages between them, so the windows keep
// painting (and the user can act, re-entrantly). Returns the last result of
// WaitForSingleObject: WAIT_OBJECT_0 when the process ended, WAIT_FAILED at
// once when nothing was started.
unsigned long StartProgramAndWait(const std::string& commandLine, uint16_t show);

// Opens an Explorer window on path: "explorer.exe " + path, unquoted, shown
// normally. True when the process was started.
bool OpenFolderWindow(const std::string& path);

}  // namespace dialogs
