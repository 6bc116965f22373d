// A stand-in for a program that the process starters launch: it writes the
// command line it was given and the show state it was asked for into a file
// beside itself (its own path with ".txt" for ".exe") and ends at once.
#include <cstdio>
#include <string>

#include "util/Win.h"

int main() {
  char self[MAX_PATH] = {};
  DWORD n = GetModuleFileNameA(nullptr, self, MAX_PATH);
  if (n < 4 || n >= MAX_PATH) return 1;
  std::string out(self, n - 4);
  out += ".txt";
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  GetStartupInfoA(&si);
  const bool showGiven = (si.dwFlags & STARTF_USESHOWWINDOW) != 0;
  FILE* f = std::fopen(out.c_str(), "wb");
  if (!f) return 1;
  std::fprintf(f, "%s\n%d\n", GetCommandLineA(), showGiven ? si.wShowWindow : -1);
  std::fclose(f);
  return 0;
}
