// Text that entered the editor from the desktop (paste, PRIMARY, input method) with
// characters code page 932 lacks: the status bar says how many and which were changed.
#include <QLabel>
#include <QPointer>

#include "FieldText.h"
#include "MainForm.h"
#include "platform/TextBorder.h"

void TMainForm::ConnectBorder() {
  QPointer<TMainForm> self(this);
  TextBorder::SetReporter([self](const CodePage::TConversion& c) {
    if (self) self->statusPanels_[0]->setText(UnmappedReport(c, TextBorder::EditorUnmapped()));
  });
}
