// The product's rules for outgoing and incoming messages: the remailer
// destination, the mailbox summary line, and the fields of a reply or
// follow-up built from the message being answered.
#include <ctime>

#include "app/Version.h"
#include "headers/HeaderLines.h"

namespace headers {

namespace {

// Remailer instruction prefixes, most specific first; a line is tested
// against them in this order and the first that fits is taken.
const char* const DestinationPrefixes[] = {
    "Request-Remailing-To: ", "Anon-Post-To: ", "Anon-To: ", "Post-To: ", "To: "};

bool StartsWith(const std::string& s, const std::string& prefix) {
  return s.compare(0, prefix.size(), prefix) == 0;
}

void RemoveChar(std::string& s, char c) {
  std::string out;
  out.reserve(s.size());
  for (char ch : s)
    if (ch != c) out += ch;
  s.swap(out);
}

void RemoveLineBreaksAndTabs(std::string& s) {
  RemoveChar(s, '\t');
  RemoveChar(s, '\r');
  RemoveChar(s, '\n');
}

// Deletes, while pair occurs, the blank that is one of its two characters
// (pair is " x" or "x "). Each pass removes one character, so it ends; a new
// pair can only start one place before the last one, so the search resumes
// there.
void DeleteBlanksAround(std::string& s, const std::string& pair) {
  const size_t blankAt = pair[0] == ' ' ? 0 : 1;
  size_t from = 0;
  for (size_t p; (p = s.find(pair, from)) != std::string::npos;) {
    s.erase(p + blankAt, 1);
    from = p > 0 ? p - 1 : 0;
  }
}

int LinesIn(const std::string& text) {
  util::TStringList l;
  l.SetText(text);
  return l.Count();
}

// Zero-padded decimal of at least width digits (by hand: the printf family
// would link a formatter of some 20 KiB into the program).
std::string Digits(int v, size_t width) {
  std::string s = util::IntToStr(v);
  const bool negative = !s.empty() && s[0] == '-';
  std::string digits = negative ? s.substr(1) : s;
  if (digits.size() < width) digits.insert(0, width - digits.size(), '0');
  return negative ? "-" + digits : digits;
}

}  // namespace

TDateTimeParts LocalNow() {
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
#ifdef _WIN32
  localtime_s(&tm, &now);
#else
  localtime_r(&now, &tm);
#endif
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

std::string THeaderLines::RemailerDestination(util::TStringList* list) {
  Rebind(list);
  for (int i = 0; i < LineCount(); ++i) {
    const std::string line = util::Trim(lines_->Get(i));
    for (const char* prefix : DestinationPrefixes) {
      const std::string p = prefix;
      if (!StartsWith(line, p)) continue;
      const std::string candidate = line.substr(p.size(), MaxDestinationLength);
      if (!candidate.empty()) return candidate;
      break;  // only the first fitting prefix counts for a line
    }
  }
  return std::string();
}

// "yyyy-mm-dd hh:nn:ss " in local time.
std::string THeaderLines::StampText() const {
  const TDateTimeParts t = clock_ ? clock_() : LocalNow();
  return Digits(t.year, 4) + "-" + Digits(t.month, 2) + "-" + Digits(t.day, 2) + " " +
         Digits(t.hour, 2) + ":" + Digits(t.minute, 2) + ":" + Digits(t.second, 2) + " ";
}

// A summary line: stamp, arrow, mark byte, status letter, then address,
// subject and size, each after a SummarySeparator byte. No line end.
std::string THeaderLines::Summary(util::TStringList* message, const std::string& arrow,
                                  const std::string& mark, const std::string& status,
                                  bool outgoing) {
  Rebind(message);
  const std::string stamp = StampText();
  std::string subject = GetFieldValue("Subject: ");
  RemoveChar(subject, '\r');
  RemoveChar(subject, '\n');
  if (subject.empty()) subject = "Re:";
  // The size of the stored text: every line followed by CR LF.
  long long size = 0;
  for (int i = 0; i < LineCount(); ++i) size += static_cast<long long>(lines_->Get(i).size()) + 2;
  const std::string address = outgoing ? ExtractAddress(RemailerDestination())
                                       : ExtractAddress(GetFieldValue("From: "));
  return stamp + arrow + mark + status + app::SummarySeparator + address +
         app::SummarySeparator + subject + app::SummarySeparator + util::IntToStr(size);
}

std::string THeaderLines::OutgoingSummary(util::TStringList* message) {
  return Summary(message, "->", app::OutgoingMark, "S", true);
}

std::string THeaderLines::IncomingSummary(util::TStringList* message) {
  return Summary(message, "<-", app::IncomingMark, "N", false);
}

std::string THeaderLines::ReplyReferences(bool markFlag) {
  std::string s = util::Trim(GetFieldValue("References: "));
  if (s.empty()) return s;
  RemoveLineBreaksAndTabs(s);
  DeleteBlanksAround(s, " <");
  DeleteBlanksAround(s, "> ");
  // Split "><" into one identifier per line; the inserted text holds no "><",
  // so the walk only moves forward.
  for (size_t p = s.find("><"); p != std::string::npos; p = s.find("><", p + 3))
    s.insert(p + 1, "\n ");
  if (markFlag && LinesIn(s) > 1) s += " \n <>";
  return s;
}

std::string THeaderLines::FollowupGroups() {
  std::string s = util::Trim(GetFieldValue("Followup-To: "));
  if (s.empty()) s = util::Trim(GetFieldValue("Newsgroups: "));
  RemoveLineBreaksAndTabs(s);
  DeleteBlanksAround(s, " ,");
  DeleteBlanksAround(s, ", ");
  return s;
}

// "References:" with the answered message's references and, last, its own
// Message-ID, each on a line that begins with one blank.
std::string THeaderLines::ReplyReferencesField() {
  util::TStringList scratch;
  scratch.SetText(ReplyReferences(false));
  if (scratch.Count() > 0) scratch.SetText(" " + scratch.Text());
  scratch.Add(" " + GetFieldValue("Message-ID: "));
  scratch.SetText("References:" + scratch.Text());
  return scratch.Text();
}

// "Newsgroups: " with the follow-up groups, each group after the first on a
// continuation line. The walk steps over what it inserts, so it ends.
std::string THeaderLines::ReplyNewsgroupsField() {
  std::string s = "Newsgroups: " + FollowupGroups();
  for (size_t i = 0; i < s.size(); ++i)
    if (s[i] == ',') s.insert(i + 1, "\n ");
  util::TStringList scratch;
  scratch.SetText(s);
  return scratch.Text();
}

// "To: " with the Reply-To value (else From), or the written-out
// Author-Address when the author asked for it with the marker.
std::string THeaderLines::ReplyTo() {
  std::string s = GetFieldValue("Reply-To: ");
  if (s.empty()) s = GetFieldValue("From: ");
  if (ExtractAddress(s) == AuthorAddressMarker) {
    s = GetFieldValue("Author-Address: ") + " ";
    const size_t at = s.find(" <AT> ");
    if (at != std::string::npos) s.replace(at, 6, "@");
    for (size_t p = s.find(" <DOT> "); p != std::string::npos; p = s.find(" <DOT> ", p + 1))
      s.replace(p, 7, ".");
  }
  if (!s.empty()) s = "To: " + s;
  util::TStringList scratch;
  scratch.SetText(s);
  return scratch.Text();
}

std::string THeaderLines::ReplyField(const std::string& templateLine) {
  const std::string key = util::Trim(templateLine);
  if (key == "References:") return ReplyReferencesField();
  if (key == "Newsgroups:") return ReplyNewsgroupsField();
  if (key == "To:") return ReplyTo();
  if (key == "Subject:") {
    std::string s = GetFieldValue("Subject: ");
    if (!StartsWith(util::LowerCase(s), "re: ")) s = "Re: " + s;
    util::TStringList scratch;
    scratch.SetText("Subject: " + s);
    return scratch.Text();
  }
  return std::string();
}

}  // namespace headers
