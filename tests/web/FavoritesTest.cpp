// Where the Favorites are, and which files count as Internet shortcuts.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "support/TempDir.h"
#include "web/Favorites.h"

namespace {

// Sets an environment variable for one test and puts the old value back.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value)
      setenv(name, value, 1);
    else
      unsetenv(name);
  }
  ~ScopedEnv() {
    if (old_)
      setenv(name_, old_->c_str(), 1);
    else
      unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(FavoritesFolder, VariableThenHomeFavoritesThenDataFolder) {
  TempDir home, data, chosen;
  ScopedEnv h("HOME", home.Path().c_str());
  ScopedEnv d("PIYONOTE2_HOME", data.Path().c_str());
  {
    ScopedEnv f("PIYONOTE2_FAVORITES", nullptr);
    EXPECT_EQ(Favorites::Folder(), data.Path() + "/Favorites");
    EXPECT_TRUE(std::filesystem::is_directory(data.Path() + "/Favorites"));
    std::filesystem::create_directory(home.Path() + "/Favorites");
    EXPECT_EQ(Favorites::Folder(), home.Path() + "/Favorites");
  }
  {
    ScopedEnv f("PIYONOTE2_FAVORITES", chosen.Path().c_str());
    EXPECT_EQ(Favorites::Folder(), chosen.Path());
  }
  {
    ScopedEnv f("PIYONOTE2_FAVORITES", "");
    EXPECT_EQ(Favorites::Folder(), home.Path() + "/Favorites");
  }
}

TEST(FavoritesShortcut, ExtensionMatchesInAnyCase) {
  EXPECT_TRUE(Favorites::IsInternetShortcut("/f/news.url"));
  EXPECT_TRUE(Favorites::IsInternetShortcut("/f/x.URL"));
  EXPECT_TRUE(Favorites::IsInternetShortcut("/f/a.b.Url"));
  EXPECT_TRUE(Favorites::IsInternetShortcut("x.url"));
  EXPECT_FALSE(Favorites::IsInternetShortcut("/f/news.url.txt"));
  EXPECT_FALSE(Favorites::IsInternetShortcut("/f/news.urls"));
  EXPECT_FALSE(Favorites::IsInternetShortcut("/f/url"));
  // The dot of a folder name is no extension of the file.
  EXPECT_FALSE(Favorites::IsInternetShortcut("/f/links.url/readme"));
  EXPECT_FALSE(Favorites::IsInternetShortcut(""));
}

}  // namespace

TEST(FavoritesTest, DesktopLinkFilesNameTheirUrlOnlyAsLinks) {
  EXPECT_TRUE(Favorites::IsDesktopLink("/a/b/Site.desktop"));
  EXPECT_TRUE(Favorites::IsDesktopLink("x.DESKTOP"));
  EXPECT_FALSE(Favorites::IsDesktopLink("x.desktop.bak"));
  EXPECT_FALSE(Favorites::IsDesktopLink("x.url"));

  EXPECT_EQ(Favorites::DesktopLinkUrl("[Desktop Entry]\nType=Link\nName=x\nURL=http://a/b\n"),
            "http://a/b");
  // Blanks around "=", CR LF lines, comments, escapes; the first URL wins.
  EXPECT_EQ(Favorites::DesktopLinkUrl("# c\r\n[Desktop Entry]\r\nURL = http://a/b\\sc\r\n"
                                      "URL=http://other/\r\nType = Link\r\n"),
            "http://a/b c");
  // Not a link, no entry group, or the key in another group.
  EXPECT_EQ(Favorites::DesktopLinkUrl("[Desktop Entry]\nType=Application\nURL=http://a/\n"), "");
  EXPECT_EQ(Favorites::DesktopLinkUrl("Type=Link\nURL=http://a/\n"), "");
  EXPECT_EQ(Favorites::DesktopLinkUrl("[Desktop Entry]\nType=Link\n[Other]\nURL=http://a/\n"), "");
  EXPECT_EQ(Favorites::DesktopLinkUrl("[Desktop Entry]\nType=Link\nurl=http://a/\n"), "");
  EXPECT_EQ(Favorites::DesktopLinkUrl(""), "");
}

TEST(FavoritesTest, ShortcutsAreWrittenAsTheProgramReadsThem) {
  EXPECT_EQ(Favorites::ShortcutText("http://a/b?c=1"),
            "[InternetShortcut]\r\nURL=http://a/b?c=1\r\n");
  // A line break cannot smuggle in a second key.
  EXPECT_EQ(Favorites::ShortcutText("http://a/\r\nIconFile=x"),
            "[InternetShortcut]\r\nURL=http://a/IconFile=x\r\n");

  EXPECT_EQ(Favorites::ShortcutFileName("ひよこ/の:ページ", "x"), "ひよこ_の_ページ.url");
  EXPECT_EQ(Favorites::ShortcutFileName("a\tb*?\"<>|\\", "x"), "a_b_______.url");
  EXPECT_EQ(Favorites::ShortcutFileName("../..", "x"), "_...url");
  EXPECT_EQ(Favorites::ShortcutFileName(" .hidden ", "x"), "hidden.url");
  EXPECT_EQ(Favorites::ShortcutFileName("...", "fallback"), "fallback.url");
  EXPECT_EQ(Favorites::ShortcutFileName("", "fallback"), "fallback.url");
  // Cut short, never inside a character.
  std::string longName;
  for (int i = 0; i < 100; ++i) longName += "あ";  // 300 bytes
  std::string cut = Favorites::ShortcutFileName(longName, "x");
  EXPECT_EQ(cut, longName.substr(0, 198) + ".url");
}
