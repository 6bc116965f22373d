// Header fields of a message held as lines: lookup, continuation lines,
// removal, popping, addresses, and the accessor's binding.
#include <gtest/gtest.h>

#include <initializer_list>

#include "headers/HeaderLines.h"
#include "tests/support/Lines.h"

using headers::THeaderLines;
using util::TStringList;
using testsupport::Lines;

namespace {

std::vector<std::string> All(const TStringList& l) { return l.Lines(); }

}  // namespace

TEST(HeaderLinesTest, LookupStopsAtFirstEmptyLine) {
  TStringList body = Lines({"To: a@b.org", "", "From: x@y.org"});
  THeaderLines h(&body);
  EXPECT_EQ(h.FindField("From: "), -1);
  EXPECT_EQ(h.GetFieldValue("From: "), "");
  EXPECT_FALSE(h.HasField("From: "));
  EXPECT_TRUE(h.HasField("To: "));

  // An empty first line: the header is empty, nothing is found.
  TStringList emptyHeader = Lines({"", "From: x@y.org", "To: a@b.org"});
  h.SetLines(&emptyHeader);
  EXPECT_EQ(h.FindField("From: "), -1);
  EXPECT_EQ(h.FindField("To: "), -1);

  // A line of blanks is not empty: the header goes on past it.
  TStringList blanks = Lines({"To: a@b.org", "   ", "From: x@y.org"});
  EXPECT_EQ(h.FindField("From: ", &blanks), 2);
  // An empty name matches nothing.
  EXPECT_EQ(h.FindField(""), -1);
}

TEST(HeaderLinesTest, NameMatchesIgnoringCaseButNeedsBlankAfterColon) {
  TStringList l = Lines({"FROM:x@y.org", "from: me@here.org", "To: first@a.org",
                         "TO: second@a.org", "Subj"});
  THeaderLines h(&l);
  EXPECT_EQ(h.FindField("From: "), 1);
  EXPECT_EQ(h.GetFieldValue("From: "), "me@here.org");
  // Two "To: " lines: the first wins.
  EXPECT_EQ(h.FindField("To: "), 2);
  EXPECT_EQ(h.GetFieldValue("To: "), "first@a.org");
  // A line shorter than the name never matches.
  EXPECT_EQ(h.FindField("Subject: "), -1);
  // ANSI letters beyond ASCII are folded too.
  TStringList ansi = Lines({"\xC4nderung: 1"});
  EXPECT_EQ(h.FindField("\xE4nderung: ", &ansi), 0);
}

TEST(HeaderLinesTest, FieldTextCarriesContinuationLines) {
  TStringList l = Lines({"Subject: Hello", " world", "\tagain", "To: a@b.org", "X: 1", " ",
                         "", " body"});
  THeaderLines h(&l);
  EXPECT_EQ(h.GetFieldText("Subject: "), "Subject: Hello\r\n world\r\n\tagain");
  EXPECT_EQ(h.GetFieldValue("Subject: "), "Hello\r\n world\r\n\tagain");
  EXPECT_EQ(h.GetFieldText("To: "), "To: a@b.org");
  // The empty line stops the run: the body's " body" is not taken.
  EXPECT_EQ(h.GetFieldText("X: "), "X: 1\r\n ");
  EXPECT_EQ(h.GetFieldText("Cc: "), "");

  // A field on the last line, with nothing after it.
  TStringList last = Lines({"To: a@b.org", "Cc: c@d.org"});
  EXPECT_EQ(h.GetFieldText("Cc: ", &last), "Cc: c@d.org");
  // A field with nothing after its name has an empty value.
  TStringList bare = Lines({"Cc: "});
  EXPECT_EQ(h.GetFieldValue("Cc: ", &bare), "");
  EXPECT_TRUE(h.HasField("Cc: "));
}

TEST(HeaderLinesTest, FieldValueIsUntrimmedAndCutAt1024) {
  TStringList l = Lines({"From:  me@here.org  "});
  THeaderLines h(&l);
  EXPECT_EQ(h.GetFieldValue("From: "), " me@here.org  ");

  const std::string longValue(1100, 'v');
  l.Add("Subject: " + longValue);
  const std::string value = h.GetFieldValue("Subject: ");
  EXPECT_EQ(value.size(), 1024u);
  EXPECT_EQ(value, longValue.substr(0, 1024));
  // Exactly 1024 characters are kept whole.
  l.Add("X-Exact: " + std::string(1024, 'e'));
  EXPECT_EQ(h.GetFieldValue("X-Exact: "), std::string(1024, 'e'));
}

