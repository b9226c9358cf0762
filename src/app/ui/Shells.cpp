#include "Shells.h"

TFontDlg* FontDlg = nullptr;
TFontDlg::TFontDlg(QWidget* parent) : QDialog(parent) {
  setObjectName("FontDlg");
  if (!FontDlg) FontDlg = this;
}
TFontDlg::~TFontDlg() {
  if (FontDlg == this) FontDlg = nullptr;
}

TLinkDlg* LinkDlg = nullptr;
TLinkDlg::TLinkDlg(QWidget* parent) : QDialog(parent) {
  setObjectName("LinkDlg");
  if (!LinkDlg) LinkDlg = this;
}
TLinkDlg::~TLinkDlg() {
  if (LinkDlg == this) LinkDlg = nullptr;
}

TFavoriteDlg* FavoriteDlg = nullptr;
TFavoriteDlg::TFavoriteDlg(QWidget* parent) : QDialog(parent) {
  setObjectName("FavoriteDlg");
  if (!FavoriteDlg) FavoriteDlg = this;
}
TFavoriteDlg::~TFavoriteDlg() {
  if (FavoriteDlg == this) FavoriteDlg = nullptr;
}

TWebForm* WebForm = nullptr;
TWebForm::TWebForm(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName("WebForm");
  if (!WebForm) WebForm = this;
}
TWebForm::~TWebForm() {
  if (WebForm == this) WebForm = nullptr;
}

TPreveiwDlg* PreveiwDlg = nullptr;
TPreveiwDlg::TPreveiwDlg(QWidget* parent) : QDialog(parent) {
  setObjectName("PreveiwDlg");
  if (!PreveiwDlg) PreveiwDlg = this;
}
TPreveiwDlg::~TPreveiwDlg() {
  if (PreveiwDlg == this) PreveiwDlg = nullptr;
}

TWebShortcutDlg* WebShortcutDlg = nullptr;
TWebShortcutDlg::TWebShortcutDlg(QWidget* parent) : QDialog(parent) {
  setObjectName("WebShortcutDlg");
  if (!WebShortcutDlg) WebShortcutDlg = this;
}
TWebShortcutDlg::~TWebShortcutDlg() {
  if (WebShortcutDlg == this) WebShortcutDlg = nullptr;
}

TClassDLG* ClassDLG = nullptr;
TClassDLG::TClassDLG(QWidget* parent) : QDialog(parent) {
  setObjectName("ClassDLG");
  if (!ClassDLG) ClassDLG = this;
}
TClassDLG::~TClassDLG() {
  if (ClassDLG == this) ClassDLG = nullptr;
}

TCiteDlg* CiteDlg = nullptr;
TCiteDlg::TCiteDlg(QWidget* parent) : QDialog(parent) {
  setObjectName("CiteDlg");
  if (!CiteDlg) CiteDlg = this;
}
TCiteDlg::~TCiteDlg() {
  if (CiteDlg == this) CiteDlg = nullptr;
}

TDatetimeDlg* DatetimeDlg = nullptr;
TDatetimeDlg::TDatetimeDlg(QWidget* parent) : QDialog(parent) {
  setObjectName("DatetimeDlg");
  if (!DatetimeDlg) DatetimeDlg = this;
}
TDatetimeDlg::~TDatetimeDlg() {
  if (DatetimeDlg == this) DatetimeDlg = nullptr;
}

TImgDlg* ImgDlg = nullptr;
TImgDlg::TImgDlg(QWidget* parent) : QDialog(parent) {
  setObjectName("ImgDlg");
  if (!ImgDlg) ImgDlg = this;
}
TImgDlg::~TImgDlg() {
  if (ImgDlg == this) ImgDlg = nullptr;
}

TRubyDlg* RubyDlg = nullptr;
TRubyDlg::TRubyDlg(QWidget* parent) : QDialog(parent) {
  setObjectName("RubyDlg");
  if (!RubyDlg) RubyDlg = this;
}
TRubyDlg::~TRubyDlg() {
  if (RubyDlg == this) RubyDlg = nullptr;
}
