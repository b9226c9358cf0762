// TPreveiwDlg: shows the preview page of the editor's text in a plain embedded view. Created
// once at program start and reused; the view is made when the window is first needed.
#pragma once
#include <QDialog>
#include <QUrl>
#include <memory>

class QPushButton;
class TWebView;

class TPreveiwDlg : public QDialog {
  Q_OBJECT
 public:
  explicit TPreveiwDlg(QWidget* parent = nullptr);
  ~TPreveiwDlg() override;

  QPushButton* OKBtn;
  TWebView& WebBrowser1();

  void Navigate(const QUrl& url);

 protected:
  void showEvent(QShowEvent* event) override;
  // Esc and Enter keep closing the window after a click in the page, which takes every key.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::unique_ptr<TWebView> view_;
  QWidget* viewPlace_;
};
extern TPreveiwDlg* PreveiwDlg;
