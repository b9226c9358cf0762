// The language the program speaks around its own texts: Qt's dialogs and buttons and the web
// engine's menus and error pages follow the desktop's locale, and Japanese when the desktop
// sets none (a bare "C" locale is what a session without one gets).
#pragma once
#include <QLocale>
#include <QString>
#include <QTranslator>
#include <memory>
#include <vector>

// The locale from the values of LC_ALL, LC_MESSAGES and LANG, the first one set winning.
QLocale ProgramLocale(const QString& lcAll, const QString& lcMessages, const QString& lang);
// The same, from the process environment.
QLocale ProgramLocale();

// Chromium's flags with the locale's language added, unless they already name one.
QString WebEngineFlagsWithLanguage(const QString& flags, const QLocale& locale);
// Gives the web engine the locale's language; call before the first web view exists.
void SetWebEngineLanguage(const QLocale& locale);

// Makes the locale the default and installs Qt's translations for it, for as long as it lives.
class TTranslations {
 public:
  explicit TTranslations(const QLocale& locale);
  ~TTranslations();
  TTranslations(const TTranslations&) = delete;
  TTranslations& operator=(const TTranslations&) = delete;

  // True when Qt's own catalogue for the locale was found (English needs none).
  bool QtCatalogLoaded() const { return qtLoaded_; }

 private:
  std::vector<std::unique_ptr<QTranslator>> translators_;
  QLocale previous_;
  bool qtLoaded_ = false;
};