TEST(HeaderLinesTest, RemoveFieldDeletesContinuationLinesAndReturnsIndex) {
  TStringList l = Lines({"From: me", "Subject: a", " b", "\tc", "To: x", "", " body"});
  THeaderLines h(&l);
  const auto before = All(l);
  EXPECT_EQ(h.RemoveField("Cc: "), -1);
  EXPECT_EQ(All(l), before);

  EXPECT_EQ(h.RemoveField("subject: "), 1);
  EXPECT_EQ(All(l), (std::vector<std::string>{"From: me", "To: x", "", " body"}));

  // Removal stops at the empty line; the body stays whole.
  EXPECT_EQ(h.RemoveField("To: "), 1);
  EXPECT_EQ(All(l), (std::vector<std::string>{"From: me", "", " body"}));

  // A field on the last line, continuation lines running to the end.
  TStringList tail = Lines({"From: me", "To: x", " y"});
  EXPECT_EQ(h.RemoveField("To: ", &tail), 1);
  EXPECT_EQ(All(tail), (std::vector<std::string>{"From: me"}));
}

TEST(HeaderLinesTest, HeaderEndAndFieldName) {
  TStringList none = Lines({"From: a", "To: b"});
  TStringList some = Lines({"From: a", "", "body", ""});
  TStringList empty;
  THeaderLines h(&none);
  EXPECT_EQ(h.HeaderEnd(), 2);
  h.SetLines(&some);
  EXPECT_EQ(h.HeaderEnd(), 1);
  h.SetLines(&empty);
  EXPECT_EQ(h.HeaderEnd(), 0);

  EXPECT_EQ(THeaderLines::FieldName("Subject: Re: lunch"), "Subject: ");
  EXPECT_EQ(THeaderLines::FieldName("X-Odd:value: more"), "X-Odd:value: ");
  EXPECT_EQ(THeaderLines::FieldName("NoColon here"), "");
  EXPECT_EQ(THeaderLines::FieldName("From:a"), "");
  EXPECT_EQ(THeaderLines::FieldName(""), "");
}

TEST(HeaderLinesTest, PopFieldTakesFieldsUntilHeaderEnds) {
  TStringList l = Lines({"Subject: one", " two", "To: a@b.org", "", "body line"});
  THeaderLines h(&l);
  EXPECT_EQ(h.PopField(), "Subject: one\n two");
  EXPECT_EQ(h.PopField(), "To: a@b.org");
  EXPECT_EQ(h.PopField(), "");
  EXPECT_EQ(All(l), (std::vector<std::string>{"", "body line"}));
  // Further calls change nothing.
  EXPECT_EQ(h.PopField(), "");
  EXPECT_EQ(l.Count(), 2);
}

TEST(HeaderLinesTest, PopFieldOverWholeHeaderWithoutEmptyLine) {
  TStringList l = Lines({"From: me@here.org", "To: a@b.org,", "\tc@d.org", " e@f.org",
                         "Subject: s", "X-Tail: t", " u"});
  THeaderLines h(&l);
  std::vector<std::string> fields;
  for (std::string f = h.PopField(); !f.empty(); f = h.PopField()) fields.push_back(f);
  EXPECT_EQ(fields, (std::vector<std::string>{"From: me@here.org",
                                              "To: a@b.org,\n\tc@d.org\n e@f.org",
                                              "Subject: s", "X-Tail: t\n u"}));
  EXPECT_EQ(l.Count(), 0);
}

TEST(HeaderLinesTest, PopFieldDropsOrphanContinuationsButKeepsHeaderEnd) {
  TStringList l = Lines({" orphan", "\tanother", "From: me", " more", "", "Body: not a field"});
  THeaderLines h(&l);
  EXPECT_EQ(h.PopField(), "From: me\n more");
  EXPECT_EQ(All(l), (std::vector<std::string>{"", "Body: not a field"}));

  // Orphans directly before the empty line: the empty line stays and the
  // body is not popped as a field.
  TStringList o = Lines({" orphan", "", "Body: not a field"});
  h.SetLines(&o);
  EXPECT_EQ(h.PopField(), "");
  EXPECT_EQ(h.PopField(), "");
  EXPECT_EQ(All(o), (std::vector<std::string>{"", "Body: not a field"}));

  // Only orphans: all go, nothing is returned.
  TStringList only = Lines({" a", "\tb"});
  h.SetLines(&only);
  EXPECT_EQ(h.PopField(), "");
  EXPECT_EQ(only.Count(), 0);
}

