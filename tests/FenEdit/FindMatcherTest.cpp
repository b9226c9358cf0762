#include <gtest/gtest.h>

#include <random>
#include <string>

#include "FenEdit/FindMatcher.h"
#include "platform/CodePage.h"

namespace {

using namespace std::string_literals;

// First match at a character start, found by walking the characters from the front.
int ModelMatch(std::string s, std::string what) {
  s = s.substr(0, s.find('\0'));
  what = what.substr(0, what.find('\0'));
  if (what.empty()) return 0;
  for (size_t i = 0; i < s.size();) {
    if (s.compare(i, what.size(), what) == 0) return static_cast<int>(i) + 1;
    bool pair = CodePage::IsDBCSLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() &&
                s[i + 1] != '\r' && s[i + 1] != '\n';
    i += pair ? 2 : 1;
  }
  return 0;
}

}  // namespace

TEST(FindMatcher, Table) {
  struct Case {
    std::string str, what;
    int x;
  } cases[] = {
      {"xxabc", "abc", 3},
      {"abcabc", "abc", 1},
      {"abc", "abcd", 0},
      {"abc", "", 0},
      {"", "a", 0},
      {"ab\0cd"s, "cd", 0},    // the text ends at its NUL
      {"abcd", "bc\0zz"s, 2},  // so does the search string
      {"abcd", "\0bc"s, 0},    // empty once cut
      {"AbC", "abc", 0},       // exact bytes
      {"\x81\x40@", "@", 3},   // '@' is the trail of a full-width space first
      {"\x83\x41"
       "A",
       "A", 3},                             // 'A' is the trail of katakana a
      {"\x82\xa0\x82\xa2", "\xa0\x82", 0},  // second half of one, first half of the next
      {"\x93\xfa\x93\xfa", "\xfa\x93", 0},  // trail bytes that look like lead bytes
      {"\x93\xfa\x93\xfa", "\x93\xfa", 1},
      {"a\x93\xfa\x93\xfa", "\x93\xfa", 2},
      {"\xfa\x93\xfa\x93", "\x93", 0},
      {"\x93\xfa\x93", "\xfa\x93", 0},  // a lone lead byte at the end
      {"\x82\r\n", "\r\n", 2},          // a lead byte never pairs with a line break
      {"\x82\n", "\n", 2},
      {"x\x82\xa0y\x82\xa0", "\x82\xa0y", 2},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.x, FindMatch(c.str, c.what))
        << "str " << testing::PrintToString(c.str) << " what " << testing::PrintToString(c.what);
  }
}

TEST(FindMatcher, LongRunsOfDoubleByteCharacters) {
  std::string run;
  for (int i = 0; i < 5000; ++i) run += "\x93\xfa";
  EXPECT_EQ(0, FindMatch(run + "a", "\xfa\x93"));
  EXPECT_EQ(10001, FindMatch(run + "a", "a"));
  EXPECT_EQ(10002, FindMatch("a" + run +
                                 "\x93\xfa"
                                 "b",
                             "\x93\xfa"
                             "b"));
  // Odd offset: every candidate is a trail byte.
  EXPECT_EQ(0, FindMatch("a" + run, "\xfa\x93\xfa"));
}

TEST(FindMatcher, RandomAgainstCharacterWalk) {
  std::mt19937 rng(7);
  const std::string alphabet = "ab@A\r\n\x81\x82\x83\x93\xa0\xfa\x40\x41";
  auto gen = [&](int maxLen) {
    std::string s;
    int n = std::uniform_int_distribution<int>(0, maxLen)(rng);
    for (int i = 0; i < n; ++i)
      s += alphabet[std::uniform_int_distribution<size_t>(0, alphabet.size() - 1)(rng)];
    return s;
  };
  for (int i = 0; i < 20000; ++i) {
    std::string s = gen(40), w = gen(3);
    ASSERT_EQ(ModelMatch(s, w), FindMatch(s, w))
        << "str " << testing::PrintToString(s) << " what " << testing::PrintToString(w);
  }
}
