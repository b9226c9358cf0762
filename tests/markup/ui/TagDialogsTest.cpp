// The tag dialogs on their own: results, presets, the class history file, the field rules.
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <filesystem>
#include <fstream>

#include "app/ui/FormControls.h"
#include "app/ui/MainFormFixture.h"
#include "markup/ui/TagDialogs.h"

namespace {

class TagDialogsTest : public MainFormTest {
 protected:
  void SetUp() override {
    MainFormTest::SetUp();
    Start();
    font_ = app_->CreateForm<TFontDlg>();
    link_ = app_->CreateForm<TLinkDlg>();
    class_ = app_->CreateForm<TClassDLG>();
    cite_ = app_->CreateForm<TCiteDlg>();
    datetime_ = app_->CreateForm<TDatetimeDlg>();
    img_ = app_->CreateForm<TImgDlg>();
    ruby_ = app_->CreateForm<TRubyDlg>();
  }

  static void Key(QWidget* w, int key, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(w, &press);
  }
  // Typed into a field key by key, replacing what stood there.
  static void TypeInto(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    for (QChar ch : text) Key(edit, ch.isDigit() ? Qt::Key_0 + ch.digitValue() : 0, QString(ch));
  }
  static std::string HistoryFile() { return ProgramFiles::DataFile(".kdc"); }
  static void WriteHistory(const std::string& bytes) {
    std::ofstream(HistoryFile(), std::ios::binary | std::ios::trunc) << bytes;
  }

  TFontDlg* font_ = nullptr;
  TLinkDlg* link_ = nullptr;
  TClassDLG* class_ = nullptr;
  TCiteDlg* cite_ = nullptr;
  TDatetimeDlg* datetime_ = nullptr;
  TImgDlg* img_ = nullptr;
  TRubyDlg* ruby_ = nullptr;
};

using namespace std::string_literals;

QStringList Split(const char* items) {
  if (!*items) return {};
  return QString::fromUtf8(items).split(',');
}

}  // namespace

// Every dialog: OK gives OK, Escape and the close box Cancel; fixed size, OK the default;
// the field that takes the focus on show.
TEST_F(TagDialogsTest, EveryDialogAnswersOkAndCancelAndFocusesItsFirstField) {
  struct Row {
    TTagDialog* dialog;
    QDialog* global;  // the dialog's global pointer
    const char* caption;
    QWidget* focus;
  };
  const Row rows[] = {
      {font_, FontDlg, "フォントタグの設定", nullptr},
      {link_, LinkDlg, "リンクタグの設定", link_->UrlEdit},
      {class_, ClassDLG, "<>タグの挿入", class_->ClassCombo},
      {cite_, CiteDlg, "<>タグの保存", cite_->CiteEdit},
      {datetime_, DatetimeDlg, "<>タグの挿入", datetime_->CiteEdit},
      {img_, ImgDlg, "<img>タグの挿入", nullptr},
      {ruby_, RubyDlg, "<ruby>タグの挿入", ruby_->RubyEdit},
  };
  for (const Row& r : rows) {
    TTagDialog& d = *r.dialog;
    SCOPED_TRACE(d.objectName().toStdString());
    EXPECT_EQ(r.global, r.dialog);
    EXPECT_EQ(d.windowTitle(), U(r.caption));
    EXPECT_TRUE(d.OKBtn->isDefault());

    d.show();
    EXPECT_EQ(d.minimumSize(), d.maximumSize());
    if (r.focus) {
      QWidget* f = d.focusWidget();
      EXPECT_TRUE(f == r.focus || (f && f->parentWidget() == r.focus));
    }
    d.OKBtn->click();
    EXPECT_EQ(d.result(), mrOk);
    EXPECT_FALSE(d.isVisible());

    d.show();
    Key(&d, Qt::Key_Escape, {});
    EXPECT_EQ(d.result(), mrCancel);
    d.show();
    d.close();
    EXPECT_EQ(d.result(), mrCancel);
  }
  End();
  for (QDialog* global : std::initializer_list<QDialog*>{FontDlg, LinkDlg, ClassDLG, CiteDlg,
                                                         DatetimeDlg, ImgDlg, RubyDlg})
    EXPECT_EQ(global, nullptr);
}

TEST_F(TagDialogsTest, LinkDialogSelectsItsUrlAndTheSchemeReplacesIt) {
  link_->show();
  EXPECT_EQ(link_->UrlEdit->selectedText(), "http:");
  TypeInto(link_->UrlEdit, "example.com");
  link_->RadioGroup1->Button(1)->click();
  EXPECT_EQ(link_->UrlEdit->text(), "mailto:");
  link_->RadioGroup1->Button(2)->click();
  EXPECT_EQ(link_->UrlEdit->text(), "ftp:");

  // Favorites: nothing without a picker or when nothing is picked, else the URL.
  link_->FavoriteBtn->click();
  EXPECT_EQ(link_->UrlEdit->text(), "ftp:");
  std::string picked;
  link_->PickFavorite = [&picked] { return picked; };
  link_->FavoriteBtn->click();
  EXPECT_EQ(link_->UrlEdit->text(), "ftp:");
  picked = Sjis("http://example.jp/ぴよ");
  link_->FavoriteBtn->click();
  EXPECT_EQ(link_->UrlEdit->text(), U("http://example.jp/ぴよ"));
}

