// The main window's commands that rewrite text into HTML, paste quotations, stamp the date
// and trim lines. Each rewrite ends in one SetSelText, so one undo takes it back.
#include <QAction>
#include <QLineEdit>
#include <ctime>

#include "app/ui/MainForm.h"
#include "app/ui/OptionDlg.h"
#include "app/ui/UiText.h"
#include "markup/TextTransforms.h"
#include "platform/Clipboard.h"

namespace TT = TextTransforms;

namespace {

// The selected text; with nothing selected the whole text is selected first, so the result
// replaces it.
std::string SelectionOrAll(TFenEdit& e) {
  if (!e.IsSelected()) e.SelectAll();
  return e.GetSelText();
}

// The quote mark as the option dialog's field holds it now, byte for byte.
std::string QuoteMark() {
  if (!OptionDlg) return ">";
  return ToCp932(OptionDlg->QuotePasteMarkEdit->text());
}

std::tm LocalNow() {
  std::time_t now = std::time(nullptr);
  std::tm t{};
  localtime_r(&now, &t);
  return t;
}

// Linux locales carry no date or time separator of their own that users set (only whole
// formats), so the stamps keep the customary ones.
constexpr const char* kDateSeparator = "/";
constexpr const char* kTimeSeparator = ":";

// Trims the selected rows (every row when nothing is selected), blanks and full-width spaces
// alike, and leaves the caret where the trim put it with nothing selected.
void TrimRows(TFenEdit& e, void (TFenEdit::*trim)(TRow&, TRow&, bool)) {
  if (!e.IsSelected()) e.SelectAll();
  TByte startByte = 0, endByte = 0;
  TRow first = 0, last = 0;
  e.GetSelRange(startByte, first, last, endByte);
  (e.*trim)(first, last, true);
  e.RedrawRows(first, last);
  e.GotoPos(e.CaretByte(), e.CaretRow(), TCaretPlacement::Minimal);
}

}  // namespace

void TMainForm::ConnectTransforms() {
  auto on = [this](const char* name, void (TMainForm::*handler)()) {
    connect(Action(name), &QAction::triggered, this, [this, handler] { (this->*handler)(); });
  };
  on("EditConvP", &TMainForm::EditConvPExecute);
  on("EditHtmlEncode", &TMainForm::EditHtmlEncodeExecute);
  on("EditMailEncode", &TMainForm::EditMailEncodeExecute);
  on("HtmlUl", &TMainForm::HtmlUlExecute);
  on("HtmlOl", &TMainForm::HtmlOlExecute);
  on("HtmlTableTab", &TMainForm::HtmlTableTabExecute);
  on("HtmlTableComma", &TMainForm::HtmlTableCommaExecute);
  on("EditQuotePaste", &TMainForm::EditQuotePasteExecute);
  on("EditQuoteTagPaste", &TMainForm::EditQuoteTagPasteExecute);
  on("EditAddDate", &TMainForm::EditAddDateExecute);
  on("EditAddDateTime", &TMainForm::EditAddDateTimeExecute);
  on("EditTrim", &TMainForm::EditTrimExecute);
  on("EditTrimRight", &TMainForm::EditTrimRightExecute);
  on("EditTrimLeft", &TMainForm::EditTrimLeftExecute);
}

void TMainForm::EditConvPExecute() {
  FenEdit1->SetSelText(TT::ConvP(SelectionOrAll(*FenEdit1)));
}

void TMainForm::EditHtmlEncodeExecute() {
  FenEdit1->SetSelText(TT::HtmlEncode(SelectionOrAll(*FenEdit1)));
}

void TMainForm::EditMailEncodeExecute() {
  FenEdit1->SetSelText(TT::MailEncode(SelectionOrAll(*FenEdit1)));
}

// Lists and tables take the selection only; with none they insert an empty one at the caret.
void TMainForm::HtmlUlExecute() {
  FenEdit1->SetSelText(TT::MakeList(FenEdit1->GetSelText(), "ul"));
}

void TMainForm::HtmlOlExecute() {
  FenEdit1->SetSelText(TT::MakeList(FenEdit1->GetSelText(), "ol"));
}

void TMainForm::HtmlTableTabExecute() {
  FenEdit1->SetSelText(TT::MakeTable(FenEdit1->GetSelText(), "\t", 1));
}

void TMainForm::HtmlTableCommaExecute() {
  FenEdit1->SetSelText(TT::MakeTable(FenEdit1->GetSelText(), ",", 1));
}

void TMainForm::EditQuotePasteExecute() {
  Clipboard& clip = CurrentClipboard();
  if (!clip.HasText()) return;
  FenEdit1->SetSelText(TT::QuoteLines(clip.GetText(), QuoteMark()));
}

void TMainForm::EditQuoteTagPasteExecute() {
  Clipboard& clip = CurrentClipboard();
  if (!clip.HasText()) return;
  FenEdit1->SetSelText(TT::QuoteTag(clip.GetText()));
}

void TMainForm::EditAddDateExecute() {
  FenEdit1->SetSelText(TT::DateStamp(LocalNow(), kDateSeparator));
}

void TMainForm::EditAddDateTimeExecute() {
  FenEdit1->SetSelText(TT::DateTimeStamp(LocalNow(), kDateSeparator, kTimeSeparator));
}

void TMainForm::EditTrimExecute() {
  TrimRows(*FenEdit1, &TFenEdit::TrimBoth);
}
void TMainForm::EditTrimRightExecute() {
  TrimRows(*FenEdit1, &TFenEdit::TrimRight);
}
void TMainForm::EditTrimLeftExecute() {
  TrimRows(*FenEdit1, &TFenEdit::TrimLeft);
}
