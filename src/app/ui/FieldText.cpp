#include "FieldText.h"

#include "Application.h"
#include "platform/qt/QtText.h"

QString UnmappedNames(const CodePage::TConversion& c) {
  QStringList names;
  for (char32_t ch : c.Samples) {
    QString code = QString::fromLatin1(CodePage::CodePointName(ch).c_str());
    // A broken sequence has no character to show.
    names << (ch == 0xFFFD ? code : QString::fromUcs4(&ch, 1) + QStringLiteral(" (") + code + ')');
  }
  QString list = names.join(QString::fromUtf8("、"));
  if (c.Unmapped > c.Samples.size()) list += QString::fromUtf8(" など");
  return list;
}

QString UnmappedReport(const CodePage::TConversion& c, CodePage::TUnmapped as) {
  QString how = as == CodePage::TUnmapped::Question ? QString::fromUtf8("「?」")
                                                    : QString::fromUtf8("文字参照");
  return QString::fromUtf8("Shift-JIS にない %1 文字を%2にしました: %3")
      .arg(c.Unmapped)
      .arg(how, UnmappedNames(c));
}

std::optional<std::string> FieldCp932(const QString& text, const QString& field) {
  CodePage::TConversion c = CodePage::ConvertUtf16(Utf16View(text), CodePage::TUnmapped::Question);
  if (c.Lossless()) return std::move(c.Text);
  if (Application)
    Application->MessageDlg(
        QString::fromUtf8("%1に Shift-JIS で使えない文字があります: %2\nこの文字を除いてください。")
            .arg(field, UnmappedNames(c)),
        TMsgDlgType::mtError, mbOK);
  return std::nullopt;
}

std::string UrlCp932(const QString& text) {
  return CodePage::ConvertUtf16(Utf16View(text), CodePage::TUnmapped::Percent).Text;
}