TEST_F(TagDialogsTest, FontDialogBoxesGovernTheirControlsAndTheButtonsFillThem) {
  EXPECT_EQ(font_->ColorCombo->currentText(), "white");
  EXPECT_EQ(font_->SizeCombo->currentText(), "4");
  struct Row {
    QCheckBox* check;
    std::vector<QWidget*> governed;
  };
  const Row rows[] = {{font_->ColorCheck, {font_->ColorCombo, font_->ColorBtn}},
                      {font_->SizeCheck, {font_->SizeCombo}},
                      {font_->FontCheck, {font_->FontEdit, font_->FontBtn}}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.check->objectName().toStdString());
    EXPECT_FALSE(r.check->isChecked());
    for (QWidget* w : r.governed) EXPECT_FALSE(w->isEnabled());
    r.check->click();
    for (QWidget* w : r.governed) EXPECT_TRUE(w->isEnabled());
  }

  dialogs_->AnswerColor(RGB(255, 0, 0));
  font_->ColorBtn->click();
  EXPECT_EQ(font_->ColorCombo->currentText(), "#ff0000");
  dialogs_->AnswerColor(std::nullopt);
  font_->ColorBtn->click();
  EXPECT_EQ(font_->ColorCombo->currentText(), "#ff0000");
  EXPECT_EQ(dialogs_->Colors.back(), RGB(255, 0, 0));  // opens on the colour in the box
  EXPECT_EQ(TFontDlg::ColorText(255, 128, 0), "#ff8000");

  TFontRequest chosen;
  chosen.Name = U("IPAゴシック");
  chosen.Size = 20;
  dialogs_->AnswerFont(chosen);
  font_->FontBtn->click();
  EXPECT_EQ(font_->FontEdit->text(), U("IPAゴシック"));
  EXPECT_TRUE(dialogs_->Fonts.back().FaceOnly);  // a face is all the tag takes
}

TEST_F(TagDialogsTest, ImageSizesTakeDigitsOnlyAndTheFileButtonGivesTheBareName) {
  for (QLineEdit* edit : {img_->HeightEdit, img_->WidthEdit}) {
    SCOPED_TRACE(edit->objectName().toStdString());
    TypeInto(edit, U("1a2３-"));
    EXPECT_EQ(edit->text(), "12");
    Key(edit, Qt::Key_Backspace, "\b");
    EXPECT_EQ(edit->text(), "1");
  }

  img_->show();
  dialogs_->AnswerFile(QString::fromStdString(files_.File("pic.png")));
  img_->ImgFileButton->click();
  EXPECT_EQ(img_->SrcEdit->text(), "pic.png");
  EXPECT_EQ(img_->focusWidget(), img_->SrcEdit);
  ASSERT_EQ(dialogs_->Files.size(), 1u);
  EXPECT_EQ(dialogs_->Files[0].FilterIndex, 2);
  dialogs_->AnswerFile(std::nullopt);
  img_->ImgFileButton->click();
  EXPECT_EQ(img_->SrcEdit->text(), "pic.png");
}

TEST_F(TagDialogsTest, DatetimeIsProposedAtEveryShowWithAFixedZone) {
  EXPECT_EQ(TDatetimeDlg::DatetimeText(QDateTime(QDate(2004, 5, 6), QTime(7, 8, 9))),
            "2004-05-06T07:08:09+9:00");
  datetime_->DatetimeEdit->setText("typed");
  datetime_->CiteEdit->setText("kept");
  datetime_->show();
  QRegularExpression stamp("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\+9:00$");
  EXPECT_TRUE(stamp.match(datetime_->DatetimeEdit->text()).hasMatch())
      << datetime_->DatetimeEdit->text().toStdString();
  EXPECT_EQ(datetime_->CiteEdit->text(), "kept");
}

