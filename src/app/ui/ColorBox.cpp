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
    {"Black", clBlack},
    {"Maroon", clMaroon},
    {"Green", clGreen},
    {"Olive", clOlive},
    {"Navy", clNavy},
    {"Purple", clPurple},
    {"Teal", clTeal},
    {"Gray", clGray},
    {"Silver", clSilver},
    {"Red", clRed},
    {"Lime", clLime},
    {"Yellow", clYellow},
    {"Blue", clBlue},
    {"Fuchsia", clFuchsia},
    {"Aqua", clAqua},
    {"White", clWhite},
    {"Money Green", RGB(192, 220, 192)},
    {"Sky Blue", RGB(166, 202, 240)},
    {"Cream", RGB(255, 251, 240)},
    {"Medium Gray", RGB(160, 160, 164)},
    {"ScrollBar", SystemColor(COLOR_SCROLLBAR)},
    {"Background", SystemColor(COLOR_BACKGROUND)},
    {"ActiveCaption", SystemColor(COLOR_ACTIVECAPTION)},
    {"InactiveCaption", SystemColor(COLOR_INACTIVECAPTION)},
    {"Menu", SystemColor(COLOR_MENU)},
    {"Window", SystemColor(COLOR_WINDOW)},
    {"WindowFrame", SystemColor(COLOR_WINDOWFRAME)},
    {"MenuText", SystemColor(COLOR_MENUTEXT)},
    {"WindowText", SystemColor(COLOR_WINDOWTEXT)},
    {"CaptionText", SystemColor(COLOR_CAPTIONTEXT)},
    {"ActiveBorder", SystemColor(COLOR_ACTIVEBORDER)},
    {"InactiveBorder", SystemColor(COLOR_INACTIVEBORDER)},
    {"AppWorkSpace", SystemColor(COLOR_APPWORKSPACE)},
    {"Highlight", SystemColor(COLOR_HIGHLIGHT)},
    {"HighlightText", SystemColor(COLOR_HIGHLIGHTTEXT)},
    {"BtnFace", SystemColor(COLOR_BTNFACE)},
    {"BtnShadow", SystemColor(COLOR_BTNSHADOW)},
    {"GrayText", SystemColor(COLOR_GRAYTEXT)},
    {"BtnText", SystemColor(COLOR_BTNTEXT)},
    {"InactiveCaptionText", SystemColor(COLOR_INACTIVECAPTIONTEXT)},
    {"BtnHighlight", SystemColor(COLOR_BTNHIGHLIGHT)},
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
  addItem(Swatch(custom_), "Custom...");
  for (const TNamedColor& c : kColors) addItem(Swatch(c.Color), c.Name, c.Color);
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
