// Header fields of a message held as lines: lookup, reading with continuation
// lines, removal, popping fields off the front, and mail addresses.
#include "headers/HeaderLines.h"

namespace headers {

namespace {

// A continuation line starts with a blank or a tab; an empty line never is one
// (it ends the header).
bool IsContinuation(const std::string& line) {
  return !line.empty() && (line[0] == ' ' || line[0] == '\t');
}

// The seven characters that end a mail address on either side of its "@".
// Tabs, quotes and parentheses are deliberately not among them.
bool IsAddressDelimiter(char c) {
  switch (c) {
    case ' ':
    case ',':
    case '<':
    case '>':
    case '=':
    case '\n':
    case '\r':
      return true;
  }
  return false;
}

}  // namespace

util::TStringList* THeaderLines::SetLines(util::TStringList* lines) {
  lines_ = lines;
  return lines_;
}

int THeaderLines::FindField(const std::string& name, util::TStringList* list) {
  Rebind(list);
  const std::string key = util::LowerCase(name);
  for (int i = 0; i < LineCount(); ++i) {
    const std::string piece = lines_->Get(i).substr(0, name.size());
    // An empty piece is the header's end (or an empty name): nothing matches.
    if (piece.empty()) return -1;
    if (util::LowerCase(piece) == key) return i;
  }
  return -1;
}

bool THeaderLines::HasField(const std::string& name, util::TStringList* list) {
  return FindField(name, list) >= 0;
}

std::string THeaderLines::GetFieldText(const std::string& name, util::TStringList* list) {
  int i = FindField(name, list);
  if (i < 0) return std::string();
  std::string text = lines_->Get(i);
  for (++i; i < LineCount() && IsContinuation(lines_->Get(i)); ++i) {
    text += "\r\n";
    text += lines_->Get(i);
  }
  return text;
}

std::string THeaderLines::GetFieldValue(const std::string& name, util::TStringList* list) {
  const std::string text = GetFieldText(name, list);
  if (text.size() <= name.size()) return std::string();
  return text.substr(name.size(), MaxValueLength);
}

int THeaderLines::RemoveField(const std::string& name, util::TStringList* list) {
  const int i = FindField(name, list);
  if (i < 0) return -1;
  lines_->Delete(i);
  while (i < LineCount() && IsContinuation(lines_->Get(i))) lines_->Delete(i);
  return i;
}

int THeaderLines::HeaderEnd() const {
  for (int i = 0; i < LineCount(); ++i)
    if (lines_->Get(i).empty()) return i;
  return LineCount();
}

std::string THeaderLines::FieldName(const std::string& line) {
  const size_t p = line.find(": ");
  return p == std::string::npos ? std::string() : line.substr(0, p + 2);
}

std::string THeaderLines::PopField() {
  if (LineCount() == 0 || lines_->Get(0).empty()) return std::string();
  // Continuation lines with no field above them are dropped. The empty line
  // that may follow them is the header's end and stays, so that the body is
  // never taken for header fields.
  while (LineCount() > 0 && IsContinuation(lines_->Get(0))) lines_->Delete(0);
  if (LineCount() == 0 || lines_->Get(0).empty()) return std::string();

  std::string field = lines_->Get(0);
  lines_->Delete(0);
  // Inside a popped field the lines are joined by LF alone.
  while (LineCount() > 0 && IsContinuation(lines_->Get(0))) {
    field += '\n';
    field += lines_->Get(0);
    lines_->Delete(0);
  }
  return field;
}

std::string THeaderLines::ExtractAddress(const std::string& text, util::TStringList* list) {
  Rebind(list);
  const size_t at = text.find('@');
  if (at == std::string::npos) return std::string();
  size_t begin = at;
  while (begin > 0 && !IsAddressDelimiter(text[begin - 1])) --begin;
  size_t end = at + 1;
  while (end < text.size() && !IsAddressDelimiter(text[end])) ++end;
  return util::Trim(text.substr(begin, end - begin));
}

std::string THeaderLines::AddressDomain(const std::string& text, util::TStringList* list) {
  Rebind(list);
  const size_t at = text.find('@');
  if (at == std::string::npos) return std::string();
  return text.substr(at + 1, MaxValueLength);
}

int THeaderLines::AddAddresses(util::TStringList& target, const std::string& text,
                               util::TStringList* list) {
  Rebind(list);
  // Each pass takes the first address anywhere in what is left, so a piece
  // without one (a display name holding a comma) yields the next piece's
  // address, which the duplicate test then drops. Every pass drops at least
  // one comma, so the walk ends.
  std::string rest = text;
  for (;;) {
    const std::string a = util::Trim(ExtractAddress(rest));
    if (!a.empty() && target.IndexOf(a) < 0) target.Add(a);
    const size_t comma = rest.find(',');
    if (comma == std::string::npos) break;
    rest = rest.substr(comma + 1, MaxValueLength);
  }
  return target.Count();
}

int THeaderLines::GetRecipients(util::TStringList& target, util::TStringList* list) {
  Rebind(list);
  target.Clear();
  for (const char* name : {"To: ", "Cc: ", "Bcc: "})
    AddAddresses(target, GetFieldValue(name));
  return target.Count();
}

int THeaderLines::GetAttachments(util::TStringList& target, util::TStringList* list) {
  Rebind(list);
  static const std::string prefix = "Attachment: ";
  // The end is taken once, so appending to the bound list itself cannot make
  // the walk run on.
  const int end = HeaderEnd();
  for (int i = 0; i < end; ++i) {
    const std::string& line = lines_->Get(i);
    if (line.compare(0, prefix.size(), prefix) == 0) target.Add(line);
  }
  return target.Count();
}

}  // namespace headers
