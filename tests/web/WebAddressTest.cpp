// What the address box text opens.
#include <gtest/gtest.h>

#include "web/WebAddress.h"

using web::ParseAddress;
using web::TAddressKind;

TEST(WebAddressTest, BlankOpensNothing) {
  EXPECT_EQ(ParseAddress("").kind, TAddressKind::None);
  EXPECT_EQ(ParseAddress(" \t\r\n").kind, TAddressKind::None);
}

TEST(WebAddressTest, SchemesAreKeptAsTyped) {
  for (const char* url : {"http://example.com/a?b=c", "https://x.jp", "file:///tmp/a.html",
                          "about:blank", "mailto:a@b.jp", "view-source:http://x"}) {
    web::TAddress a = ParseAddress(url);
    EXPECT_EQ(a.kind, TAddressKind::Url) << url;
    EXPECT_EQ(a.text, url);
  }
  EXPECT_EQ(ParseAddress("  http://x.jp/ \r\n").text, "http://x.jp/");
}

TEST(WebAddressTest, BareHostsGetHttp) {
  EXPECT_EQ(ParseAddress("www.example.com").text, "http://www.example.com");
  EXPECT_EQ(ParseAddress("example.com/a/b.html").text, "http://example.com/a/b.html");
  // A port looks like a scheme but is not one.
  EXPECT_EQ(ParseAddress("localhost:8080").text, "http://localhost:8080");
  EXPECT_EQ(ParseAddress("localhost:8080/x").text, "http://localhost:8080/x");
  EXPECT_EQ(ParseAddress("x.jp:80?q").text, "http://x.jp:80?q");
  EXPECT_EQ(ParseAddress("x.jp").kind, TAddressKind::Url);
}

TEST(WebAddressTest, AbsolutePathsAreLocalFiles) {
  web::TAddress a = ParseAddress(" /home/user/a b.html ");
  EXPECT_EQ(a.kind, TAddressKind::LocalPath);
  EXPECT_EQ(a.text, "/home/user/a b.html");
}
