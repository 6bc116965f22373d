// Remailer destination, mailbox summary lines, and the reply and follow-up
// fields built from the message being answered.
#include <gtest/gtest.h>

#include <cctype>
#include <initializer_list>

#include "app/Version.h"
#include "headers/HeaderLines.h"
#include "tests/support/Lines.h"

using headers::TDateTimeParts;
using headers::THeaderLines;
using util::TStringList;
using testsupport::Lines;

namespace {

headers::TClock FixedClock(int y, int mo, int d, int h, int mi, int s) {
  return [=] { return TDateTimeParts{y, mo, d, h, mi, s}; };
}

unsigned char Byte(const std::string& s, size_t i) { return static_cast<unsigned char>(s.at(i)); }

}  // namespace

TEST(RemailerDestinationTest, FirstQualifyingLineWins) {
  // The header's "To: " comes first, so it wins over the more specific
  // remailer line in the body.
  TStringList m = Lines({"From: me@here.org", "To: dest@a.org", "",
                         "Request-Remailing-To: deep@b.org"});
  THeaderLines h(&m);
  EXPECT_EQ(h.RemailerDestination(), "dest@a.org");

  // An empty "To: " is passed over; lines are trimmed before the test.
  TStringList m2 = Lines({"To: ", "Subject: x", "", "  Anon-To: anon@c.org  "});
  EXPECT_EQ(h.RemailerDestination(&m2), "anon@c.org");

  // Prefixes are exact in letter case.
  TStringList m3 = Lines({"to: lower@x.org", "", "post-to: a.b", "Post-To: alt.test",
                          "Anon-Post-To: later"});
  EXPECT_EQ(h.RemailerDestination(&m3), "alt.test");
  TStringList m4 = Lines({"Anon-Post-To: alt.anon", "To: x@y.org"});
  EXPECT_EQ(h.RemailerDestination(&m4), "alt.anon");
  TStringList m5 = Lines({"From: me", "", "Subject: nothing"});
  EXPECT_EQ(h.RemailerDestination(&m5), "");
}

TEST(RemailerDestinationTest, DestinationIsCutAt255) {
  const std::string longDest(300, 'd');
  TStringList m;
  m.Add("Request-Remailing-To: " + longDest);
  THeaderLines h(&m);
  EXPECT_EQ(h.RemailerDestination(), longDest.substr(0, 255));
  m.Set(0, "To: " + std::string(255, 'e'));
  EXPECT_EQ(h.RemailerDestination(), std::string(255, 'e'));
}

TEST(SummaryTest, OutgoingLineHasEveryPartInOrder) {
  TStringList m = Lines({"From: me@here.org", "To: Ann <ann@x.org>", "Subject: Hi", "", "Body"});
  THeaderLines h;
  h.SetClock(FixedClock(2024, 3, 5, 7, 8, 9));
  const std::string line = h.OutgoingSummary(&m);
  EXPECT_EQ(h.Lines(), &m);

  // 17 + 19 + 11 + 0 + 4 characters, and CR LF after each of the 5 lines.
  ASSERT_EQ(m.Text().size(), 61u);
  const std::string sep = "\xAD";
  const std::string expected =
      std::string("2024-03-05 07:08:09 ->") + "\xA9" + "S" + sep + "ann@x.org" + sep + "Hi" + sep + "61";
  EXPECT_EQ(line, expected);
  EXPECT_EQ(line.size(), 20u + 2 + 1 + 1 + 1 + 9 + 1 + 2 + 1 + 2);
  EXPECT_EQ(Byte(line, 22), 0xA9);
  EXPECT_EQ(Byte(line, 24), 0xAD);
  EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos);
  EXPECT_EQ(app::OutgoingMark, std::string("\xA9"));
}

TEST(SummaryTest, IncomingLineUsesFromAndJoinsFoldedSubject) {
  TStringList m = Lines({"From: \"Doe, J\" <jd@example.org>", "Subject: folded", " line", "",
                         "To: body@not.org"});
  THeaderLines h;
  h.SetClock(FixedClock(1999, 12, 31, 23, 59, 58));
  // 31 + 15 + 5 + 0 + 16 characters, and CR LF after each of the 5 lines.
  ASSERT_EQ(m.Text().size(), 77u);
  const std::string sep = "\xAD";
  const std::string expected = std::string("1999-12-31 23:59:58 <-") + "\xA8" + "N" + sep +
                               "jd@example.org" + sep + "folded line" + sep + "77";
  EXPECT_EQ(h.IncomingSummary(&m), expected);
  EXPECT_EQ(Byte(expected, 22), 0xA8);
}

