#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "markup/TextLines.h"
#include "markup/TextTransforms.h"

using namespace std::string_literals;
namespace TL = TextLines;
namespace TT = TextTransforms;

namespace {

// "ァ" (0x83 0x40) and "＠" (0x81 0x97): double-byte characters, the first with "@" as its
// second byte.
const std::string kA = "\x83\x40";
const std::string kAt = "\x81\x97";

struct Case {
  std::string in;
  std::string out;
};

}  // namespace

TEST(TextLinesTest, SplitCutsAtEveryKindOfBreakAndStopsAtNul) {
  struct SplitCase {
    std::string in;
    std::vector<std::string> lines;
  };
  const SplitCase cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\nb", {"a", "b"}},
      {"a\r\n", {"a"}},
      {"a\rb\nc", {"a", "b", "c"}},
      {"a\n\rb", {"a", "", "b"}},
      {"a\r\r\n", {"a", ""}},
      {"a\r", {"a"}},
      {"\r\n", {""}},
      {"\r\n\r\n", {"", ""}},
      {"a\0b\r\nc"s, {"a"}},
      {"a\r\n\0b"s, {"a"}},
      {"\0a"s, {}},
      {kA + "\r\n" + kA, {kA, kA}},
  };
  for (const SplitCase& c : cases) {
    EXPECT_EQ(TL::Split(c.in), c.lines) << c.in;
  }
}

TEST(TextLinesTest, JoinEndsEveryLineWithCrLf) {
  EXPECT_EQ(TL::Join({}), "");
  EXPECT_EQ(TL::Join({""}), "\r\n");
  EXPECT_EQ(TL::Join({"a", "", "b"}), "a\r\n\r\nb\r\n");
  EXPECT_EQ(TL::Join(TL::Split("a\rb\n")), "a\r\nb\r\n");
}

TEST(TextLinesTest, ReplaceAllMatchesOnlyAtCharacterStarts) {
  struct ReplaceCase {
    std::string text, what, with, out;
  };
  const ReplaceCase cases[] = {
      {"aaa", "aa", "b", "ba"},            // no overlaps
      {"abab", "ab", "abab", "abababab"},  // inserted text not searched again
      {"ABab", "ab", "x", "ABx"},          // case-sensitive
      {"", "a", "b", ""},
      {"abc", "", "x", "abc"},               // nothing to look for
      {kA + "@", "@", "X", kA + "X"},        // the "@" inside the character stays
      {"\x81\x81@", "@", "X", "\x81\x81X"},  // a pair of lead-byte values, then "@"
      {"\x81\r\n@", "\r\n", "|", "\x81|@"},  // a lead byte before CR stands alone
      {"@\0@"s, "@", "X", "X\0X"s},          // NUL kept, matching goes on after it
      {kA + "\0@"s, "@", "X", kA + "\0X"s},
  };
  for (const ReplaceCase& c : cases) {
    EXPECT_EQ(TL::ReplaceAll(c.text, c.what, c.with), c.out) << c.text << " / " << c.what;
  }
}

TEST(TextTransformsTest, ConvPMakesParagraphsAndLineBreaks) {
  const Case cases[] = {
      {"", "<p></p>"},
      {"a", "<p>a</p>"},
      {"a\r\nb", "<p>a<br />\r\nb</p>"},
      {"a\r\nb\r\n\r\nc", "<p>a<br />\r\nb</p>\r\n\r\n<p>c</p>"},
      {"a\r\nb\r\n", "<p>a<br />\r\nb</p>"},
      {"a\r\n\r\n\r\nb", "<p>a</p>\r\n\r\n<p><br />\r\nb</p>"},
      {"a\r\n\r\n\r\n\r\nb", "<p>a</p>\r\n\r\n<p></p>\r\n\r\n<p>b</p>"},
      {kA + "\r\n" + kA, "<p>" + kA + "<br />\r\n" + kA + "</p>"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TT::ConvP(c.in), c.out) << c.in;
  }
}

TEST(TextTransformsTest, EncodingsReplaceTheirCharactersInOrder) {
  const Case html[] = {
      {"a<b>&\"c\"", "a&lt;b&gt;&amp;&quot;c&quot;"},
      {"a&lt;b", "a&amp;lt;b"},  // a second run encodes the first run's ampersands
      {"it's", "it's"},
      {kA + "<", kA + "&lt;"},
  };
  for (const Case& c : html) {
    EXPECT_EQ(TT::HtmlEncode(c.in), c.out) << c.in;
  }
  const Case mail[] = {
      {"a@b", "a&#64;b"},
      {"a.b", "a&#46;b"},
      {"a@b.c.d", "a&#64;b&#46;c&#46;d"},
      {kA, kA},
      {kAt + kA + "@.", kAt + kA + "&#64;&#46;"},
  };
  for (const Case& c : mail) {
    EXPECT_EQ(TT::MailEncode(c.in), c.out) << c.in;
  }
}