// The class history: loaded at show, changed by OK, written at every close.
TEST_F(TagDialogsTest, ClassHistoryFollowsTypedNamesAndIsWrittenAtEveryClose) {
  enum How { Type, TypeAndFinish, Choose };
  struct Row {
    bool exists;
    std::string file;  // before
    How how;
    const char* text;
    bool ok;
    const char* list;  // after
    std::string written;
  };
  const Row rows[] = {
      {false, "", Type, "note", true, "note", "note\r\n"},
      {true, "a\r\nnote\r\n", Type, "NOTE", true, "note,a", "note\r\na\r\n"},
      // A typed name counts as typed even when editing ended on an exact match.
      {true, "a\r\nnote\r\n", TypeAndFinish, "note", true, "note,a", "note\r\na\r\n"},
      {true, "a\r\n", Type, "b", true, "a,b", "a\r\nb\r\n"},
      {true, "a\r\n", Type, "b", false, "a", "a\r\n"},
      {true, "a\r\nb\r\n", Choose, "b", true, "a,b", "a\r\nb\r\n"},
      {true, "a\r\n", Type, "", true, "a", "a\r\n"},
      {true, "a\rb\n\r\nc\0d"s, Type, "", true, "a,b,,c", "a\r\nb\r\n\r\nc\r\n"},
      {true, "", Type, "", false, "", ""},
      {true, "\x82\xD0\x82\xE6\r\n", Type, "x", true, "ひよ,x", "\x82\xD0\x82\xE6\r\nx\r\n"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.exists ? Hex(r.file) : "no file");
    std::filesystem::remove(HistoryFile());
    if (r.exists) WriteHistory(r.file);
    class_->ClassCombo->clear();
    class_->show();
    QComboBox* combo = class_->ClassCombo;
    if (r.how == Choose) {
      int i = combo->findText(r.text);
      combo->setCurrentIndex(i);
      emit combo->activated(i);
    } else {
      TypeInto(combo->lineEdit(), U(r.text));
      if (r.how == TypeAndFinish) emit combo->lineEdit()->editingFinished();
    }
    (r.ok ? class_->OKBtn : class_->CancelBtn)->click();
    EXPECT_EQ(class_->ClassList(), Split(r.list));
    EXPECT_EQ(combo->currentText(), U(r.text));  // the command reads the text afterwards
    EXPECT_EQ(Hex(TempDir::Read(HistoryFile())), Hex(r.written));
  }
}

TEST_F(TagDialogsTest, ClassHistoryIsSharedKeepsTheTextAndSurvivesAMissingFile) {
  class_->show();
  TypeInto(class_->ClassCombo->lineEdit(), "x");
  class_->OKBtn->click();
  // The cite dialog sees the class dialog's addition; its own text stays.
  TypeInto(cite_->ClassCombo->lineEdit(), "mine");
  cite_->show();
  EXPECT_EQ(cite_->ClassList(), QStringList{"x"});
  EXPECT_EQ(cite_->ClassCombo->currentText(), "mine");
  cite_->CancelBtn->click();

  std::filesystem::remove(HistoryFile());
  datetime_->ClassCombo->addItems({"kept"});
  datetime_->show();
  EXPECT_EQ(datetime_->ClassList(), QStringList{"kept"});
  datetime_->CancelBtn->click();
  EXPECT_EQ(TempDir::Read(HistoryFile()), "kept\r\n");
}

TEST_F(TagDialogsTest, AHistoryThatCannotBeWrittenIsReportedAndTheDialogStillCloses) {
  std::filesystem::create_directory(HistoryFile());
  class_->ClassCombo->addItems({"a"});
  class_->show();
  EXPECT_EQ(class_->ClassList(), QStringList{"a"});  // not a file: nothing loaded
  class_->OKBtn->click();
  EXPECT_FALSE(class_->isVisible());
  EXPECT_EQ(class_->result(), mrOk);
  ASSERT_EQ(dialogs_->Messages.size(), 1u);
  EXPECT_EQ(dialogs_->Messages[0].Type, TMsgDlgType::mtError);
  EXPECT_TRUE(dialogs_->Messages[0].Text.contains(U("書き込めません")));
}

// The file button with Qt's own dialog: it opens on the image files, not on "all files".
TEST_F(TagDialogsTest, ImageFileButtonOpensARealDialogOnTheImageFilter) {
  struct TRealFileDialog : TScriptedDialogs {
    QString chosen;
    QStringList shown;
    bool FileDialog(TFileDialogRequest& request) override {
      QFileDialog dlg;
      dlg.setOption(QFileDialog::DontUseNativeDialog);
      TQtDialogs::SetUpFileDialog(dlg, request);
      chosen = dlg.selectedNameFilter();
      shown = dlg.nameFilters();
      return false;
    }
  };
  auto owned = std::make_unique<TRealFileDialog>();
  TRealFileDialog& real = *owned;
  auto old = app_->SetDialogs(std::move(owned));
  img_->show();
  img_->ImgFileButton->click();
  auto done = app_->SetDialogs(std::move(old));  // keeps `real` alive
  ASSERT_EQ(real.shown.size(), 2);
  EXPECT_EQ(real.chosen, real.shown[1]);
  EXPECT_EQ(real.chosen, U("画像ファイル (*.jpg *.jpeg *.png *.gif)"));
}
