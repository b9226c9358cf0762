#include "FavoriteDlg.h"

TFavoriteDlg* FavoriteDlg = nullptr;

TFavoriteDlg::TFavoriteDlg(QWidget* parent) : QDialog(parent) {
  setObjectName("FavoriteDlg");
  if (!FavoriteDlg) FavoriteDlg = this;
}

TFavoriteDlg::~TFavoriteDlg() {
  if (FavoriteDlg == this) FavoriteDlg = nullptr;
}
