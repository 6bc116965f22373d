// A console program for the runner's tests. Each argument is one step, done in
// order:
//   out:TEXT   write TEXT to stdout (\n, \r, \0 and \\ are escapes)
//   err:TEXT   the same to stderr
//   lines:N:L  write N lines of L characters plus LF: line i starts with i in
//              seven digits, then dots
//   spill:N    write N bytes of dots to stdout, going on when that fails (as a
//              program does whose reader has gone)
//   sleep:MS   sleep
//   set:NAME   set the named event
//   wait:NAME  wait (at most 60 s) for the named event
//   exit:CODE  end with this exit code (default 0)
// Output goes straight to the handles, unbuffered, so each out: is one write.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "util/Win.h"

namespace {

std::string Unescape(const char* s) {
  std::string out;
  for (; *s; ++s) {
    if (*s != '\\' || !s[1]) {
      out.push_back(*s);
      continue;
    }
    ++s;
    switch (*s) {
      case 'n': out.push_back('\n'); break;
      case 'r': out.push_back('\r'); break;
      case '0': out.push_back('\0'); break;
      default: out.push_back(*s); break;
    }
  }
  return out;
}

bool Write(DWORD which, const std::string& bytes) {
  HANDLE h = GetStdHandle(which);
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD n = 0;
    if (!WriteFile(h, bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &n, nullptr))
      return false;
    done += n;
  }
  return true;
}

bool WriteLines(long count, long length) {
  std::string block;
  char num[16];
  for (long i = 0; i < count; ++i) {
    std::snprintf(num, sizeof num, "%07ld", i);
    std::string line(num);
    line.resize(static_cast<size_t>(length), '.');
    block += line;
    block.push_back('\n');
    if (block.size() >= 60000 && !Write(STD_OUTPUT_HANDLE, block)) return false;
    if (block.size() >= 60000) block.clear();
  }
  return Write(STD_OUTPUT_HANDLE, block);
}

bool UseEvent(const char* name, bool set) {
  HANDLE ev = OpenEventA(EVENT_MODIFY_STATE | SYNCHRONIZE, FALSE, name);
  if (!ev) return false;
  bool ok = set ? SetEvent(ev) != FALSE : WaitForSingleObject(ev, 60000) == WAIT_OBJECT_0;
  CloseHandle(ev);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  int code = 0;
  for (int i = 1; i < argc; ++i) {
    const char* a = argv[i];
    bool ok = true;
    if (std::strncmp(a, "out:", 4) == 0) {
      ok = Write(STD_OUTPUT_HANDLE, Unescape(a + 4));
    } else if (std::strncmp(a, "err:", 4) == 0) {
      ok = Write(STD_ERROR_HANDLE, Unescape(a + 4));
    } else if (std::strncmp(a, "lines:", 6) == 0) {
      char* rest = nullptr;
      long count = std::strtol(a + 6, &rest, 10);
      long length = (*rest == ':') ? std::strtol(rest + 1, nullptr, 10) : 0;
      ok = WriteLines(count, length);
    } else if (std::strncmp(a, "spill:", 6) == 0) {
      Write(STD_OUTPUT_HANDLE, std::string(std::strtoul(a + 6, nullptr, 10), '.'));
    } else if (std::strncmp(a, "sleep:", 6) == 0) {
      Sleep(static_cast<DWORD>(std::strtoul(a + 6, nullptr, 10)));
    } else if (std::strncmp(a, "set:", 4) == 0) {
      ok = UseEvent(a + 4, true);
    } else if (std::strncmp(a, "wait:", 5) == 0) {
      ok = UseEvent(a + 5, false);
    } else if (std::strncmp(a, "exit:", 5) == 0) {
      code = static_cast<int>(std::strtoul(a + 5, nullptr, 0));
    } else {
      ok = false;
    }
    if (!ok) return 100 + i;  // which step failed, for the test's message
  }
  return code;
}
