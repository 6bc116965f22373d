// Texts and the string list: casing, trimming, file-name parts, line rules.
#include <gtest/gtest.h>

#include "util/Errors.h"
#include "util/Text.h"

using util::TStringList;

TEST(TextTest, CasingFollowsAnsiRules) {
  EXPECT_EQ(util::UpperCase("abc\xe9z"), "ABC\xc9Z");
  EXPECT_EQ(util::LowerCase("ABC\xc9Z"), "abc\xe9z");
  // Bytes that are not letters, NUL among them, stay.
  std::string s("a\0\xd7\xf7", 4);
  EXPECT_EQ(util::UpperCase(s), std::string("A\0\xd7\xf7", 4));
  EXPECT_TRUE(util::SameText("Default", "dEFAULT"));
  EXPECT_FALSE(util::SameText("Default", "Defaults"));
}

TEST(TextTest, TrimRemovesEveryControlAndBlank) {
  EXPECT_EQ(util::Trim(std::string("\x01 \t a b \r\n\0", 11)), "a b");
  EXPECT_EQ(util::Trim("   "), "");
  EXPECT_EQ(util::TrimLeft("  x "), "x ");
  EXPECT_EQ(util::TrimRight("  x "), "  x");
  // 0xFF is above 32: it is not trimmed.
  EXPECT_EQ(util::Trim("\xff"), "\xff");
}

TEST(TextTest, IntToStrCoversTheWholeRange) {
  EXPECT_EQ(util::IntToStr(0), "0");
  EXPECT_EQ(util::IntToStr(-46), "-46");
  EXPECT_EQ(util::IntToStr(2147483647), "2147483647");
  EXPECT_EQ(util::IntToStr(-9223372036854775807LL - 1), "-9223372036854775808");
}

TEST(TextTest, PosIsOneBasedAndCaseSensitive) {
  EXPECT_EQ(util::Pos("b", "abcb"), 2);
  EXPECT_EQ(util::Pos("B", "abcb"), 0);
  EXPECT_EQ(util::Pos("", "abc"), 0);
}

TEST(TextTest, FileNamePartsSplitAtTheLastBackslashAndDot) {
  EXPECT_EQ(util::ExtractFilePath("C:\\a\\b.txt"), "C:\\a\\");
  EXPECT_EQ(util::ExtractFilePath("C:b.txt"), "C:");
  EXPECT_EQ(util::ExtractFilePath("b.txt"), "");
  EXPECT_EQ(util::ExtractFileName("C:\\setup.exe\\x.exe"), "x.exe");
  EXPECT_EQ(util::ChangeFileExt("LN.exe", ".dbc"), "LN.dbc");
  EXPECT_EQ(util::ChangeFileExt("LN.exe", ""), "LN");
  EXPECT_EQ(util::ChangeFileExt("C:\\X\\LN.exe", ".dbc"), "C:\\X\\LN.dbc");
  EXPECT_EQ(util::ChangeFileExt("C:\\X.d\\LN", ".dbc"), "C:\\X.d\\LN.dbc");
  EXPECT_EQ(util::ChangeFileExt("LN.pgp.bak", ".tmp"), "LN.pgp.tmp");
}

TEST(StringListTest, SetTextSplitsAtEveryLineBreakKind) {
  TStringList l;
  l.SetText("a\r\nb\rc\nd");
  ASSERT_EQ(l.Count(), 4);
  EXPECT_EQ(l[0], "a");
  EXPECT_EQ(l[1], "b");
  EXPECT_EQ(l[2], "c");
  EXPECT_EQ(l[3], "d");
  l.SetText("a\r\n");  // a break at the very end adds no empty line
  EXPECT_EQ(l.Count(), 1);
  l.SetText("");
  EXPECT_EQ(l.Count(), 0);
  l.SetText("\r\n\n");  // LF CR is two breaks, CR LF one
  EXPECT_EQ(l.Count(), 2);
  l.SetText("\n\r");
  EXPECT_EQ(l.Count(), 2);
  l.SetText(std::string("x\0y\xff", 4));  // NUL and 0xFF are ordinary bytes
  ASSERT_EQ(l.Count(), 1);
  EXPECT_EQ(l[0].size(), 4u);
}

TEST(StringListTest, TextEndsEveryLineWithCrLf) {
  TStringList l;
  EXPECT_EQ(l.Text(), "");
  l.Add("one");
  l.Add("");
  EXPECT_EQ(l.Text(), "one\r\n\r\n");
  TStringList back;
  back.SetText(l.Text());
  EXPECT_EQ(back.Lines(), l.Lines());
}

TEST(StringListTest, EditingKeepsValuesWithTheirLines) {
  TStringList l;
  l.Add("a", 10);
  l.Add("c", 30);
  l.Insert(1, "b", 20);
  l.Delete(0);
  ASSERT_EQ(l.Count(), 2);
  EXPECT_EQ(l[0], "b");
  EXPECT_EQ(l.Value(0), 20);
  EXPECT_EQ(l.Value(1), 30);
  l.SetValue(1, -1);
  EXPECT_EQ(l.Value(1), -1);
  EXPECT_THROW(l.Delete(5), util::EGeneralError);
  EXPECT_THROW(l.Value(-1), util::EGeneralError);
  l.Clear();
  EXPECT_EQ(l.Count(), 0);
}

TEST(StringListTest, IndexOfIgnoresCaseAndTakesTheFirst) {
  TStringList l;
  l.Add("Default");
  l.Add("default");
  EXPECT_EQ(l.IndexOf("DEFAULT"), 0);
  EXPECT_EQ(l.IndexOf("defaults"), -1);
  EXPECT_EQ(l.IndexOf(""), -1);
}
