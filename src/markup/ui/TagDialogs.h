// The tag dialogs: small modal dialogs that collect the attributes of a tag. Each is created
// once at program start and kept hidden between uses, so whatever the user typed is still
// there next time; the tag commands show them and read their fields afterwards.
#pragma once
#include <QDateTime>
#include <QDialog>
#include <QStringList>
#include <functional>
#include <string>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TRadioGroup;

// What the tag dialogs share: fixed size, centred on the screen, OK as the default button
// (modal result OK), Escape and the close box giving Cancel.
class TTagDialog : public QDialog {
  Q_OBJECT
 public:
  explicit TTagDialog(QWidget* parent = nullptr);

  QPushButton* OKBtn = nullptr;
  QPushButton* CancelBtn = nullptr;

  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;
  // Creates OKBtn and CancelBtn with these captions.
  void CreateButtons(const char* ok, const char* cancel);
  // The dialog's layout: `body` above the buttons, right-aligned.
  void Arrange(QLayout* body);
  // Called when OK is pressed, before the dialog closes.
  virtual void OKBtnClick() {}
};

// The font tag dialog: colour, size and face, each used only when its box is ticked.
class TFontDlg : public TTagDialog {
  Q_OBJECT
 public:
  explicit TFontDlg(QWidget* parent = nullptr);
  ~TFontDlg() override;

  QLabel* Label1;
  QCheckBox* ColorCheck;
  QComboBox* ColorCombo;
  QPushButton* ColorBtn;
  QCheckBox* SizeCheck;
  QComboBox* SizeCombo;
  QCheckBox* FontCheck;
  QLineEdit* FontEdit;
  QPushButton* FontBtn;

  // "#rrggbb" in lower case, as the tag wants it.
  static QString ColorText(int red, int green, int blue);

 private:
  void CheckClick();
  void ColorBtnClick();
  void FontBtnClick();
};
extern TFontDlg* FontDlg;

// The link dialog: the URL, with the scheme proposed by the radio group.
class TLinkDlg : public TTagDialog {
  Q_OBJECT
 public:
  explicit TLinkDlg(QWidget* parent = nullptr);
  ~TLinkDlg() override;

  QLabel* Label1;
  QLineEdit* UrlEdit;
  TRadioGroup* RadioGroup1;
  QPushButton* FavoriteBtn;

  // The Favorites selection behind FavoriteBtn: returns the chosen URL (code page 932), empty
  // for none. Set by the Favorites window; until that window exists the hook stays empty and
  // the button does nothing.
  std::function<std::string()> PickFavorite;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void RadioGroup1Click(int index);
  void FavoriteBtnClick();
};
extern TLinkDlg* LinkDlg;

// Base of the class, cite and date-time dialogs: the class box and its history, which the
// three share through the class history file only. The list is reloaded from the file at every
// show and written back at every close, so each dialog sees what the others added.
class TClassHistoryDialog : public TTagDialog {
  Q_OBJECT
 public:
  explicit TClassHistoryDialog(QWidget* parent = nullptr);

  QGroupBox* GroupBox1;
  QLabel* ClassLabel;
  QComboBox* ClassCombo;

  // The list of ClassCombo.
  QStringList ClassList() const;
  // A class typed (not chosen from the list) joins the list: at the end when new, or the
  // entry already there (compared without case) moves to the top.
  void AddToHistory();
  // Replaces the list with the file's lines when the file exists.
  void LoadHistory();
  // Writes the list to the file; a failure goes to the error box.
  void SaveHistory();

  void done(int result) override;

 protected:
  void showEvent(QShowEvent* event) override;
  void OKBtnClick() override;
  // Where the focus goes on show.
  virtual QWidget* FirstControl() const;
  // The group's rows, the class row last.
  void AddRow(QLabel* label, QWidget* field);

 private:
  void SetList(const QStringList& items);

  // Whether the class text was chosen from the list rather than typed.
  bool chosen_ = false;
};

// The class dialog: a class for <p>, <div>, <br /> and their kin.
class TClassDLG : public TClassHistoryDialog {
  Q_OBJECT
 public:
  explicit TClassDLG(QWidget* parent = nullptr);
  ~TClassDLG() override;
};
extern TClassDLG* ClassDLG;

// The cite dialog: source and class for <blockquote>.
class TCiteDlg : public TClassHistoryDialog {
  Q_OBJECT
 public:
  explicit TCiteDlg(QWidget* parent = nullptr);
  ~TCiteDlg() override;

  QLabel* CiteLabel;
  QLineEdit* CiteEdit;

 protected:
  QWidget* FirstControl() const override;
};
extern TCiteDlg* CiteDlg;

// The date-time dialog: reason URL, time stamp and class for <del> and <ins>.
class TDatetimeDlg : public TClassHistoryDialog {
  Q_OBJECT
 public:
  explicit TDatetimeDlg(QWidget* parent = nullptr);
  ~TDatetimeDlg() override;

  QLabel* CiteLabel;
  QLineEdit* CiteEdit;
  QLabel* DatetimeLabel;
  QLineEdit* DatetimeEdit;

  // The stamp proposed for a local time: "2004-05-06T07:08:09+9:00". The zone is always
  // written as +9:00, whatever the machine's zone, as the boards reading these tags expect.
  static QString DatetimeText(const QDateTime& local);

 protected:
  void showEvent(QShowEvent* event) override;
  QWidget* FirstControl() const override;
};
extern TDatetimeDlg* DatetimeDlg;

// The image dialog: source, alternative text and size of an <img />.
class TImgDlg : public TTagDialog {
  Q_OBJECT
 public:
  explicit TImgDlg(QWidget* parent = nullptr);
  ~TImgDlg() override;

  QLabel* Label1;
  QLineEdit* SrcEdit;
  QPushButton* ImgFileButton;
  QLabel* Label2;
  QLineEdit* AltEdit;
  QLabel* Label3;
  QLineEdit* HeightEdit;
  QLabel* Label4;
  QLineEdit* WidthEdit;

  static const char* const kFilter;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ImgFileButtonClick();
};
extern TImgDlg* ImgDlg;

// The ruby dialog: the reading and the brackets shown by browsers without ruby.
class TRubyDlg : public TTagDialog {
  Q_OBJECT
 public:
  explicit TRubyDlg(QWidget* parent = nullptr);
  ~TRubyDlg() override;

  QLabel* Label1;
  QLineEdit* FrontEdit;
  QLabel* Label2;
  QLineEdit* RubyEdit;
  QLabel* Label3;
  QLineEdit* BackEdit;

 protected:
  void showEvent(QShowEvent* event) override;
};
extern TRubyDlg* RubyDlg;
