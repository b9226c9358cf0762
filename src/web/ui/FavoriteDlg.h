// The Favorites window: browses the Favorites folder for Internet shortcut (".url") files.
#pragma once
#include <QDialog>

class TFavoriteDlg : public QDialog {
  Q_OBJECT
 public:
  explicit TFavoriteDlg(QWidget* parent = nullptr);
  ~TFavoriteDlg() override;
};
extern TFavoriteDlg* FavoriteDlg;
