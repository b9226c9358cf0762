#include "Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QStringList>
#include <cstdlib>

namespace {

QString Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? QString::fromLocal8Bit(value) : QString();
}

// "ja_JP.UTF-8@modifier" names the locale "ja_JP".
QString LocaleName(QString value) {
  qsizetype cut = value.indexOf(QLatin1Char('.'));
  if (cut >= 0) value.truncate(cut);
  cut = value.indexOf(QLatin1Char('@'));
  if (cut >= 0) value.truncate(cut);
  return value;
}

struct TPair {
  const char* Source;
  const char* Japanese;
};

// The web view's context menu: Qt has no Japanese catalogue for the web engine.
constexpr TPair kWebMenu[] = {
    {"Back", "戻る"},
    {"Forward", "進む"},
    {"Reload", "再読み込み"},
    {"Cut", "切り取り"},
    {"Copy", "コピー"},
    {"Paste", "貼り付け"},
    {"Undo", "元に戻す"},
    {"Redo", "やり直し"},
    {"Select all", "すべて選択"},
    {"Paste and match style", "書式なしで貼り付け"},
    {"Open link in new window", "リンクを新しいウィンドウで開く"},
    {"Open link in new tab", "リンクを新しいタブで開く"},
    {"Copy link address", "リンクのアドレスをコピー"},
    {"Save link", "リンク先を保存"},
    {"Copy image", "画像をコピー"},
    {"Copy image address", "画像のアドレスをコピー"},
    {"Save image", "画像を保存"},
    {"Copy media address", "メディアのアドレスをコピー"},
    {"Show controls", "コントロールを表示"},
    {"Save media", "メディアを保存"},
    {"Inspect", "検証"},
    {"Exit full screen", "全画面表示を終了"},
    {"Save page", "ページを保存"},
    {"View page source", "ページのソースを表示"},
};

class TWebMenuTranslator : public QTranslator {
 public:
  QString translate(const char* context, const char* sourceText, const char*, int) const override {
    if (qstrcmp(context, "RenderViewContextMenuQt") != 0) return {};
    for (const TPair& p : kWebMenu)
      if (qstrcmp(sourceText, p.Source) == 0) return QString::fromUtf8(p.Japanese);
    return {};
  }
  bool isEmpty() const override { return false; }
};

}  // namespace

QLocale ProgramLocale(const QString& lcAll, const QString& lcMessages, const QString& lang) {
  for (const QString& value : {lcAll, lcMessages, lang}) {
    if (value.isEmpty()) continue;
    QString name = LocaleName(value);
    if (name == QLatin1String("C") || name == QLatin1String("POSIX")) break;
    QLocale locale(name);
    // A name Qt does not know gives the C locale: treated as none set.
    if (locale.language() == QLocale::C) break;
    return locale;
  }
  return QLocale(QLocale::Japanese, QLocale::Japan);
}

QLocale ProgramLocale() {
  return ProgramLocale(Env("LC_ALL"), Env("LC_MESSAGES"), Env("LANG"));
}

QString WebEngineFlagsWithLanguage(const QString& flags, const QLocale& locale) {
  for (const QString& flag : flags.split(QLatin1Char(' '), Qt::SkipEmptyParts))
    if (flag.startsWith(QLatin1String("--lang="))) return flags;
  QString result = flags.trimmed();
  if (!result.isEmpty()) result += QLatin1Char(' ');
  return result + QLatin1String("--lang=") + locale.bcp47Name();
}

void SetWebEngineLanguage(const QLocale& locale) {
  QString flags = WebEngineFlagsWithLanguage(Env("QTWEBENGINE_CHROMIUM_FLAGS"), locale);
  ::setenv("QTWEBENGINE_CHROMIUM_FLAGS", flags.toLocal8Bit().constData(), 1);
}

TTranslations::TTranslations(const QLocale& locale) : previous_(QLocale()) {
  QLocale::setDefault(locale);
  const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  // Installed first, asked last: a catalogue of Qt's own wins where it has the text.
  if (locale.language() == QLocale::Japanese)
    translators_.push_back(std::make_unique<TWebMenuTranslator>());
  // "qt" gathers the catalogues of Qt's modules (qtbase and the rest).
  for (const char* name : {"qt", "qtwebengine"}) {
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(locale, QString::fromLatin1(name), QStringLiteral("_"), folder)) continue;
    if (qstrcmp(name, "qt") == 0) qtLoaded_ = true;
    translators_.push_back(std::move(translator));
  }
  for (auto& t : translators_) QCoreApplication::installTranslator(t.get());
}

TTranslations::~TTranslations() {
  for (auto& t : translators_) QCoreApplication::removeTranslator(t.get());
  QLocale::setDefault(previous_);
}
