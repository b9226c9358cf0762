#include "ColorBox.h"

#include <QPainter>
#include <QPixmap>

#include "Application.h"

namespace {

struct TNamedColor {
  const char* Name;
  TColor Color;
};

constexpr TNamedColor kColors[] = {
    {"黒", clBlack},
    {"マルーン", clMaroon},
    {"緑", clGreen},
    {"オリーブ", clOlive},
    {"ネイビー", clNavy},
    {"紫", clPurple},
    {"ティール", clTeal},
    {"灰色", clGray},
    {"銀色", clSilver},
    {"赤", clRed},
    {"ライム", clLime},
    {"黄", clYellow},
    {"青", clBlue},
    {"フクシア", clFuchsia},
    {"水色", clAqua},
    {"白", clWhite},
    {"マネーグリーン", RGB(192, 220, 192)},
    {"スカイブルー", RGB(166, 202, 240)},
    {"クリーム", RGB(255, 251, 240)},
    {"中間の灰色", RGB(160, 160, 164)},
    {"スクロールバー", SystemColor(COLOR_SCROLLBAR)},
    {"デスクトップ", SystemColor(COLOR_BACKGROUND)},
    {"アクティブなタイトル", SystemColor(COLOR_ACTIVECAPTION)},
    {"非アクティブなタイトル", SystemColor(COLOR_INACTIVECAPTION)},
    {"メニュー", SystemColor(COLOR_MENU)},
    {"ウィンドウの背景", SystemColor(COLOR_WINDOW)},
    {"ウィンドウの枠", SystemColor(COLOR_WINDOWFRAME)},
    {"メニューの文字", SystemColor(COLOR_MENUTEXT)},
    {"ウィンドウの文字", SystemColor(COLOR_WINDOWTEXT)},
    {"タイトルの文字", SystemColor(COLOR_CAPTIONTEXT)},
    {"アクティブな境界", SystemColor(COLOR_ACTIVEBORDER)},
    {"非アクティブな境界", SystemColor(COLOR_INACTIVEBORDER)},
    {"アプリケーションの作業領域", SystemColor(COLOR_APPWORKSPACE)},
    {"選択項目", SystemColor(COLOR_HIGHLIGHT)},
    {"選択項目の文字", SystemColor(COLOR_HIGHLIGHTTEXT)},
    {"ボタンの表面", SystemColor(COLOR_BTNFACE)},
    {"ボタンの影", SystemColor(COLOR_BTNSHADOW)},
    {"淡色の文字", SystemColor(COLOR_GRAYTEXT)},
    {"ボタンの文字", SystemColor(COLOR_BTNTEXT)},
    {"非アクティブなタイトルの文字", SystemColor(COLOR_INACTIVECAPTIONTEXT)},
    {"ボタンのハイライト", SystemColor(COLOR_BTNHIGHLIGHT)},
};

QIcon Swatch(TColor color) {
  QPixmap pixmap(16, 12);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setPen(Qt::black);
  painter.setBrush(QColorOf(color));
  painter.drawRect(0, 0, pixmap.width() - 1, pixmap.height() - 1);
  return QIcon(pixmap);
}

}  // namespace

QColor QColorOf(TColor color) {
  TColor rgb = ColorToRGB(color);
  return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

TColorBox::TColorBox(QWidget* parent) : QComboBox(parent) {
  setIconSize(QSize(16, 12));
  setMaxVisibleItems(16);
  addItem(Swatch(custom_), QString::fromUtf8("その他の色..."));
  for (const TNamedColor& c : kColors) addItem(Swatch(c.Color), QString::fromUtf8(c.Name), c.Color);
  SetSelected(clBlack);
  // activated comes only from the user (list, keys, wheel), never from SetSelected.
  connect(this, &QComboBox::activated, this, &TColorBox::Activated);
}

TColor TColorBox::ColorAt(int index) const {
  if (index <= kCustomIndex || index >= count()) return custom_;
  return static_cast<TColor>(itemData(index).toInt());
}

TColor TColorBox::Selected() const {
  return ColorAt(currentIndex());
}

void TColorBox::SetSelected(TColor color) {
  int index = kCustomIndex;
  for (int i = kCustomIndex + 1; i < count(); ++i)
    if (ColorAt(i) == color) {
      index = i;
      break;
    }
  if (index == kCustomIndex) {
    custom_ = color;
    SetSwatch(kCustomIndex, color);
  }
  setCurrentIndex(index);
  last_ = index;
}

void TColorBox::SetSwatch(int index, TColor color) {
  setItemIcon(index, Swatch(color));
}

void TColorBox::Activated(int index) {
  if (index == kCustomIndex) {
    // Chosen again while already selected, it asks again: the way to change a custom colour.
    TColor color = ColorAt(last_);
    if (!Application || !Application->ColorDialog(color)) {
      setCurrentIndex(last_);
      return;
    }
    custom_ = color;
    SetSwatch(kCustomIndex, color);
  } else if (index == last_) {
    return;
  }
  last_ = index;
  if (OnChange) OnChange(this);
}
