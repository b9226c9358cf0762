// The web-shortcut lines: the file format, the name/URL split and the hint lookup by name.
#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include "support/TempDir.h"
#include "web/WebShortcuts.h"

namespace {

using Lines = std::vector<std::string>;
using namespace std::string_literals;

TEST(WebShortcutsFormat, LinesEndAtAnyBreakAndAtNul) {
  EXPECT_EQ(WebShortcuts::Parse(""), Lines{});
  EXPECT_EQ(WebShortcuts::Parse("a=1\r\nb=2\r\n"), (Lines{"a=1", "b=2"}));
  EXPECT_EQ(WebShortcuts::Parse("a=1\nb=2\rc=3"), (Lines{"a=1", "b=2", "c=3"}));
  // A break at the very end starts no line; an empty line in between is kept.
  EXPECT_EQ(WebShortcuts::Parse("a\r\n\r\nb\n"), (Lines{"a", "", "b"}));
  EXPECT_EQ(WebShortcuts::Parse("\n"), Lines{""});
  // LF CR is two breaks, CR LF one.
  EXPECT_EQ(WebShortcuts::Parse("a\n\rb"), (Lines{"a", "", "b"}));
  EXPECT_EQ(WebShortcuts::Parse("a=1\r\nb\0=2\r\nc"s), (Lines{"a=1", "b"}));
}

TEST(WebShortcutsFormat, EveryLineIsWrittenWithCrLf) {
  EXPECT_EQ(WebShortcuts::Format({}), "");
  EXPECT_EQ(WebShortcuts::Format({"a=1", "", "b=2"}), "a=1\r\n\r\nb=2\r\n");
  // A file written by hand with LF comes back with CR LF.
  EXPECT_EQ(WebShortcuts::Format(WebShortcuts::Parse("x=1\ny=2")), "x=1\r\ny=2\r\n");
}

TEST(WebShortcutsLine, NameEndsAtTheFirstEqualsSign) {
  const std::string query = "search=http://example.jp/?q=a&r=b";
  EXPECT_EQ(WebShortcuts::Name(query), "search");
  EXPECT_EQ(WebShortcuts::Url(query), "http://example.jp/?q=a&r=b");
  EXPECT_EQ(WebShortcuts::Name("=http://a/"), "");
  EXPECT_EQ(WebShortcuts::Url("=http://a/"), "http://a/");
  EXPECT_EQ(WebShortcuts::Name("no equals"), "");
  EXPECT_EQ(WebShortcuts::Url("no equals"), "");
  EXPECT_EQ(WebShortcuts::Line("n", "u=v"), "n=u=v");
}

TEST(WebShortcutsLine, NamesMatchWithoutLetterCase) {
  EXPECT_TRUE(WebShortcuts::SameName("News", "nEWS"));
  EXPECT_FALSE(WebShortcuts::SameName("News", "News2"));
  EXPECT_TRUE(WebShortcuts::SameName("", ""));
  // Full-width Ｎｅｗｓ against ｎＥＷＳ, Greek Α/α, Cyrillic Я/я (past the gap at 0x847F).
  EXPECT_TRUE(WebShortcuts::SameName("\x82\x6d\x82\x85\x82\x97\x82\x93",
                                     "\x82\x8e\x82\x64\x82\x76\x82\x72"));
  EXPECT_TRUE(WebShortcuts::SameName("\x83\x9f", "\x83\xbf"));
  EXPECT_TRUE(WebShortcuts::SameName("\x84\x60", "\x84\x91"));
  // The second byte of "ア" (0x83 0x41) is no 'A': it must not match 0x83 0x61.
  EXPECT_FALSE(WebShortcuts::SameName("\x83\x41", "\x83\x61"));
  // Nor does a lead byte pair with an ASCII letter.
  EXPECT_FALSE(WebShortcuts::SameName("\x83\x41",
                                      "\x83"
                                      "a"));
}

TEST(WebShortcutsLine, TheFirstLineWithTheNameGivesTheUrl) {
  const Lines lines = {"plain", "News=http://first/", "news=http://second/", "q=http://x/?a=b"};
  EXPECT_EQ(WebShortcuts::UrlForName(lines, "News"), "http://first/");
  EXPECT_EQ(WebShortcuts::UrlForName(lines, "news"), "http://first/");
  EXPECT_EQ(WebShortcuts::UrlForName(lines, "q"), "http://x/?a=b");
  // A line without "=" has an empty name but bears no URL.
  EXPECT_EQ(WebShortcuts::UrlForName(lines, ""), "");
  EXPECT_EQ(WebShortcuts::UrlForName({"plain", "=http://nameless/"}, ""), "http://nameless/");
  EXPECT_EQ(WebShortcuts::UrlForName(lines, "none"), "");
}

// The one-pass index finds, for every line, the URL the line-by-line search finds.
TEST(WebShortcutsLine, UrlIndexAgreesWithTheSearchForEveryLine) {
  const char* names[] = {"News",
                         "nEWS",
                         "",
                         "plain",
                         "\x82\x6d\x82\x85",
                         "\x82\x8e\x82\x64",  // full-width Ne / ne
                         "\x83\x41",
                         "\x83\x61",
                         "\x83"
                         "a",
                         "\x83"
                         "A",
                         "\x83"};
  unsigned seed = 7;
  auto next = [&seed](unsigned n) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) % n;
  };
  for (int round = 0; round < 200; ++round) {
    Lines lines;
    for (unsigned n = next(10); n > 0; --n) {
      std::string name = names[next(std::size(names))];
      lines.push_back(next(4) == 0 ? name : name + "=u" + std::to_string(lines.size()));
    }
    std::vector<size_t> sources = WebShortcuts::UrlSources(lines);
    ASSERT_EQ(sources.size(), lines.size());
    for (size_t i = 0; i < lines.size(); ++i) {
      std::string expected = WebShortcuts::UrlForName(lines, WebShortcuts::Name(lines[i]));
      std::string found = sources[i] == WebShortcuts::kNoUrl
                              ? ""
                              : std::string(WebShortcuts::Url(lines[sources[i]]));
      ASSERT_EQ(expected, found) << "round " << round << " line " << i;
    }
  }
}

TEST(WebShortcutsFile, ReadsWritesAndTellsMissingFromUnreadable) {
  TempDir dir;
  Lines lines = {"stale"};
  EXPECT_EQ(WebShortcuts::Read(dir.File("none.kdw"), lines), WebShortcuts::TReadResult::Missing);
  EXPECT_TRUE(lines.empty());

  std::string path = dir.Write("p.kdw", "a=1\nb=2");
  ASSERT_EQ(WebShortcuts::Read(path, lines), WebShortcuts::TReadResult::Read);
  EXPECT_EQ(lines, (Lines{"a=1", "b=2"}));
  ASSERT_TRUE(WebShortcuts::Write(path, lines));
  EXPECT_EQ(TempDir::Read(path), "a=1\r\nb=2\r\n");
  ASSERT_TRUE(WebShortcuts::Write(path, {}));
  EXPECT_EQ(TempDir::Read(path), "");

  // A folder where the file should be cannot be read, and is not written over.
  std::filesystem::create_directory(dir.File("dir.kdw"));
  std::string error;
  EXPECT_EQ(WebShortcuts::Read(dir.File("dir.kdw"), lines, &error),
            WebShortcuts::TReadResult::Unreadable);
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(WebShortcuts::Write(dir.File("dir.kdw"), {"a=1"}, &error));
  EXPECT_TRUE(std::filesystem::is_directory(dir.File("dir.kdw")));
}

}  // namespace