TEST(SummaryTest, MissingSubjectOrAddressAndEmptyMessage) {
  THeaderLines h;
  h.SetClock(FixedClock(2001, 1, 2, 3, 4, 5));
  const std::string sep = "\xAD";
  TStringList noSubject = Lines({"From: someone"});
  EXPECT_EQ(h.IncomingSummary(&noSubject),
            std::string("2001-01-02 03:04:05 <-") + "\xA8" + "N" + sep + sep + "Re:" + sep + "15");
  TStringList blankSubject = Lines({"Subject: "});
  EXPECT_EQ(h.OutgoingSummary(&blankSubject),
            std::string("2001-01-02 03:04:05 ->") + "\xA9" + "S" + sep + sep + "Re:" + sep + "11");
  TStringList empty;
  EXPECT_EQ(h.OutgoingSummary(&empty),
            std::string("2001-01-02 03:04:05 ->") + "\xA9" + "S" + sep + sep + "Re:" + sep + "0");
}

TEST(SummaryTest, DefaultClockGivesLocalTimeStampShape) {
  TStringList m = Lines({"Subject: s"});
  THeaderLines h;
  const std::string line = h.IncomingSummary(&m);
  ASSERT_GE(line.size(), 20u);
  const std::string shape = "dddd-dd-dd dd:dd:dd ";
  for (size_t i = 0; i < shape.size(); ++i) {
    if (shape[i] == 'd')
      EXPECT_TRUE(std::isdigit(Byte(line, i))) << "position " << i << " in " << line;
    else
      EXPECT_EQ(line[i], shape[i]) << "position " << i;
  }
  const TDateTimeParts now = headers::LocalNow();
  EXPECT_GE(now.year, 2000);
  EXPECT_TRUE(now.month >= 1 && now.month <= 12);
  EXPECT_TRUE(now.hour >= 0 && now.hour <= 23);
}

TEST(ReplyFieldTest, ToTakesReplyToOverFromWhole) {
  TStringList m = Lines({"From: Ann <ann@x.org>", "Reply-To: List <list@x.org>"});
  THeaderLines h(&m);
  EXPECT_EQ(h.ReplyField("To:"), "To: List <list@x.org>\r\n");
  TStringList fromOnly = Lines({"From: \"Doe, J\" <jd@example.org>"});
  h.SetLines(&fromOnly);
  EXPECT_EQ(h.ReplyField("  To:\t"), "To: \"Doe, J\" <jd@example.org>\r\n");
  TStringList neither = Lines({"Subject: x"});
  h.SetLines(&neither);
  EXPECT_EQ(h.ReplyField("To:"), "");
}

TEST(ReplyFieldTest, ToFollowsAuthorAddressMarker) {
  const std::string marker = headers::AuthorAddressMarker;
  TStringList m;
  m.Add("From: Someone <" + marker + ">");
  m.Add("Author-Address: john <AT> example <DOT> org");
  THeaderLines h(&m);
  EXPECT_EQ(h.ReplyField("To:"), "To: john@example.org \r\n");

  // The marker in Reply-To counts too; only the first " <AT> " is replaced,
  // every " <DOT> " is.
  TStringList m2;
  m2.Add("From: real@x.org");
  m2.Add("Reply-To: " + marker);
  m2.Add("Author-Address: a <DOT> b <AT> c <DOT> d <DOT> e <AT> f");
  h.SetLines(&m2);
  EXPECT_EQ(h.ReplyField("To:"), "To: a.b@c.d.e <AT> f \r\n");

  // Compared exactly: the marker in capitals is an ordinary address.
  TStringList m3;
  m3.Add("From: <" + util::UpperCase(marker) + ">");
  m3.Add("Author-Address: john <AT> example <DOT> org");
  h.SetLines(&m3);
  EXPECT_EQ(h.ReplyField("To:"), "To: <" + util::UpperCase(marker) + ">\r\n");
}

TEST(ReplyFieldTest, SubjectGetsReOnce) {
  THeaderLines h;
  TStringList a = Lines({"Subject: re: lunch"});
  TStringList b = Lines({"Subject: RE: lunch"});
  TStringList c = Lines({"Subject: Re:lunch"});
  TStringList d = Lines({"From: x@y.org"});
  TStringList e = Lines({"Subject: long", " tail"});
  h.SetLines(&a);
  EXPECT_EQ(h.ReplyField("Subject:"), "Subject: re: lunch\r\n");
  h.SetLines(&b);
  EXPECT_EQ(h.ReplyField("Subject:"), "Subject: RE: lunch\r\n");
  h.SetLines(&c);
  EXPECT_EQ(h.ReplyField("Subject:"), "Subject: Re: Re:lunch\r\n");
  h.SetLines(&d);
  EXPECT_EQ(h.ReplyField("Subject:"), "Subject: Re: \r\n");
  h.SetLines(&e);
  EXPECT_EQ(h.ReplyField("Subject:"), "Subject: Re: long\r\n tail\r\n");
}

