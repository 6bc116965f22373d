// Checks that keep the removal of the program group inside the Start menu's
// Programs folder and to the product's own group.
#include "uninstall/GroupGuard.h"

#include "app/Version.h"
#include "util/Text.h"

namespace uninstall {

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

}  // namespace

bool IsSafeGroupName(const std::string& name) {
  if (name.empty()) return true;
  if (IsSeparator(name[0])) return false;
  // The system drops trailing dots and blanks from a name, so a part made of
  // nothing else ("..", ". .", "...") may climb out of the Programs folder.
  bool onlyDots = true;  // the part so far has dots and blanks only
  size_t partLength = 0;
  for (size_t i = 0; i <= name.size(); ++i) {
    if (i == name.size() || IsSeparator(name[i])) {
      if (partLength && onlyDots) return false;
      onlyDots = true;
      partLength = 0;
      continue;
    }
    const unsigned char c = static_cast<unsigned char>(name[i]);
    if (c < 32 || c == ':' || c == '(' || c == ')' || c == '[' || c == ']' || c == '"' || c == ',')
      return false;
    ++partLength;
    if (c != '.' && c != ' ') onlyDots = false;
  }
  return true;
}

bool IsOwnGroupName(const std::string& name) {
  return util::LowerCase(name) == util::LowerCase(app::ProductName);
}

}  // namespace uninstall