TEST(HeaderLinesTest, ExtractAddressStopsAtTheSevenDelimiters) {
  THeaderLines h;
  EXPECT_EQ(h.ExtractAddress("no address here"), "");
  EXPECT_EQ(h.ExtractAddress(""), "");
  EXPECT_EQ(h.ExtractAddress("John Doe <jd@example.org>"), "jd@example.org");
  EXPECT_EQ(h.ExtractAddress("a@b.org, c@d.org"), "a@b.org");
  EXPECT_EQ(h.ExtractAddress("mailto=jd@example.org"), "jd@example.org");
  EXPECT_EQ(h.ExtractAddress("x\rjd@example.org\ny"), "jd@example.org");
  EXPECT_EQ(h.ExtractAddress("<jd@example.org>rest"), "jd@example.org");
  // Tab, quotation marks and parentheses belong to the address.
  EXPECT_EQ(h.ExtractAddress("x\t\"jd\"@example.org(Doe)"), "x\t\"jd\"@example.org(Doe)");
  // Only the first "@" is looked at.
  EXPECT_EQ(h.ExtractAddress("a@b@c d@e"), "a@b@c");
  EXPECT_EQ(h.ExtractAddress("@"), "@");
  EXPECT_EQ(h.ExtractAddress(" @ "), "@");
}

TEST(HeaderLinesTest, AddressDomainIsTextAfterFirstAt) {
  THeaderLines h;
  EXPECT_EQ(h.AddressDomain("jd@example.org"), "example.org");
  EXPECT_EQ(h.AddressDomain("Doe <jd@example.org> x@y"), "example.org> x@y");
  EXPECT_EQ(h.AddressDomain("no at"), "");
  EXPECT_EQ(h.AddressDomain("jd@"), "");
  const std::string longDomain(1500, 'd');
  EXPECT_EQ(h.AddressDomain("a@" + longDomain), longDomain.substr(0, 1024));
}

TEST(HeaderLinesTest, AddAddressesSkipsDuplicatesAndCommaInDisplayName) {
  THeaderLines h;
  TStringList target;
  // The display name's comma splits off a piece without "@", which yields the
  // next address again; the duplicate test drops it.
  EXPECT_EQ(h.AddAddresses(target, "\"Doe, John\" <jd@example.org>, Ann <ann@x.org>"), 2);
  EXPECT_EQ(All(target), (std::vector<std::string>{"jd@example.org", "ann@x.org"}));
  // Addresses already held, in other letter case, are not added again.
  EXPECT_EQ(h.AddAddresses(target, "ANN@X.ORG,new@x.org, , bare name,"), 3);
  EXPECT_EQ(All(target), (std::vector<std::string>{"jd@example.org", "ann@x.org", "new@x.org"}));
  EXPECT_EQ(h.AddAddresses(target, ""), 3);

  // After a comma only 1024 characters of the rest are looked at.
  TStringList cut;
  const std::string filler(1100, 'x');
  EXPECT_EQ(h.AddAddresses(cut, "a@b.org," + filler + ",far@away.org"), 1);
  EXPECT_EQ(All(cut), (std::vector<std::string>{"a@b.org"}));
}

TEST(HeaderLinesTest, GetRecipientsCollectsToCcBccOnce) {
  TStringList msg = Lines({"From: me@here.org", "To: Ann <ann@x.org>, bob@y.org",
                           "Cc: ANN@X.ORG", " , carl@z.org", "Bcc: dora@w.org", "",
                           "To: body@not.org"});
  THeaderLines h(&msg);
  TStringList target = Lines({"stale@old.org"});
  EXPECT_EQ(h.GetRecipients(target), 4);
  EXPECT_EQ(All(target),
            (std::vector<std::string>{"ann@x.org", "bob@y.org", "carl@z.org", "dora@w.org"}));

  TStringList noRecipients = Lines({"From: me@here.org"});
  EXPECT_EQ(h.GetRecipients(target, &noRecipients), 0);
  EXPECT_EQ(target.Count(), 0);
}

