// The undo history alone: commands, the byte budget and moving steps between the lists.
#include <gtest/gtest.h>

#include "FenEdit/UndoHistory.h"

namespace {

using R = TUndoHistory::TRecorded;

TEST(UndoHistory, BudgetDropsOldestWholeCommandsAndKeepsTheNewestWhole) {
  TUndoHistory h;
  h.SetBudget(6);
  h.BeginGroup();
  EXPECT_EQ(R::Stored, h.Record(TUndoKind::Removed, "abc", {0, 0}));
  EXPECT_EQ(R::Stored, h.Record(TUndoKind::Inserted, "de", {0, 0}));
  h.EndGroup();
  EXPECT_EQ(2u, h.Undos().size());
  EXPECT_FALSE(h.Truncated());
  // Seven bytes in all: the two-step command goes as a whole.
  EXPECT_EQ(R::Stored, h.Record(TUndoKind::Inserted, "fg", {1, 0}));
  ASSERT_EQ(1u, h.Undos().size());
  EXPECT_EQ("fg", h.Undos()[0].Text);
  EXPECT_EQ(2u, h.UndoTotal());
  EXPECT_TRUE(h.Truncated());
  // A command larger than the budget stays, alone.
  h.BeginGroup();
  h.Record(TUndoKind::Removed, "hijk", {0, 1});
  h.Record(TUndoKind::Inserted, "lmn", {0, 1});
  h.EndGroup();
  EXPECT_EQ(2u, h.Undos().size());
  EXPECT_EQ(7u, h.UndoTotal());
  EXPECT_TRUE(h.FrontCommandHasSeveral(true));
}

TEST(UndoHistory, StepsMoveBetweenTheListsAsTheirReverse) {
  TUndoHistory h;
  h.Record(TUndoKind::Backspaced, "x", {3, 2});
  ASSERT_TRUE(h.CanUndo());
  ASSERT_TRUE(h.MoveFront(true, TUndoKind::Inserted));
  EXPECT_FALSE(h.CanUndo());
  ASSERT_TRUE(h.CanRedo());
  const TUndoStep& s = h.Redos().front();
  EXPECT_EQ(TUndoKind::Inserted, s.Kind);
  EXPECT_EQ(3, s.Offset);
  EXPECT_EQ(2, s.Line);
  EXPECT_EQ(1u, h.RedoTotal());
  EXPECT_EQ(0u, h.UndoTotal());
  // Redo is announced once, and dropping it reports that it had been.
  EXPECT_TRUE(h.AnnounceRedo());
  EXPECT_FALSE(h.AnnounceRedo());
  EXPECT_TRUE(h.DropRedo());
  EXPECT_FALSE(h.CanRedo());
  EXPECT_FALSE(h.DropRedo());
}

TEST(UndoHistory, NoBudgetMeansNothingToUndo) {
  TUndoHistory h;
  h.Record(TUndoKind::Inserted, "a", {0, 0});
  h.SetBudget(-5);
  EXPECT_EQ(0, h.Budget());
  EXPECT_FALSE(h.CanUndo());
  h.Clear();
  EXPECT_TRUE(h.Undos().empty());
  EXPECT_FALSE(h.Truncated());
}

}  // namespace
