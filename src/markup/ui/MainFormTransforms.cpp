// The main window's commands that rewrite text into HTML, paste quotations, stamp the date
// and trim lines.
#include "app/ui/MainForm.h"

void TMainForm::ConnectTransforms() {}
void TMainForm::EditConvPExecute() {}
void TMainForm::EditHtmlEncodeExecute() {}
void TMainForm::EditMailEncodeExecute() {}
void TMainForm::HtmlUlExecute() {}
void TMainForm::HtmlOlExecute() {}
void TMainForm::HtmlTableTabExecute() {}
void TMainForm::HtmlTableCommaExecute() {}
void TMainForm::EditQuotePasteExecute() {}
void TMainForm::EditQuoteTagPasteExecute() {}
void TMainForm::EditAddDateExecute() {}
void TMainForm::EditAddDateTimeExecute() {}
void TMainForm::EditTrimExecute() {}
void TMainForm::EditTrimRightExecute() {}
void TMainForm::EditTrimLeftExecute() {}
