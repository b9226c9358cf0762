// Moving a whole text out of the editor and back: the rows travel as they are, the editor
// shows it as SetText would, and a layout made for other settings is made again.
#include <gtest/gtest.h>

#include "FenEdit/FenEdit.h"

namespace {

const std::string kNul2(2, '\0');
const std::string kA = "\x82\xa0";  // あ

std::vector<std::string> Rows(const TFenEdit& e) {
  std::vector<std::string> out;
  for (int i = 0; i < e.GetStore().Count(); ++i) out.emplace_back(e.GetStore().Get(i));
  return out;
}

std::string Text(int lines) {
  std::string t;
  for (int i = 0; i < lines; ++i) t += "line " + std::to_string(i) + " " + kA + kA + kA + "\r\n";
  return t + "end";
}

}  // namespace

TEST(FenEditDocument, TakingLeavesTheEditorEmptyAndPuttingBackShowsTheSameRows) {
  TFenEdit e;
  e.SetColumn(8);
  const std::string text = Text(50);
  e.SetText(text);
  const std::vector<std::string> rows = Rows(e);
  ASSERT_GT(rows.size(), 51u);  // lines longer than 8 bytes were cut

  TFenDocument doc = e.TakeDocument();
  EXPECT_EQ(std::vector<std::string>{kNul2}, Rows(e));
  EXPECT_EQ("", e.GetText());
  EXPECT_EQ("", e.CheckInvariants());
  EXPECT_EQ(text.size(), doc.TextLength());
  EXPECT_EQ(text, doc.Text());

  // Another text in between, then the first one back.
  e.SetText("other");
  EXPECT_FALSE(e.NeedsLayout(doc));
  e.PutDocument(std::move(doc));
  EXPECT_EQ(rows, Rows(e));
  EXPECT_EQ(text, e.GetText());
  EXPECT_EQ("", e.CheckInvariants());
}

TEST(FenEditDocument, PuttingBackBehavesAsSetText) {
  TFenEdit e;
  e.SetText("abc\r\ndef");
  e.TypeText("xy");
  e.SelectAll();
  TFenDocument doc = e.TakeDocument();
  EXPECT_FALSE(e.CanUndo());
  EXPECT_FALSE(e.Modified());

  e.SetText("zz");
  e.TypeText("q");
  ASSERT_TRUE(e.CanUndo());
  e.PutDocument(std::move(doc));
  EXPECT_EQ("xyabc\r\ndef", e.GetText());
  EXPECT_FALSE(e.CanUndo());
  EXPECT_FALSE(e.CanRedo());
  EXPECT_FALSE(e.Modified());
  EXPECT_FALSE(e.IsSelected());
  EXPECT_EQ(0, e.CaretRow());
  EXPECT_EQ(0, e.CaretByte());
  // Edits go on as in any text.
  e.TypeText("!");
  EXPECT_EQ("!xyabc\r\ndef", e.GetText());
}

TEST(FenEditDocument, ALayoutForOtherSettingsIsMadeAgain) {
  const std::string text = Text(20);
  TFenEdit want;  // what SetText gives under the new settings
  want.SetColumn(5);
  want.SetText(text);

  TFenEdit e;
  e.SetColumn(12);
  e.SetText(text);
  TFenDocument doc = e.TakeDocument();
  e.SetColumn(5);
  EXPECT_TRUE(e.NeedsLayout(doc));
  e.PutDocument(std::move(doc));
  EXPECT_EQ(Rows(want), Rows(e));
  EXPECT_EQ(text, e.GetText());

  // Turning wrapping off joins the rows into lines; a text taken without wrapping does not
  // care for the width.
  doc = e.TakeDocument();
  e.SetWordWrap(false);
  EXPECT_TRUE(e.NeedsLayout(doc));
  e.PutDocument(std::move(doc));
  EXPECT_EQ(21, e.GetStore().Count());
  EXPECT_EQ(text, e.GetText());
  doc = e.TakeDocument();
  e.SetColumn(30);
  EXPECT_FALSE(e.NeedsLayout(doc));
  e.PutDocument(std::move(doc));
  EXPECT_EQ(text, e.GetText());
}

TEST(FenEditDocument, AnEmptyDocumentClearsTheEditor) {
  TFenEdit e;
  e.SetText("abc");
  TFenDocument none;
  EXPECT_EQ(0u, none.TextLength());
  EXPECT_EQ("", none.Text());
  EXPECT_FALSE(e.NeedsLayout(none));
  e.PutDocument(std::move(none));
  EXPECT_EQ("", e.GetText());
  EXPECT_EQ("", e.CheckInvariants());
}
