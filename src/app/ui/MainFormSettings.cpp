// The one place the main window's settings are read (start-up, from the show handler) and
// written (shut-down, from the destruction handler). Every value read falls back to what the
// window or editor holds at that moment, so a missing file or key changes nothing.
#include <QCheckBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QSlider>
#include <algorithm>

#include "Application.h"
#include "ColorBox.h"
#include "EditorPane.h"
#include "FenEdit/FenEdit.h"
#include "FieldText.h"
#include "FormControls.h"
#include "MainForm.h"
#include "OptionDlg.h"
#include "TabStrip.h"
#include "UiText.h"
#include "WindowPlacement.h"
#include "app/IniFile.h"
#include "platform/ProgramFiles.h"
#include "platform/TextBorder.h"

namespace {

// Rounded a * b / c, as the font sizes are converted on the original platform.
int MulDiv(int a, int b, int c) {
  long long n = static_cast<long long>(a) * b;
  long long half = c / 2;
  return static_cast<int>(n >= 0 ? (n + half) / c : (n - half) / c);
}

// Font sizes in points and cell heights in pixels, at 96 dots per inch.
int HeightFromPoints(int points) {
  return -MulDiv(points, 96, 72);
}
int PointsFromHeight(int height) {
  return MulDiv(height < 0 ? -height : height, 72, 96);
}

}  // namespace

int TMainForm::FontSizePoints() const {
  return PointsFromHeight(FenEdit1->GetFont().Height);
}

TFenEdit::TFont TMainForm::FontFromPoints(const std::string& name, int points, TColor color) {
  TFenEdit::TFont font;
  font.Name = name;
  font.Height = HeightFromPoints(points);
  font.Color = color;
  return font;
}

void TMainForm::ApplyTranslucency() {
  // However the value came (a hand-edited file, the slider at 0), the window stays findable.
  int value = std::max(AlphaBlendValue & 0xFF, kMinOpacity);
  setWindowOpacity(AlphaBlend ? value / 255.0 : 1.0);
}

// Qt's geometry is the client area on every platform and with any window manager: saved as
// read back, the window neither creeps by a title bar per start nor depends on frame sizes.
QRect TMainForm::RestoredRect() const {
  if (windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen)) {
    QRect normal = normalGeometry();
    if (normal.isValid()) return normal;
  }
  return geometry();
}

void TMainForm::setVisible(bool visible) {
  // The saved place reaches the window before it first appears, so the window manager puts it
  // there instead of moving it afterwards.
  if (visible && !placed_) {
    placed_ = true;
    ReadWindowPlacement();
  }
  QMainWindow::setVisible(visible);
}

void TMainForm::ReadWindowPlacement() {
  TIniFile ini(ProgramFiles::DataFile(".ini"));
  // The design-time place and size are the defaults. Values are kept to what a screen's
  // coordinates can be, so that edges and sizes add up without overflow and what is written
  // back at the end is the place the window really had.
  static constexpr int kMaxCoord = 32767;
  auto read = [&ini](const char* key, int def, int low) {
    return std::clamp(ini.ReadInteger("Window", key, def), low, kMaxCoord);
  };
  QRect rect(read("Left", 192, -kMaxCoord), read("Top", 107, -kMaxCoord), read("Width", 640, 0),
             read("Height", 480, 0));
  if (rect.width() <= 0 || rect.height() <= 0) rect.setSize(QSize(640, 480));
  QList<QRect> screens;
  for (QScreen* screen : QGuiApplication::screens()) screens << screen->availableGeometry();
  setGeometry(WindowPlacement::PlaceOnScreens(rect, screens));
  switch (ini.ReadInteger("Window", "WindowState", 0)) {
    case 1:
      setWindowState(Qt::WindowMinimized);
      break;
    case 2:
      setWindowState(Qt::WindowMaximized);
      break;
    default:
      break;
  }
  AlphaBlend = ini.ReadBool("Window", "AlphaBlend", AlphaBlend);
  AlphaBlendValue = ini.ReadInteger("Window", "AlphaBlendValue", AlphaBlendValue) & 0xFF;
  ApplyTranslucency();
}

