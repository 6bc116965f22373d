// THeaderLines: reads and edits the mail/news header of a message held as a
// list of lines, and builds the product's reply, follow-up and summary lines.
#pragma once
#include <functional>
#include <string>

#include "util/Text.h"

namespace headers {

// A message is a list of lines: header lines ("Name: value", a field name
// being the text up to and including its first ": "), then one empty line,
// then the body. A line that starts with a blank or a tab continues the field
// above it. A list with no empty line is all header.

// The pseudo-address an author puts in Reply-To or From to ask that answers go
// to the address spelled out in "Author-Address: " (" <AT> " for "@",
// " <DOT> " for "."). Compared exactly, letter case included.
inline const std::string AuthorAddressMarker = "use-author-address-header@[127.0.0.1]";

// Local calendar time, as the summary line's stamp shows it.
struct TDateTimeParts {
  int year = 0;
  int month = 0;   // 1..12
  int day = 0;     // 1..31
  int hour = 0;    // 0..23
  int minute = 0;
  int second = 0;
};
using TClock = std::function<TDateTimeParts()>;
// The running system's current local date and time.
TDateTimeParts LocalNow();

class THeaderLines {
 public:
  // The accessor never owns its list. Every operation below that takes an
  // optional list rebinds the accessor to it when it is not null, and stays
  // bound to it afterwards. With no list bound, operations act as on an empty
  // list. Field names carry their colon and blank: "From: ", "To: ".
  explicit THeaderLines(util::TStringList* lines = nullptr) : lines_(lines) {}

  util::TStringList* SetLines(util::TStringList* lines);
  util::TStringList* Lines() const { return lines_; }

  // --- Reading and editing fields ---------------------------------------
  // Index of the first header line that starts with name (ignoring letter
  // case), or -1.
  int FindField(const std::string& name, util::TStringList* list = nullptr);
  bool HasField(const std::string& name, util::TStringList* list = nullptr);
  // The field's line and its continuation lines joined by CR LF; "" if absent.
  std::string GetFieldText(const std::string& name, util::TStringList* list = nullptr);
  // GetFieldText after the name, at most MaxValueLength characters, untrimmed.
  std::string GetFieldValue(const std::string& name, util::TStringList* list = nullptr);
  // Deletes the field with its continuation lines; returns the index where its
  // first line stood (for a replacement), or -1 with the list unchanged.
  int RemoveField(const std::string& name, util::TStringList* list = nullptr);
  // Index of the first empty line, or the line count when there is none.
  int HeaderEnd() const;
  // The line up to and including its first ": ", or "".
  static std::string FieldName(const std::string& line);
  // Takes the first field off the front of the list, its continuation lines
  // joined to it by LF; "" once the header has ended.
  std::string PopField();

  // --- Addresses -------------------------------------------------------------
  // The first mail address in text (around its first "@"), or "".
  std::string ExtractAddress(const std::string& text, util::TStringList* list = nullptr);
  // The text after the first "@", at most MaxValueLength characters.
  std::string AddressDomain(const std::string& text, util::TStringList* list = nullptr);
  // Appends each address of a comma-separated text that target lacks (letter
  // case ignored); returns target's count.
  int AddAddresses(util::TStringList& target, const std::string& text,
                   util::TStringList* list = nullptr);
  // Clears target, then collects the To, Cc and Bcc addresses once each.
  int GetRecipients(util::TStringList& target, util::TStringList* list = nullptr);
  // Appends every header line starting with "Attachment: " (exact case).
  int GetAttachments(util::TStringList& target, util::TStringList* list = nullptr);

  // --- Outgoing and incoming messages -------------------------------------
  // The destination of the first remailer instruction or "To: " line (body
  // included) that names one, at most MaxDestinationLength characters.
  std::string RemailerDestination(util::TStringList* list = nullptr);
  // One mailbox summary line: stamp, direction, mark, status, address,
  // subject, size. The message argument rebinds the accessor.
  std::string OutgoingSummary(util::TStringList* message);
  std::string IncomingSummary(util::TStringList* message);
  // The stamp's clock; LocalNow unless replaced (tests fix it).
  void SetClock(TClock clock) { clock_ = std::move(clock); }

  // --- Replies and follow-ups (the bound list is the message answered) ----
  // Expands one template line "To:", "Subject:", "References:" or
  // "Newsgroups:" to its field lines, each followed by CR LF; "" otherwise.
  std::string ReplyField(const std::string& templateLine);
  // The "References: " identifiers one per line, further lines indented by a
  // blank; with markFlag and more than one line, a last line " <>" follows.
  std::string ReplyReferences(bool markFlag);
  // Follow-up groups (Followup-To, else Newsgroups) as "a,b,c".
  std::string FollowupGroups();

  static constexpr size_t MaxValueLength = 1024;
  static constexpr size_t MaxDestinationLength = 255;

 private:
  void Rebind(util::TStringList* list) {
    if (list) lines_ = list;
  }
  int LineCount() const { return lines_ ? lines_->Count() : 0; }
  std::string Summary(util::TStringList* message, const std::string& arrow,
                      const std::string& mark, const std::string& status,
                      bool outgoing);
  std::string StampText() const;
  std::string ReplyTo();
  std::string ReplyReferencesField();
  std::string ReplyNewsgroupsField();

  util::TStringList* lines_;
  TClock clock_;
};

}  // namespace headers
