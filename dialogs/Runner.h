// Runs a console program with its standard output and error redirected into
// one pipe, collecting what it prints line by line while the windows stay live.
#pragma once
#include <cstdint>
#include <string>

#include "util/Handle.h"
#include "util/Text.h"
#include "util/Win.h"

namespace dialogs {

// One run of RunConsoleProgram; created for the call and destroyed after it.
struct TPipeRunner {
  uint16_t showWindow = 0;                       // wShowWindow for the child's main window
  std::string commandLine;                       // the program and its arguments
  util::TStringList* outputList = nullptr;       // not owned: output and error lines
  volatile unsigned char* cancelFlag = nullptr;  // caller's flag; non-zero abandons the run
  bool pipeCreated = false;                      // CreatePipe succeeded
  bool processCreated = false;                   // CreateProcessA succeeded
  uint32_t waitResult = 0;                       // last WaitForSingleObject result
  bool exitCodeKnown = false;                    // the last GetExitCodeProcess succeeded
  uint32_t exitCode = 0;                         // last exit code obtained
  HWND progressBar = nullptr;                    // advanced once per pass, or null
  std::string partialLine;                       // bytes since the last LF

  // Owned for the run and closed when the record goes.
  util::Handle readEnd;   // parent's end of the pipe
  util::Handle writeEnd;  // child's stdout/stderr until it is started
  util::Handle process;   // the child process
};

// Text of the line a call gets while another run is under way (result 0).
extern const char kRunnerBusyLine[];

// Starts commandLine (no application name, inherited environment and current
// directory) with stdout and stderr on one pipe and waits for it in passes of
// at most 100 ms, processing window messages, advancing progressBar (if any)
// and draining the pipe. Each LF-terminated output line is added to
// outputList (CR and NUL dropped; an unterminated last line is not added);
// failing system calls add an error line instead of raising.
// Result: 0 when the pipe or process could not be created (or another run is
// under way); otherwise low 16 bits = last wait result (0 ended, 0x0102 still
// running when the run stopped, 0xFFFF wait failed) and high 16 bits = the
// last exit code obtained. Setting *cancelFlag non-zero abandons the run
// within one pass; the program itself keeps running.
uint32_t RunConsoleProgram(const std::string& commandLine, util::TStringList& outputList,
                           uint16_t showWindow, HWND progressBar,
                           volatile unsigned char* cancelFlag);

}  // namespace dialogs