void TMainForm::ReadSettings() {
  TIniFile ini(ProgramFiles::DataFile(".ini"));
  // Place, size, state and translucency were read before the window appeared.
  ToolBarPanel->setVisible(ini.ReadBool("Window", "ToolBarVisible", !ToolBarPanel->isHidden()));
  TabControl1->SetMultiLine(ini.ReadBool("Window", "TabMultiLine", TabControl1->MultiLine()));

  TFenEdit& e = *FenEdit1;
  e.ShowCR = ini.ReadBool("Editor", "ShowCR", e.ShowCR);
  e.ShowDblSpace = ini.ReadBool("Editor", "ShowDblSpace", e.ShowDblSpace);
  e.ShowEOF = ini.ReadBool("Editor", "ShowEOF", e.ShowEOF);
  e.ShowLineNumber = ini.ReadBool("Editor", "ShowLineNumber", e.ShowLineNumber);
  e.ShowUnderLine = ini.ReadBool("Editor", "ShowUnderLine", e.ShowUnderLine);
  e.SetCREOFcolor(ini.ReadInteger("Editor", "CREOFcolor", e.GetCREOFcolor()));
  e.SetUlineColor(ini.ReadInteger("Editor", "UlineColor", e.GetUlineColor()));
  e.SetColor(ini.ReadInteger("Editor", "Color", e.GetColor()));
  e.SetSelColor(ini.ReadInteger("Editor", "SelColor", e.GetSelColor()));
  e.ColorPrintF = ini.ReadBool("Editor", "ColorPrintF", e.ColorPrintF);
  e.SetInyoColor(ini.ReadInteger("Editor", "InyoColor", e.GetInyoColor()));
  e.Inyostr = ini.ReadString("Editor", "Inyostr", e.Inyostr);
  e.SetURLColor(ini.ReadInteger("Editor", "URLColor", e.GetURLColor()));
  std::string fontName = ini.ReadString("Editor", "FontName", e.GetFont().Name);
  int fontSize = ini.ReadInteger("Editor", "FontSize", FontSizePoints());
  TColor fontColor = ini.ReadInteger("Editor", "FontColor", e.GetFont().Color);
  e.SetFont(FontFromPoints(fontName, fontSize, fontColor));
  e.SetColumn(ini.ReadInteger("Editor", "Column", e.GetColumn()));
  e.Recreate();

  FindColor = ini.ReadInteger("Editor", "FindColor",
                              OptionDlg ? OptionDlg->FindColorBox->Selected() : clYellow);
  StartPage0 = ini.ReadBool("Page", "Start", StartPage0);
  NoSavePage0 = ini.ReadBool("Page", "Save", NoSavePage0);
  SegaBbsMode = ini.ReadBool("Etc", "SegaBbsMode", SegaBbsMode);
  PreviewMode = ini.ReadBool("Etc", "PreviewMode", PreviewMode);
  TxfArgs = ini.ReadString("Etc", "Txf", TxfArgs);
  ImeMode = ini.ReadInteger("Etc", "ImeMode", ImeMode);
  // 0: characters Shift-JIS lacks enter the editor as character references, 1: as "?".
  TextBorder::SetEditorUnmapped(ini.ReadInteger("Etc", "UnmappedChars", 0) == 1
                                    ? CodePage::TUnmapped::Question
                                    : CodePage::TUnmapped::CharRef);
}

// Read once the pages are loaded (out-of-range values are left to the caller); Start always
// begins on the first page.
int TMainForm::ReadPageIndex() const {
  TIniFile ini(ProgramFiles::DataFile(".ini"));
  return StartPage0 ? 0 : ini.ReadInteger("Page", "Index", 0);
}

