// The tag commands through the main window, their dialogs answered by the test.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <functional>

#include "app/ui/FormControls.h"
#include "app/ui/MainFormFixture.h"
#include "markup/ui/TagDialogs.h"

namespace {

class TagCommandsTest : public MainFormTest {
 protected:
  void SetUp() override {
    MainFormTest::SetUp();
    Start();
    app_->CreateForm<TFontDlg>();
    app_->CreateForm<TLinkDlg>();
    app_->CreateForm<TClassDLG>();
    app_->CreateForm<TCiteDlg>();
    app_->CreateForm<TDatetimeDlg>();
    app_->CreateForm<TImgDlg>();
    app_->CreateForm<TRubyDlg>();
  }
  void TearDown() override {
    End();
    MainFormTest::TearDown();
  }
  TFenEdit& Edit() const { return *form_->FenEdit1; }
};

using Answer = std::function<int(QDialog&)>;

Answer Class(const char* name, int result = mrOk) {
  return [=](QDialog&) {
    ClassDLG->ClassCombo->setEditText(name);
    return result;
  };
}

Answer Datetime(const char* cite, const char* stamp, const char* name) {
  return [=](QDialog&) {
    DatetimeDlg->CiteEdit->setText(cite);
    DatetimeDlg->DatetimeEdit->setText(stamp);
    DatetimeDlg->ClassCombo->setEditText(name);
    return int(mrOk);
  };
}

Answer Font(const char* color, const char* face, const char* size) {
  return [=](QDialog&) {
    FontDlg->ColorCheck->setChecked(color != nullptr);
    if (color) FontDlg->ColorCombo->setEditText(color);
    FontDlg->FontCheck->setChecked(face != nullptr);
    if (face) FontDlg->FontEdit->setText(face);
    FontDlg->SizeCheck->setChecked(size != nullptr);
    if (size) FontDlg->SizeCombo->setCurrentText(size);
    return int(mrOk);
  };
}

Answer Img(const char* src, const char* alt, const char* height, const char* width) {
  return [=](QDialog&) {
    ImgDlg->SrcEdit->setText(src);
    ImgDlg->AltEdit->setText(alt);
    ImgDlg->HeightEdit->setText(height);
    ImgDlg->WidthEdit->setText(width);
    return int(mrOk);
  };
}

}  // namespace

// Each command on a text whose bytes [from, to) of the first row are selected (from == to:
// the caret only). The result is one edit, undone at once; the caret ends after the insertion.
TEST_F(TagCommandsTest, CommandsWrapOrReplaceTheSelection) {
  struct Row {
    const char* action;
    const char* text;
    int from, to;
    Answer answer;        // empty: the command shows no dialog
    const char* caption;  // of the dialog, when it matters
    const char* result;
    int caret;  // byte after the command; -1: the end of the result
  };
  const Row rows[] = {
      {"HtmlB", "abc", 0, 3, {}, nullptr, "<b>abc</b>", -1},
      {"HtmlI", "xy", 1, 1, {}, nullptr, "x<i></i>y", 8},
      {"HtmlH3", "abc", 0, 3, {}, nullptr, "<h3>abc</h3>", -1},
      {"HtmlCenter", "abc", 1, 2, {}, nullptr, "a<center>b</center>c", 19},
      {"HtmlP", "abc", 0, 3, Class("note"), "<p>タグの挿入", "<p class=\"note\">abc</p>", -1},
      {"HtmlP", "abc", 0, 3, Class(""), nullptr, "<p>abc</p>", -1},
      {"TagCite", "abc", 0, 3, Class(""), "<cite>タグの挿入", "<cite>abc</cite>", -1},
      {"HtmlBlockquote", "abc", 0, 3, [](QDialog&) { return int(mrOk); }, "<blockquote>タグの挿入",
       "<blockquote cite=\"http://\">abc</blockquote>", -1},
      {"HtmlDel", "abc", 0, 3, Datetime("", "2001-02-03T04:05:06+9:00", "x"), "<del>タグの挿入",
       "<del datetime=\"2001-02-03T04:05:06+9:00\" class=\"x\">abc</del>", -1},
      {"HtmlIns", "abc", 0, 3, Datetime("u\"v", "t", "c"), "<ins>タグの挿入",
       "<ins cite=\"u\"v\" datetime=\"t\" class=\"c\">abc</ins>", -1},
      {"HTMLBr", "abc", 0, 3, Class(""), "<br />タグの挿入", "abc<br />", -1},
      {"HTMLBr", "xy", 1, 1, Class("c"), nullptr, "x<br class=\"c\" />y", 17},
      {"HtmlF", "abc", 0, 3, Font("red", nullptr, nullptr), nullptr, "<font color=red>abc</font>",
       -1},
      {"HtmlF", "abc", 0, 3, Font(nullptr, nullptr, nullptr), nullptr, "<font>abc</font>", -1},
      {"HtmlF", "abc", 0, 3, Font("#ff0000", "ＭＳ 明朝", "7"), nullptr,
       "<font color=#ff0000 face=\"ＭＳ 明朝\" size=7>abc</font>", -1},
      {"HtmlA", "abc", 0, 3,
       [](QDialog&) {
         LinkDlg->RadioGroup1->Button(1)->click();
         return int(mrOk);
       },
       nullptr, "<a href=\"mailto:\">abc</a>", -1},
      {"HtmlRuby", "漢字", 0, 4,
       [](QDialog&) {
         RubyDlg->RubyEdit->setText(U("かんじ"));
         return int(mrOk);
       },
       nullptr, "<ruby><rb>漢字</rb><rp>（</rp><rt>かんじ</rt><rp>）</rp></ruby>", -1},
      {"HtmlImg", "xyz", 0, 3, Img("a.png", "", "10", ""), nullptr,
       "<img src=\"a.png\" height=\"10\" width=\"\" />", -1},
      {"HtmlImg", "xy", 1, 1, Img("b.gif", "q\"", "", "5"), nullptr,
       "x<img src=\"b.gif\" alt=\"q\"\" height=\"\" width=\"5\" />y", 49},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.action) + " -> " + r.result);
    std::string text = Sjis(r.text);
    Editor().SetText(text);
    Edit().SetSel(r.from, 0, 0, r.to);
    int shown = dialogs_->Modals.size();
    QString caption;
    if (r.answer) {
      dialogs_->AnswerModal([&](QDialog& d) {
        caption = d.windowTitle();
        return r.answer(d);
      });
    }
    Trigger(r.action);
    std::string result = Sjis(r.result);
    EXPECT_EQ(Edit().GetText(), result);
    EXPECT_EQ(dialogs_->Modals.size(), shown + (r.answer ? 1 : 0));
    if (r.caption) {
      EXPECT_EQ(caption, U(r.caption));
    }
    EXPECT_FALSE(Edit().IsSelected());
    EXPECT_EQ(Edit().CaretByte(), r.caret < 0 ? int(result.size()) : r.caret);
    Edit().Undo();
    EXPECT_EQ(Edit().GetText(), text);
  }
  EXPECT_EQ(dialogs_->Unexpected, 0);
}