TEST(TextTransformsTest, ListsHaveOneItemPerLine) {
  const Case ul[] = {
      {"a\r\nb", "<ul>\r\n<li>a</li>\r\n<li>b</li>\r\n</ul>\r\n"},
      {"a\r\nb\r\n", "<ul>\r\n<li>a</li>\r\n<li>b</li>\r\n</ul>\r\n"},
      {"a\r\n\r\nb", "<ul>\r\n<li>a</li>\r\n<li></li>\r\n<li>b</li>\r\n</ul>\r\n"},
      {"a\nb\rc", "<ul>\r\n<li>a</li>\r\n<li>b</li>\r\n<li>c</li>\r\n</ul>\r\n"},
      {"", "<ul>\r\n</ul>\r\n"},
  };
  for (const Case& c : ul) {
    EXPECT_EQ(TT::MakeList(c.in, "ul"), c.out) << c.in;
  }
  EXPECT_EQ(TT::MakeList("x", "ol"), "<ol>\r\n<li>x</li>\r\n</ol>\r\n");
}

TEST(TextTransformsTest, TablesHaveOneRowPerLineAndCellsAtEverySeparator) {
  const Case comma[] = {
      {"a,b\r\nc",
       "<table border=\"1\">\r\n<tr><td>a</td><td>b</td></tr>\r\n"
       "<tr><td>c</td></tr>\r\n</table>\r\n"},
      {"", "<table border=\"1\">\r\n</table>\r\n"},
      {"a\r\n\r\n",
       "<table border=\"1\">\r\n<tr><td>a</td></tr>\r\n<tr><td></td></tr>\r\n"
       "</table>\r\n"},
      {" a ,,\"b,c\"",
       "<table border=\"1\">\r\n"
       "<tr><td> a </td><td></td><td>\"b</td><td>c\"</td></tr>\r\n</table>\r\n"},
  };
  for (const Case& c : comma) {
    EXPECT_EQ(TT::MakeTable(c.in, ",", 1), c.out) << c.in;
  }
  EXPECT_EQ(TT::MakeTable("a\tb,c", "\t", 12),
            "<table border=\"12\">\r\n<tr><td>a</td><td>b,c</td></tr>\r\n</table>\r\n");
}

TEST(TextTransformsTest, QuotationsMarkEveryLineOrWrapTheWholeText) {
  struct QuoteCase {
    std::string text, mark, out;
  };
  const QuoteCase cases[] = {
      {"x\r\n\r\ny", ">", ">x\r\n>\r\n>y\r\n"},
      {"x", ">", ">x\r\n"},
      {"x\r\n", "> ", "> x\r\n"},
      {"x\ny", "\x81\x84", "\x81\x84x\r\n\x81\x84y\r\n"},
      {"x", "", "x\r\n"},
      {"\0x"s, ">", ""},
  };
  for (const QuoteCase& c : cases) {
    EXPECT_EQ(TT::QuoteLines(c.text, c.mark), c.out) << c.text;
  }
  EXPECT_EQ(TT::QuoteTag("x\r\ny"), "<blockquote><p>x\r\ny</p></blockquote>");
  EXPECT_EQ(TT::QuoteTag("x\ry\n"), "<blockquote><p>x\ry\n</p></blockquote>");
  // The editor would drop everything after a NUL, closing tags included.
  EXPECT_EQ(TT::QuoteTag("x\0y"s), "<blockquote><p>x</p></blockquote>");
}

TEST(TextTransformsTest, DateStampsArePaddedAndUseTheGivenSeparators) {
  auto at = [](int y, int mo, int d, int h, int mi, int s) {
    std::tm t{};
    t.tm_year = y - 1900;
    t.tm_mon = mo - 1;
    t.tm_mday = d;
    t.tm_hour = h;
    t.tm_min = mi;
    t.tm_sec = s;
    return t;
  };
  std::tm t = at(2004, 5, 6, 7, 8, 9);
  EXPECT_EQ(TT::DateStamp(t, "/"), "(2004/05/06)");
  EXPECT_EQ(TT::DateTimeStamp(t, "/", ":"), "(2004/05/06 07:08:09)");
  EXPECT_EQ(TT::DateTimeStamp(t, "-", "."), "(2004-05-06 07.08.09)");
  EXPECT_EQ(TT::DateTimeStamp(at(2026, 12, 31, 23, 59, 59), "/", ":"), "(2026/12/31 23:59:59)");
  EXPECT_EQ(TT::DateTimeStamp(at(999, 1, 1, 0, 0, 0), "/", ":"), "(0999/01/01 00:00:00)");
}
