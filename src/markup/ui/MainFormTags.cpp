// The main window's tag commands: simple tags wrap the selection at once, the others go
// through their tag dialog first and write nothing when it is cancelled. Field texts go into
// the tags verbatim: the user may want to write anything there, quotes included.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <string>
#include <utility>

#include "app/ui/Application.h"
#include "app/ui/FieldText.h"
#include "app/ui/MainForm.h"
#include "app/ui/UiText.h"
#include "markup/ui/TagDialogs.h"
#include "platform/TextBorder.h"
#include "platform/qt/QtText.h"

namespace {

// Field text goes into the page like pasted text: characters Shift-JIS lacks become what the
// user chose for the editor, and the status bar says so.
std::string ForPage(const QString& text) {
  return TextBorder::ForEditor(Utf16View(text));
}

std::string Text(const QLineEdit* edit) {
  return ForPage(edit->text());
}

std::string Text(const QComboBox* combo) {
  return ForPage(combo->currentText());
}

// ` name="value"`, or nothing for an empty value.
std::string Attribute(const char* name, const std::string& value) {
  if (value.empty()) return {};
  return std::string(" ") + name + "=\"" + value + "\"";
}

// Shows a tag dialog under the given caption; true for OK.
bool Ask(QDialog* dialog, const std::string& caption = {}) {
  if (!dialog || !Application) return false;
  if (!caption.empty()) dialog->setWindowTitle(ToQString(caption));
  return Application->ShowModal(*dialog) == mrOk;
}

std::string InsertCaption(const std::string& name) {
  return "<" + name + ">" + ToCp932(QString::fromUtf8("タグの挿入"));
}

}  // namespace

void TMainForm::ConnectTags() {
  auto on = [this](const char* name, auto handler) {
    connect(Action(name), &QAction::triggered, this, handler);
  };
  auto wrap = [&](const char* name, const char* tag) {
    on(name,
       [this, tag] { WrapSelection(std::string("<") + tag + ">", std::string("</") + tag + ">"); });
  };
  wrap("HtmlB", "b");
  wrap("HtmlI", "i");
  wrap("HtmlU", "u");
  wrap("HtmlBig", "big");
  wrap("HtmlSmall", "small");
  wrap("HtmlCenter", "center");

  // One handler for the headings: the level is the action's tag.
  for (const char* name : {"HtmlH1", "HtmlH2", "HtmlH3", "HtmlH4", "HtmlH5", "HtmlH6", "HtmlH7"}) {
    QAction* action = Action(name);
    on(name, [this, action] {
      std::string level = std::to_string(TActionList::Tag(action));
      WrapSelection("<h" + level + ">", "</h" + level + ">");
    });
  }

  static const std::pair<const char*, const char*> kClassTags[] = {
      {"HtmlP", "p"},           {"HtmlDiv", "div"}, {"HtmlSpan", "span"}, {"HtmlEm", "em"},
      {"HtmlStrong", "strong"}, {"HtmlPre", "pre"}, {"TagCite", "cite"}};
  for (const auto& [action, element] : kClassTags)
    on(action, [this, name = element] { InsertClassTag(name); });
  on("HtmlBlockquote", [this] { InsertCiteTag("blockquote"); });
  on("HtmlDel", [this] { InsertDatetimeTag("del"); });
  on("HtmlIns", [this] { InsertDatetimeTag("ins"); });

  on("HTMLBr", [this] {
    if (!Ask(ClassDLG, InsertCaption("br /"))) return;
    // After the selection, which stays.
    WrapSelection("", "<br" + Attribute("class", Text(ClassDLG->ClassCombo)) + " />");
  });

  on("HtmlF", [this] {
    if (!FontDlg) return;
    // The board accepts no face names.
    if (SegaBbsMode) FontDlg->FontCheck->setChecked(false);
    FontDlg->FontCheck->setEnabled(!SegaBbsMode);
    if (!Ask(FontDlg)) return;
    std::string start = "<font";
    if (FontDlg->ColorCheck->isChecked()) start += " color=" + Text(FontDlg->ColorCombo);
    if (FontDlg->FontCheck->isChecked()) start += " face=\"" + Text(FontDlg->FontEdit) + "\"";
    if (FontDlg->SizeCheck->isChecked()) start += " size=" + Text(FontDlg->SizeCombo);
    WrapSelection(start + ">", "</font>");
  });

  on("HtmlA", [this] {
    if (!Ask(LinkDlg)) return;
    // Percent-encoded where Shift-JIS has no character, so the link keeps working.
    WrapSelection("<a href=\"" + UrlCp932(LinkDlg->UrlEdit->text()) + "\">", "</a>");
  });

  on("HtmlRuby", [this] {
    if (!Ask(RubyDlg)) return;
    WrapSelection("<ruby><rb>", "</rb><rp>" + Text(RubyDlg->FrontEdit) + "</rp><rt>" +
                                    Text(RubyDlg->RubyEdit) + "</rt><rp>" +
                                    Text(RubyDlg->BackEdit) + "</rp></ruby>");
  });

  on("HtmlImg", [this] {
    if (!Ask(ImgDlg)) return;
    std::string img = "<img src=\"" + Text(ImgDlg->SrcEdit) + "\"" +
                      Attribute("alt", Text(ImgDlg->AltEdit)) + " height=\"" +
                      Text(ImgDlg->HeightEdit) + "\" width=\"" + Text(ImgDlg->WidthEdit) + "\" />";
    // Not a wrap: the element replaces the selection.
    FenEdit1->SetSelText(img);
  });
}

void TMainForm::WrapSelection(const std::string& start, const std::string& end) {
  FenEdit1->SetSelText(start + FenEdit1->GetSelText() + end);
}

void TMainForm::InsertClassTag(const std::string& name) {
  if (!Ask(ClassDLG, InsertCaption(name))) return;
  WrapSelection("<" + name + Attribute("class", Text(ClassDLG->ClassCombo)) + ">",
                "</" + name + ">");
}

void TMainForm::InsertCiteTag(const std::string& name) {
  if (!Ask(CiteDlg, InsertCaption(name))) return;
  WrapSelection("<" + name + Attribute("cite", Text(CiteDlg->CiteEdit)) +
                    Attribute("class", Text(CiteDlg->ClassCombo)) + ">",
                "</" + name + ">");
}

void TMainForm::InsertDatetimeTag(const std::string& name) {
  if (!Ask(DatetimeDlg, InsertCaption(name))) return;
  WrapSelection("<" + name + Attribute("cite", Text(DatetimeDlg->CiteEdit)) +
                    Attribute("datetime", Text(DatetimeDlg->DatetimeEdit)) +
                    Attribute("class", Text(DatetimeDlg->ClassCombo)) + ">",
                "</" + name + ">");
}