TEST_F(TagCommandsTest, ACancelledDialogChangesNothing) {
  for (const char* action :
       {"HtmlF", "HtmlA", "HtmlP", "HtmlBlockquote", "HtmlDel", "HTMLBr", "HtmlRuby", "HtmlImg"}) {
    SCOPED_TRACE(action);
    Editor().SetText("abcd");
    Edit().SetSel(1, 0, 0, 3);
    dialogs_->AnswerModal([](QDialog&) { return int(mrCancel); });
    Trigger(action);
    EXPECT_EQ(Edit().GetText(), "abcd");
    EXPECT_EQ(Edit().GetSelText(), "bc");
    EXPECT_EQ(Edit().CaretByte(), 3);
  }
  EXPECT_EQ(dialogs_->Unexpected, 0);
}

TEST_F(TagCommandsTest, BulletinBoardModeRestrictsTheTagSet) {
  const char* restricted[] = {"HtmlA",      "HtmlDel",  "HtmlBlockquote", "HtmlP",
                              "HtmlDiv",    "HtmlSpan", "HtmlIns",        "HtmlEm",
                              "HtmlStrong", "HtmlImg",  "HtmlPre",        "HtmlRuby"};
  const char* always[] = {"HtmlB", "HtmlI",  "HtmlU",  "HtmlBig", "HtmlSmall", "HtmlCenter",
                          "HtmlF", "HtmlH1", "HtmlH7", "HTMLBr",  "TagCite"};
  for (bool sega : {true, false}) {
    SCOPED_TRACE(sega ? "board" : "free");
    form_->SegaBbsMode = sega;
    for (const char* a : restricted) EXPECT_EQ(Enabled(a), !sega) << a;
    for (const char* a : always) EXPECT_TRUE(Enabled(a)) << a;
  }

  // The font dialog offers no face names on the board; off the board the box keeps its tick.
  FontDlg->FontCheck->setChecked(true);
  bool checked = true, enabled = true, editEnabled = true;
  auto look = [&](QDialog&) {
    checked = FontDlg->FontCheck->isChecked();
    enabled = FontDlg->FontCheck->isEnabled();
    editEnabled = FontDlg->FontEdit->isEnabled();
    return int(mrCancel);
  };
  form_->SegaBbsMode = true;
  dialogs_->AnswerModal(look);
  Trigger("HtmlF");
  EXPECT_FALSE(checked);
  EXPECT_FALSE(enabled);
  EXPECT_FALSE(editEnabled);

  form_->SegaBbsMode = false;
  FontDlg->FontCheck->setEnabled(true);
  FontDlg->FontCheck->setChecked(true);
  FontDlg->FontCheck->setEnabled(false);
  dialogs_->AnswerModal(look);
  Trigger("HtmlF");
  EXPECT_TRUE(checked);
  EXPECT_TRUE(enabled);
  EXPECT_TRUE(editEnabled);
}
