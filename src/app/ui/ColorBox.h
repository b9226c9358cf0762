// A drop-down list of colours by name, each with a swatch: the standard colours, the extended
// ones, the system colours and, first, a custom entry that asks the colour dialog for any
// other colour. A colour set from outside that is not listed shows as the custom entry.
#pragma once
#include <QColor>
#include <QComboBox>
#include <QString>
#include <functional>

#include "platform/Graphics.h"

// The colour as drawn: a system colour in its classic scheme.
QColor QColorOf(TColor color);

class TColorBox : public QComboBox {
  Q_OBJECT
 public:
  explicit TColorBox(QWidget* parent = nullptr);

  TColor Selected() const;
  // Does not call OnChange: only the user's choices do.
  void SetSelected(TColor color);

  // The user chose a colour (a cancelled custom choice chooses nothing).
  std::function<void(TColorBox*)> OnChange;

  static constexpr int kCustomIndex = 0;

 private:
  TColor ColorAt(int index) const;
  void SetSwatch(int index, TColor color);
  void Activated(int index);

  TColor custom_ = clBlack;
  int last_ = kCustomIndex;  // the entry chosen before, to go back to when a choice is cancelled
};
