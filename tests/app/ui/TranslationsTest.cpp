// The program's language: chosen from the environment, Qt's catalogues installed for it, and
// handed to the web engine.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFileSystemModel>
#include <QPushButton>

#include "app/ui/Translations.h"

namespace {

QString U(const char* utf8) {
  return QString::fromUtf8(utf8);
}

QString CancelButtonText() {
  QDialogButtonBox box(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  return box.button(QDialogButtonBox::Cancel)->text();
}

}  // namespace

TEST(TranslationsTest, LocaleFollowsTheEnvironmentWithJapaneseWhenNoneIsSet) {
  const QLocale japanese(QLocale::Japanese, QLocale::Japan);
  EXPECT_EQ(ProgramLocale("", "", ""), japanese);
  EXPECT_EQ(ProgramLocale("", "", "C.UTF-8"), japanese);
  EXPECT_EQ(ProgramLocale("POSIX", "", "de_DE.UTF-8"), japanese);  // LC_ALL overrides LANG
  EXPECT_EQ(ProgramLocale("", "", "qq_QQ"), japanese);
  EXPECT_EQ(ProgramLocale("", "", "de_DE.UTF-8").language(), QLocale::German);
  EXPECT_EQ(ProgramLocale("", "en_GB.UTF-8", "de_DE.UTF-8").territory(), QLocale::UnitedKingdom);
  EXPECT_EQ(ProgramLocale("fr_FR@euro", "en_GB", "de_DE").language(), QLocale::French);
  EXPECT_EQ(ProgramLocale("", "", "ja_JP.eucJP"), japanese);
}

TEST(TranslationsTest, WebEngineGetsTheLanguageUnlessTheFlagsNameOne) {
  const QLocale japanese(QLocale::Japanese, QLocale::Japan);
  EXPECT_EQ(WebEngineFlagsWithLanguage("", japanese), "--lang=ja");
  EXPECT_EQ(WebEngineFlagsWithLanguage("--disable-gpu ", japanese), "--disable-gpu --lang=ja");
  EXPECT_EQ(WebEngineFlagsWithLanguage("--lang=de --disable-gpu", japanese),
            "--lang=de --disable-gpu");
}

TEST(TranslationsTest, JapaneseStandardButtonsHeadersAndWebMenuWhileInstalled) {
  ASSERT_EQ(CancelButtonText(), "Cancel");
  {
    TTranslations translations(QLocale(QLocale::Japanese, QLocale::Japan));
    ASSERT_TRUE(translations.QtCatalogLoaded());
    EXPECT_EQ(QLocale().language(), QLocale::Japanese);
    EXPECT_TRUE(CancelButtonText().startsWith(U("キャンセル"))) << CancelButtonText().toStdString();
    // The Favorites list's columns come from Qt's file model.
    QFileSystemModel model;
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), U("名前"));
    EXPECT_EQ(QCoreApplication::translate("RenderViewContextMenuQt", "Open link in new window"),
              U("リンクを新しいウィンドウで開く"));
    EXPECT_EQ(QCoreApplication::translate("RenderViewContextMenuQt", "Something new"),
              "Something new");
  }
  EXPECT_EQ(CancelButtonText(), "Cancel");  // removed again
  EXPECT_NE(QLocale().language(), QLocale::Japanese);
}

TEST(TranslationsTest, AnEnglishDesktopKeepsQtsEnglish) {
  TTranslations translations(QLocale(QLocale::English, QLocale::UnitedStates));
  EXPECT_EQ(CancelButtonText(), "Cancel");
  EXPECT_EQ(QCoreApplication::translate("RenderViewContextMenuQt", "Save page"), "Save page");
}