TEST(HeaderLinesTest, GetAttachmentsTakesExactCaseHeaderLines) {
  TStringList msg = Lines({"Attachment: a.zip", "attachment: lower.zip", "To: x@y.org",
                           "Attachment: a.zip", "", "Attachment: body.zip"});
  THeaderLines h(&msg);
  TStringList target = Lines({"kept"});
  EXPECT_EQ(h.GetAttachments(target), 3);
  EXPECT_EQ(All(target),
            (std::vector<std::string>{"kept", "Attachment: a.zip", "Attachment: a.zip"}));

  // No empty line: the last line is still header.
  TStringList noBody = Lines({"To: x@y.org", "Attachment: last.txt"});
  TStringList t2;
  EXPECT_EQ(h.GetAttachments(t2, &noBody), 1);
  EXPECT_EQ(All(t2), (std::vector<std::string>{"Attachment: last.txt"}));

  // Appending to the bound list itself ends after the original lines.
  TStringList self = Lines({"Attachment: s.txt"});
  EXPECT_EQ(h.GetAttachments(self, &self), 2);
}

TEST(HeaderLinesTest, ListArgumentRebindsForLaterCalls) {
  TStringList a = Lines({"From: a@a.org", "To: ta@a.org", "Attachment: a"});
  TStringList b = Lines({"From: b@b.org", "To: tb@b.org", "Attachment: b"});
  THeaderLines h(&a);
  EXPECT_EQ(h.GetFieldValue("From: "), "a@a.org");
  EXPECT_EQ(h.GetFieldValue("From: ", &b), "b@b.org");
  EXPECT_EQ(h.Lines(), &b);
  EXPECT_EQ(h.GetFieldValue("From: "), "b@b.org");

  // Every kind of operation rebinds, even those that do not read the list.
  h.ExtractAddress("x@y", &a);
  EXPECT_EQ(h.Lines(), &a);
  h.AddressDomain("x@y", &b);
  EXPECT_EQ(h.Lines(), &b);
  TStringList t;
  h.AddAddresses(t, "", &a);
  EXPECT_EQ(h.Lines(), &a);
  h.GetRecipients(t, &b);
  EXPECT_EQ(All(t), (std::vector<std::string>{"tb@b.org"}));
  EXPECT_TRUE(h.HasField("From: ", &a));
  EXPECT_EQ(h.FindField("Attachment: "), 2);
  EXPECT_EQ(h.GetFieldText("From: ", &b), "From: b@b.org");
  EXPECT_EQ(h.RemoveField("Attachment: ", &a), 2);
  EXPECT_EQ(a.Count(), 2);
  EXPECT_EQ(h.Lines(), &a);
  t.Clear();
  EXPECT_EQ(h.GetAttachments(t, &b), 1);
  EXPECT_EQ(h.RemailerDestination(&a), "ta@a.org");
  EXPECT_EQ(h.Lines(), &a);
  // A null argument keeps the binding; SetLines returns the new list.
  EXPECT_EQ(h.FindField("From: ", nullptr), 0);
  EXPECT_EQ(h.Lines(), &a);
  EXPECT_EQ(h.SetLines(&b), &b);
  EXPECT_EQ(h.PopField(), "From: b@b.org");
  EXPECT_EQ(a.Count(), 2);
}

TEST(HeaderLinesTest, UnboundAccessorActsOnEmptyList) {
  THeaderLines h;
  TStringList t = Lines({"x"});
  EXPECT_EQ(h.FindField("From: "), -1);
  EXPECT_FALSE(h.HasField("From: "));
  EXPECT_EQ(h.GetFieldText("From: "), "");
  EXPECT_EQ(h.GetFieldValue("From: "), "");
  EXPECT_EQ(h.RemoveField("From: "), -1);
  EXPECT_EQ(h.HeaderEnd(), 0);
  EXPECT_EQ(h.PopField(), "");
  EXPECT_EQ(h.GetAttachments(t), 1);
  EXPECT_EQ(h.GetRecipients(t), 0);
  EXPECT_EQ(h.RemailerDestination(), "");
  EXPECT_EQ(h.ReplyField("To:"), "");
  EXPECT_EQ(h.ReplyField("References:"), "References: \r\n");
  EXPECT_EQ(h.ReplyReferences(true), "");
  EXPECT_EQ(h.FollowupGroups(), "");
  EXPECT_EQ(h.SetLines(nullptr), nullptr);
}
