// The find and replace dialogs driving the editor's search, and the messages that follow.
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "MainFormFixture.h"
#include "app/ui/FindDialogs.h"

namespace {

class SearchTest : public MainFormTest {
 protected:
  TFenEdit& E() { return Editor().Control(); }
  void Find(const QString& text, bool down = true) {
    form_->FindDialog1->SetFindText(text);
    form_->FindDialog1->SetDown(down);
    form_->FindDialog1->FindNextButton->click();
  }
  TFenEdit::TSearchHit Hit() { return E().CurrentHit(); }
  QStringList Messages() {
    QStringList out;
    for (const TMessageRequest& m : dialogs_->Messages) out << m.Text;
    dialogs_->Messages.clear();
    return out;
  }
};

}  // namespace

TEST_F(SearchTest, FindNextGoesOnAndANewTextStartsAtTheTop) {
  Start();
  Trigger("SearchFind");
  EXPECT_TRUE(form_->FindDialog1->isVisible());
  EXPECT_FALSE(form_->FindDialog1->FindNextButton->isEnabled());  // nothing to find yet
  Editor().SetText("abc abd abc abd");
  Find("abc");
  EXPECT_EQ((TFenEdit::TSearchHit{0, 0, 3}), Hit());
  EXPECT_TRUE(E().HitHighlighted());
  EXPECT_EQ(clYellow, E().HitColor());
  Find("abc");
  EXPECT_EQ((TFenEdit::TSearchHit{8, 0, 3}), Hit());
  Find("abd");  // a new text: from the top again
  EXPECT_EQ((TFenEdit::TSearchHit{4, 0, 3}), Hit());
  EXPECT_EQ(Sjis("abd"), form_->LastFindText);

  // Up with a new text still finds the first occurrence; then it goes backward.
  Find("abc", false);
  EXPECT_EQ(0, Hit().Byte);
  Find("abd", false);
  EXPECT_EQ(4, Hit().Byte);
  Find("abd", true);
  EXPECT_EQ(12, Hit().Byte);
  Find("abd", false);
  EXPECT_EQ(4, Hit().Byte);
  EXPECT_TRUE(Messages().isEmpty());
}

TEST_F(SearchTest, AMissNamesTheTextAndHalvesOfCharactersAreNotFound) {
  Start();
  // 亜亜 is 88 9F 88 9F; 汕 is 9F 88, the tail of one and the head of the next.
  Editor().SetText(Sjis("亜亜"));
  Find(U("汕"));
  Find(U("う"));
  QStringList m = Messages();
  ASSERT_EQ(2, m.size());
  EXPECT_EQ(U("「汕」は見つかりませんでした。"), m[0]);
  EXPECT_EQ(U("「う」は見つかりませんでした。"), m[1]);
  EXPECT_FALSE(E().HitHighlighted());
}

TEST_F(SearchTest, ReplaceAsksFromTheTopAndReplaceAllGoesFromTheCaret) {
  Start();
  Trigger("SearchReplace");
  TReplaceDialog& d = *form_->ReplaceDialog1;
  EXPECT_TRUE(d.isVisible());
  d.SetFindText("ab");
  d.SetReplaceText("X");

  // Replace: from the top, whatever the caret, each one asked.
  Editor().SetText("ab ab ab ab");
  E().GotoPos(6, 0, TCaretPlacement::Minimal);
  dialogs_->AnswerMessage(mrYes);
  dialogs_->AnswerMessage(mrNo);
  dialogs_->AnswerMessage(mrAll);  // the rest without asking
  d.ReplaceButton->click();
  EXPECT_EQ("X ab X X", Editor().GetText());
  QStringList m = Messages();
  ASSERT_EQ(4, m.size());
  EXPECT_EQ(U("置換しますか？"), m[0]);
  EXPECT_EQ(U("3 個置換しました。"), m[3]);
  EXPECT_TRUE(E().CanUndo());

  // A question closed without its buttons (Escape, the close box) skips that one only.
  Editor().SetText("ab ab");
  dialogs_->AnswerMessage(mrCancel);
  dialogs_->AnswerMessage(mrYes);
  d.ReplaceButton->click();
  EXPECT_EQ("ab X", Editor().GetText());
  EXPECT_EQ(U("1 個置換しました。"), Messages().last());

  // Abort stops at once.
  Editor().SetText("ab ab");
  dialogs_->AnswerMessage(mrAbort);
  d.ReplaceButton->click();
  EXPECT_EQ("ab ab", Editor().GetText());
  EXPECT_EQ(U("0 個置換しました。"), Messages().last());

  // Replace all: from the caret on, the occurrences above stay.
  Editor().SetText("ab ab ab ab");
  E().GotoPos(4, 0, TCaretPlacement::Minimal);
  d.ReplaceAllButton->click();
  EXPECT_EQ("ab ab X X", Editor().GetText());
  EXPECT_EQ((QStringList{U("2 個置換しました。")}), Messages());
  Editor().SetText("none here");
  d.ReplaceAllButton->click();
  EXPECT_EQ((QStringList{U("0 個置換しました。")}), Messages());
  EXPECT_EQ("", form_->LastFindText);  // replacing is not a search
}

TEST_F(SearchTest, FindNextInTheReplaceDialogAlwaysGoesForward) {
  Start();
  TReplaceDialog& d = *form_->ReplaceDialog1;
  Editor().SetText("ab ab");
  d.SetFindText("ab");
  d.FindNextButton->click();
  EXPECT_EQ(0, Hit().Byte);
  d.FindNextButton->click();
  EXPECT_EQ(3, Hit().Byte);
  d.FindNextButton->click();  // past the last one: the miss is reported
  EXPECT_EQ((QStringList{U("「ab」は見つかりませんでした。")}), Messages());
}