void TMainForm::WriteSettings() {
  TIniFile ini(ProgramFiles::DataFile(".ini"));
  QRect r = RestoredRect();
  int state = 0;
  if (windowState() & Qt::WindowMinimized) {
    state = 1;
  } else if (windowState() & Qt::WindowMaximized) {
    state = 2;
  }
  ini.WriteInteger("Window", "WindowState", state);
  ini.WriteInteger("Window", "Left", r.left());
  ini.WriteInteger("Window", "Top", r.top());
  ini.WriteInteger("Window", "Width", r.width());
  ini.WriteInteger("Window", "Height", r.height());
  ini.WriteBool("Window", "AlphaBlend", AlphaBlend);
  ini.WriteInteger("Window", "AlphaBlendValue", AlphaBlendValue);
  ini.WriteBool("Window", "ToolBarVisible", !ToolBarPanel->isHidden());
  ini.WriteBool("Window", "TabMultiLine", TabControl1->MultiLine());

  const TFenEdit& e = *FenEdit1;
  ini.WriteBool("Editor", "ShowCR", e.ShowCR);
  ini.WriteBool("Editor", "ShowDblSpace", e.ShowDblSpace);
  ini.WriteBool("Editor", "ShowEOF", e.ShowEOF);
  ini.WriteBool("Editor", "ShowLineNumber", e.ShowLineNumber);
  ini.WriteBool("Editor", "ShowUnderLine", e.ShowUnderLine);
  ini.WriteInteger("Editor", "CREOFcolor", e.GetCREOFcolor());
  ini.WriteInteger("Editor", "UlineColor", e.GetUlineColor());
  ini.WriteInteger("Editor", "Color", e.GetColor());
  ini.WriteInteger("Editor", "SelColor", e.GetSelColor());
  ini.WriteBool("Editor", "ColorPrintF", e.ColorPrintF);
  ini.WriteInteger("Editor", "InyoColor", e.GetInyoColor());
  ini.WriteString("Editor", "Inyostr", e.Inyostr);
  ini.WriteInteger("Editor", "URLColor", e.GetURLColor());
  ini.WriteString("Editor", "FontName", e.GetFont().Name);
  ini.WriteInteger("Editor", "FontSize", FontSizePoints());
  ini.WriteInteger("Editor", "FontColor", e.GetFont().Color);
  ini.WriteInteger("Editor", "Column", e.GetColumn());
  ini.WriteInteger("Editor", "FindColor", FindColor);
  ini.WriteBool("Page", "Start", StartPage0);
  ini.WriteBool("Page", "Save", NoSavePage0);
  ini.WriteBool("Etc", "SegaBbsMode", SegaBbsMode);
  ini.WriteBool("Etc", "PreviewMode", PreviewMode);
  ini.WriteString("Etc", "Txf", TxfArgs);
  ini.WriteInteger("Etc", "ImeMode", ImeMode);
  ini.WriteInteger("Etc", "UnmappedChars",
                   TextBorder::EditorUnmapped() == CodePage::TUnmapped::Question ? 1 : 0);
  ini.WriteInteger("Page", "Index", StartPage0 ? 0 : PageIndex());
  if (!ini.UpdateFile() && Application) {
    // The page file is written all the same.
    Application->MessageDlg(ToQString(ini.FileName()) + QString::fromUtf8(" に書き込めません"),
                            TMsgDlgType::mtWarning, mbOK);
  }
}

// The input-method setting at start-up: 1 and 2 give the editor the focus with its input
// method available. Whether the input method starts open or closed belongs to the desktop's
// input method framework, which offers programs no switch for it.
void TMainForm::ApplyImeMode() {
  if (ImeMode != 1 && ImeMode != 2) return;
  editor_->SetFocus();
  editor_->Widget()->setAttribute(Qt::WA_InputMethodEnabled, true);
}