TEST(ReplyFieldTest, ReferencesListsIdentifiersThenOwnMessageId) {
  THeaderLines h;
  TStringList none = Lines({"From: x@y.org"});
  h.SetLines(&none);
  EXPECT_EQ(h.ReplyField("References:"), "References: \r\n");

  TStringList two = Lines({"References: <a@x> <b@y>", "Message-ID: <c@z>"});
  h.SetLines(&two);
  EXPECT_EQ(h.ReplyField("References:"), "References: <a@x>\r\n <b@y>\r\n <c@z>\r\n");

  TStringList ownOnly = Lines({"Message-ID: <c@z>"});
  h.SetLines(&ownOnly);
  EXPECT_EQ(h.ReplyField("References:"), "References: <c@z>\r\n");
}

TEST(ReplyFieldTest, NewsgroupsUsesFollowupToOnePerLine) {
  THeaderLines h;
  TStringList m = Lines({"Newsgroups: alt.posted", "Followup-To: comp.x , comp.y ,comp.z"});
  h.SetLines(&m);
  EXPECT_EQ(h.ReplyField("Newsgroups:"), "Newsgroups: comp.x,\r\n comp.y,\r\n comp.z\r\n");
  TStringList one = Lines({"Newsgroups: alt.one"});
  h.SetLines(&one);
  EXPECT_EQ(h.ReplyField("Newsgroups:"), "Newsgroups: alt.one\r\n");
  TStringList none = Lines({"From: x@y.org"});
  h.SetLines(&none);
  EXPECT_EQ(h.ReplyField("Newsgroups:"), "Newsgroups: \r\n");
}

TEST(ReplyFieldTest, OtherTemplateLinesGiveNothing) {
  TStringList m = Lines({"From: a@b.org", "Cc: c@d.org", "Subject: s", "Newsgroups: alt.x"});
  THeaderLines h(&m);
  for (const char* key : {"to:", "SUBJECT:", "references:", "newsgroups:", "Cc:", "To",
                          "Subject: s", "", "From:"})
    EXPECT_EQ(h.ReplyField(key), "") << key;
  EXPECT_EQ(h.ReplyField("To:"), "To: a@b.org\r\n");
}

TEST(ReplyReferencesTest, OneIdentifierPerLineAndMark) {
  THeaderLines h;
  TStringList m = Lines({"References:  <a@x>   <b@y>\t<c@z> ", " <d@w>"});
  h.SetLines(&m);
  EXPECT_EQ(h.ReplyReferences(false), "<a@x>\n <b@y>\n <c@z>\n <d@w>");
  EXPECT_EQ(h.ReplyReferences(true), "<a@x>\n <b@y>\n <c@z>\n <d@w> \n <>");

  // One identifier: the mark is not added.
  TStringList one = Lines({"References: <a@x>"});
  h.SetLines(&one);
  EXPECT_EQ(h.ReplyReferences(true), "<a@x>");
  TStringList joined = Lines({"References: <a@x><b@y>"});
  h.SetLines(&joined);
  EXPECT_EQ(h.ReplyReferences(true), "<a@x>\n <b@y> \n <>");
  TStringList blank = Lines({"References:    "});
  h.SetLines(&blank);
  EXPECT_EQ(h.ReplyReferences(true), "");
}

TEST(FollowupGroupsTest, BlanksAroundCommasGo) {
  THeaderLines h;
  TStringList news = Lines({"Newsgroups:  alt.a , alt.b ,  alt.c\t", "Followup-To:   "});
  h.SetLines(&news);
  EXPECT_EQ(h.FollowupGroups(), "alt.a,alt.b,alt.c");

  TStringList follow = Lines({"Newsgroups: alt.a", "Followup-To: comp.x   ,\tcomp.y", " ,comp.z"});
  h.SetLines(&follow);
  EXPECT_EQ(h.FollowupGroups(), "comp.x,comp.y,comp.z");
  // Blanks inside a group name (not next to a comma) stay.
  TStringList odd = Lines({"Newsgroups: a b,c"});
  h.SetLines(&odd);
  EXPECT_EQ(h.FollowupGroups(), "a b,c");
}
