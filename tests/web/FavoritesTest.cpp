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
