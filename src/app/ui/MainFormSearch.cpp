// The find and replace dialogs and the editor's search events: the dialogs start searches,
// the editor asks this window to match text (the host matcher) and reports hits, misses and
// replacements, which are shown here.
#include <QAction>

#include "Application.h"
#include "EditorPane.h"
#include "FenEdit/FindMatcher.h"
#include "FieldText.h"
#include "FindDialogs.h"
#include "MainForm.h"
#include "UiText.h"
#include "platform/qt/QtText.h"

void TMainForm::ConnectSearch() {
  FindDialog1 = new TFindDialog(this);
  FindDialog1->OnFind = [this] { FindDialog1Find(); };
  ReplaceDialog1 = new TReplaceDialog(this);
  ReplaceDialog1->OnFind = [this] { ReplaceDialog1Find(); };
  ReplaceDialog1->OnReplace = [this](bool all) { ReplaceDialog1Replace(all); };
  connect(Action("SearchFind"), &QAction::triggered, this, &TMainForm::SearchFindExecute);
  connect(Action("SearchReplace"), &QAction::triggered, this, &TMainForm::SearchReplaceExecute);

  TFenEdit& e = *FenEdit1;
  e.OnFind = [](TObject*, std::string_view str, const std::string& what, int, int& x, int&) {
    x = FindMatch(str, what);
  };
  e.OnFindHit = [this](TObject*, const std::string&, int, int, int, int) {
    FenEdit1->HighlightHit(FindColor);
  };
  e.OnFindNoHit = [](TObject*, const std::string& what) {
    if (!Application) return;
    Application->MessageDlg(
        QString::fromUtf8("「%1」は見つかりませんでした。").arg(ToQString(what)),
        TMsgDlgType::mtInformation, mbOK);
  };
  e.OnFindChange = [this](TObject*, const std::string&, const std::string&, int, int, int, int,
                          bool& change, bool& ask, bool& abort) {
    FenEdit1->HighlightHit(clBlue);
    int answer = Application ? Application->MessageDlg(QString::fromUtf8("置換しますか？"),
                                                       TMsgDlgType::mtInformation,
                                                       mbYes | mbNo | mbAbort | mbAll)
                             : mrAbort;
    switch (answer) {
      case mrYes:
        change = true;
        break;
      case mrAbort:
        abort = true;
        break;
      case mrAll:
        ask = false;
        break;
      default:  // No, or the box closed another way
        change = false;
        break;
    }
  };
  e.OnFindChangeEnd = [](TObject*, const std::string&, const std::string&, int count) {
    if (!Application) return;
    Application->MessageDlg(QString::number(count) + QString::fromUtf8(" 個置換しました。"),
                            TMsgDlgType::mtInformation, mbOK);
  };
}

namespace {
// The search text in code page 932. One with a character Shift-JIS lacks cannot be in the
// text: it finds nothing, and the user is told why.
std::optional<std::string> SearchText(const QString& text) {
  CodePage::TConversion c = CodePage::ConvertUtf16(Utf16View(text), CodePage::TUnmapped::Question);
  if (c.Lossless()) return std::move(c.Text);
  if (Application)
    Application->MessageDlg(
        QString::fromUtf8("「%1」は見つかりませんでした。\nShift-JIS にない文字を含んでいます: %2")
            .arg(text, UnmappedNames(c)),
        TMsgDlgType::mtInformation, mbOK);
  return std::nullopt;
}
}  // namespace

void TMainForm::SearchFindExecute() {
  FindDialog1->Execute();
}

void TMainForm::SearchReplaceExecute() {
  ReplaceDialog1->Execute();
}

// A new search text always starts at the top and goes forward; the same text goes on in the
// chosen direction.
void TMainForm::FindDialog1Find() {
  std::optional<std::string> found = SearchText(FindDialog1->FindText());
  if (!found) return;
  std::string text = std::move(*found);
  if (text != LastFindText) {
    LastFindText = text;
    FenEdit1->SetFindText(text);
    FenEdit1->FindFirst();
  } else if (FindDialog1->Down()) {
    FenEdit1->FindNext();
  } else {
    FenEdit1->FindPrev();
  }
}

void TMainForm::ReplaceDialog1Find() {
  std::optional<std::string> found = SearchText(ReplaceDialog1->FindText());
  if (!found) return;
  std::string text = std::move(*found);
  if (text != LastFindText) {
    LastFindText = text;
    FenEdit1->SetFindText(text);
    FenEdit1->FindFirst();
  } else {
    FenEdit1->FindNext();
  }
}

// The replace button goes through the whole text from the top, asking before each
// replacement (Yes, No, Abort, or All for the rest); the replace-all button replaces from
// the caret to the end without asking.
void TMainForm::ReplaceDialog1Replace(bool all) {
  std::optional<std::string> found = SearchText(ReplaceDialog1->FindText());
  if (!found) return;
  std::optional<std::string> replacement =
      FieldCp932(ReplaceDialog1->ReplaceText(), QString::fromUtf8("置換後の文字列"));
  if (!replacement) return;
  const std::string& find = *found;
  const std::string& replace = *replacement;
  if (all) {
    FenEdit1->ReplaceText(find, replace, true, false, false);
  } else {
    FenEdit1->ReplaceText(find, replace, true, true, true);
  }
  editor_->SetFocus();
}
