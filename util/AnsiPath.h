// The one place where the program takes a path in UTF-16. Everything else
// speaks the ANSI code page, but the system hands over its folders (the
// shell's folders, the running program's own path, the temporary folder) as
// it stores them, and a name that the code page cannot spell (a Chinese user
// name on a Western system, a Polish one on a German system) reaches an
// ANSI function with "?" or a look-alike ("L" for "Ł") in place of its
// letters: a path that names nothing, or another folder.
//
// Such a path is used in its short (8.3) form, which the file system spells
// in ANSI. A path that has no short form (short names switched off on its
// drive) cannot be handed to the rest of the program at all: it is reported
// once in a message box that names it, and given as "".
#pragma once
#include <string>

namespace util {

// Whether an unusable path is shown to the user (once per path and run) or
// only given as "" (a caller that merely compares paths with it).
enum class TUnspellable { Report, Quiet };

// text in the ANSI code page, when every character of it is spelled exactly
// there and reads back the same (no best-fit substitutes such as "L" for
// "Ł", no "?" default). false otherwise, and for a text the system cannot
// convert.
bool ToAnsiExactly(const wchar_t* text, std::string& ansi);

// The ANSI form of a path given in UTF-16: the path itself when it survives
// the round trip through the ANSI code page, else its short form when that
// does (the path must exist to have one). Otherwise "" and, with Report, the
// message box "Folder Name Error" naming the path (in UTF-8 to the message
// hook), shown once for each path in a run.
std::string AnsiPath(const wchar_t* path, TUnspellable unspellable = TUnspellable::Report);

}  // namespace util