void TMainForm::OptionClick() {
  TOptionDlg& d = *OptionDlg;
  TFenEdit& e = *FenEdit1;
  d.ShowCRCheck->setChecked(e.ShowCR);
  d.ShowDblSpaceCheck->setChecked(e.ShowDblSpace);
  d.ShowEOFCheck->setChecked(e.ShowEOF);
  d.ShowLineNumberCheck->setChecked(e.ShowLineNumber);
  d.ShowUnderLineCheck->setChecked(e.ShowUnderLine);
  d.CREOFColorBox->SetSelected(e.GetCREOFcolor());
  d.ULineColorBox->SetSelected(e.GetUlineColor());
  d.BackColorBox->SetSelected(e.GetColor());
  d.SetSampleColor(e.GetColor());
  d.SelColorBox->SetSelected(e.GetSelColor());
  d.ColorPrintFCheck->setChecked(e.ColorPrintF);
  d.QuoteColorBox->SetSelected(e.GetInyoColor());
  d.QuoteMarkEdit->setText(ToQString(e.Inyostr));
  d.URLColorBox->SetSelected(e.GetURLColor());
  d.FontDialog1 = TFontRequest{ToQString(e.GetFont().Name), FontSizePoints(), e.GetFont().Color};
  d.SetSampleFont(d.FontDialog1);
  d.StartPage0Check->setChecked(StartPage0);
  d.SavePage0Check->setChecked(NoSavePage0);
  d.ColumnUpDown->SetPosition(static_cast<int16_t>(e.GetColumn()));
  d.SegaBbsCheck->setChecked(SegaBbsMode);
  d.ImeModeRadio->SetItemIndex(ImeMode);
  d.TxfEdit->setText(ToQString(TxfArgs));
  d.AlphaCheck->setChecked(AlphaBlend);
  d.AlphaTrackBar->setValue(AlphaBlendValue);
  d.FindColorBox->SetSelected(FindColor);
  d.UnmappedRadio->SetItemIndex(TextBorder::EditorUnmapped() == CodePage::TUnmapped::Question);
  // A field with a character Shift-JIS lacks is refused and the dialog comes back as it was.
  std::optional<std::string> quoteMark, txfArgs;
  for (;;) {
    if (!Application || Application->ShowModal(d) != mrOk) return;
    if (!(quoteMark = FieldCp932(d.QuoteMarkEdit->text(), QString::fromUtf8("引用符の欄"))))
      continue;
    if (!(txfArgs = FieldCp932(d.TxfEdit->text(), QString::fromUtf8("TXFの引数の欄")))) continue;
    if (!FieldCp932(d.QuotePasteMarkEdit->text(), QString::fromUtf8("引用貼り付けの引用符の欄")))
      continue;
    break;
  }

  std::string text = editor_->GetText();
  e.ShowCR = d.ShowCRCheck->isChecked();
  e.ShowDblSpace = d.ShowDblSpaceCheck->isChecked();
  e.ShowEOF = d.ShowEOFCheck->isChecked();
  e.ShowLineNumber = d.ShowLineNumberCheck->isChecked();
  e.ShowUnderLine = d.ShowUnderLineCheck->isChecked();
  e.SetCREOFcolor(d.CREOFColorBox->Selected());
  e.SetUlineColor(d.ULineColorBox->Selected());
  e.SetColor(d.BackColorBox->Selected());
  e.SetSelColor(d.SelColorBox->Selected());
  e.ColorPrintF = d.ColorPrintFCheck->isChecked();
  e.SetInyoColor(d.QuoteColorBox->Selected());
  e.Inyostr = *quoteMark;
  e.SetURLColor(d.URLColorBox->Selected());
  e.SetFont(FontFromPoints(ToCp932(d.FontDialog1.Name), d.FontDialog1.Size, d.FontDialog1.Color));
  e.SetColumn(static_cast<int16_t>(d.ColumnUpDown->Position()));
  e.Recreate();
  editor_->SetText(text);
  StartPage0 = d.StartPage0Check->isChecked();
  NoSavePage0 = d.SavePage0Check->isChecked();
  SegaBbsMode = d.SegaBbsCheck->isChecked();
  ImeMode = d.ImeModeRadio->ItemIndex();
  TxfArgs = *txfArgs;
  AlphaBlend = d.AlphaCheck->isChecked();
  AlphaBlendValue = d.AlphaTrackBar->value();
  ApplyTranslucency();
  FindColor = d.FindColorBox->Selected();
  TextBorder::SetEditorUnmapped(d.UnmappedRadio->ItemIndex() == 1 ? CodePage::TUnmapped::Question
                                                                  : CodePage::TUnmapped::CharRef);
}
