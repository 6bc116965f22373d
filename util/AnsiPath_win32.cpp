// UTF-16 paths from the system made into ANSI ones: exactly, or through the
// short form, or reported.
#include "util/AnsiPath.h"

#include <cwchar>
#include <string>
#include <vector>

#include "util/Message.h"
#include "util/Win.h"

namespace util {

namespace {

// Paths reported in this run, in UTF-8: each is named once, however many
// callers ask (the group step reads the Programs folder from the registry and
// then from the shell).
std::vector<std::string> g_reported;

// text in codePage, or "" (the system cannot convert it, or it is empty).
// flags and usedDefault as WideCharToMultiByte takes them.
std::string Narrow(const wchar_t* text, UINT codePage, DWORD flags, BOOL* usedDefault) {
  const int n = WideCharToMultiByte(codePage, flags, text, -1, nullptr, 0, nullptr, usedDefault);
  if (n <= 1) return std::string();
  std::string out(n, '\0');
  if (WideCharToMultiByte(codePage, flags, text, -1, out.data(), n, nullptr, usedDefault) != n)
    return std::string();
  out.resize(n - 1);  // the NUL
  return out;
}

void Report(const wchar_t* path) {
  const std::string name = Narrow(path, CP_UTF8, 0, nullptr);
  for (const std::string& seen : g_reported)
    if (seen == name) return;
  g_reported.push_back(name);
  ShowMessageUtf8(
      "The name of this folder has characters that the system's ANSI code page cannot spell, "
      "and the folder has no short (8.3) name to use instead:\n\n" +
          name + "\n\nThe program cannot use this folder.",
      "Folder Name Error");
}

}  // namespace

bool ToAnsiExactly(const wchar_t* text, std::string& ansi) {
  ansi.clear();
  if (!text || !*text) return true;
  // With UTF-8 as the ANSI code page (a system option of Windows 10 and
  // later) everything is spelled; the two checks' flags are refused there.
  const bool utf8 = GetACP() == CP_UTF8;
  BOOL usedDefault = FALSE;
  std::string out =
      Narrow(text, CP_ACP, utf8 ? 0 : WC_NO_BEST_FIT_CHARS, utf8 ? nullptr : &usedDefault);
  if (out.empty() || usedDefault) return false;
  // And back: a code page may map two characters to one byte sequence.
  const int n = MultiByteToWideChar(CP_ACP, 0, out.c_str(), -1, nullptr, 0);
  if (n <= 0) return false;
  std::vector<wchar_t> back(n, L'\0');
  if (MultiByteToWideChar(CP_ACP, 0, out.c_str(), -1, back.data(), n) != n) return false;
  if (wcscmp(back.data(), text) != 0) return false;
  ansi = std::move(out);
  return true;
}

std::string AnsiPath(const wchar_t* path, TUnspellable unspellable) {
  std::string ansi;
  if (!path || !*path) return ansi;
  if (ToAnsiExactly(path, ansi)) return ansi;
  // The two-call pattern: the length with its NUL, then the text.
  const DWORD n = GetShortPathNameW(path, nullptr, 0);
  if (n > 0) {
    std::vector<wchar_t> shortForm(n + 1, L'\0');
    const DWORD got = GetShortPathNameW(path, shortForm.data(), n);
    if (got > 0 && got < n && ToAnsiExactly(shortForm.data(), ansi)) return ansi;
  }
  if (unspellable == TUnspellable::Report) Report(path);
  return std::string();
}

}  // namespace util
