// The tab strip alone: tab list operations against a model, layout in one row and in several,
// hit testing, selection by click, context menu press and drag in both modes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <random>

#include "app/ui/TabStrip.h"

namespace {

void Send(TTabStrip& s, QEvent::Type type, QPoint pos, Qt::MouseButton button,
          Qt::MouseButtons buttons) {
  QMouseEvent e(type, QPointF(pos), QPointF(s.mapToGlobal(pos)), button, buttons, Qt::NoModifier);
  QApplication::sendEvent(&s, &e);
}

QStringList Names(int n) {
  QStringList names;
  for (int i = 0; i < n; ++i) names << QStringLiteral("Tab&%1").arg(i);
  return names;
}

// Every visible tab is hit at its centre, and visible tabs never overlap.
void ExpectConsistentLayout(const TTabStrip& s) {
  for (int i = 0; i < s.Count(); ++i) {
    QRect r = s.TabRect(i);
    if (r.isEmpty()) continue;
    if (s.MultiLine() || r.center().x() < s.width() - 40) {
      EXPECT_EQ(s.IndexOfTabAt(r.center()), i) << i;
    }
    for (int j = i + 1; j < s.Count(); ++j) {
      if (!s.TabRect(j).isEmpty()) {
        EXPECT_FALSE(r.intersects(s.TabRect(j))) << i << " " << j;
      }
    }
  }
  EXPECT_GT(s.ClientRect().top(), 0);
}

}  // namespace

TEST(TabStripTest, ListOperationsKeepCaptionsAndSelectionLikeAModel) {
  TTabStrip s;
  s.resize(300, 200);
  QStringList model;
  int selected = -1;
  std::mt19937 rng(8);
  int serial = 0;
  for (int step = 0; step < 3000; ++step) {
    int op = static_cast<int>(rng() % 5);
    int n = static_cast<int>(model.size());
    if (op == 0 || n == 0) {
      int at = static_cast<int>(rng() % (n + 1));
      QString c = QString::number(serial++);
      s.Insert(at, c);
      model.insert(at, c);
      if (selected < 0)
        selected = 0;
      else if (at <= selected)
        ++selected;
    } else if (op == 1) {
      int at = static_cast<int>(rng() % n);
      s.Delete(at);
      model.removeAt(at);
      if (model.isEmpty())
        selected = -1;
      else if (at < selected || selected >= model.size())
        --selected;
    } else if (op == 2) {
      int from = static_cast<int>(rng() % n), to = static_cast<int>(rng() % n);
      QString selectedCaption = model[selected];
      s.Move(from, to);
      model.move(from, to);
      // The selection follows its tab, whichever tab moved.
      if (from != to) selected = static_cast<int>(model.indexOf(selectedCaption));
    } else if (op == 3) {
      int at = static_cast<int>(rng() % n);
      s.SetTabIndex(at);
      selected = at;
    } else {
      s.SetMultiLine(!s.MultiLine());
    }
    ASSERT_EQ(s.Captions(), model) << step;
    ASSERT_EQ(s.TabIndex(), selected) << step;
  }
}

TEST(TabStripTest, MultiLineWrapsIntoRowsThatGrowAsTheStripNarrows) {
  TTabStrip s;
  for (const QString& n : Names(20)) s.Add(n);
  s.SetMultiLine(true);
  s.resize(600, 300);
  s.show();
  int wideRows = s.RowCount();
  EXPECT_GT(wideRows, 1);
  ExpectConsistentLayout(s);
  s.resize(250, 300);
  EXPECT_GT(s.RowCount(), wideRows);
  ExpectConsistentLayout(s);
  for (int i = 0; i < s.Count(); ++i) EXPECT_FALSE(s.TabRect(i).isEmpty()) << i;
  // The selected tab's row turns to the bottom, next to the client area, and the rows keep
  // their cyclic order.
  for (int selected : {0, 7, 19, 12}) {
    s.SetTabIndex(selected);
    int bottom = 0;
    for (int i = 0; i < s.Count(); ++i) bottom = std::max(bottom, s.TabRect(i).bottom());
    EXPECT_EQ(s.TabRect(selected).bottom(), bottom) << selected;
    EXPECT_GE(s.ClientRect().top(), bottom);
    if (selected + 1 < s.Count() && s.TabRect(selected + 1).top() != s.TabRect(selected).top()) {
      EXPECT_LT(s.TabRect(selected + 1).top(), s.TabRect(selected).top());
    }
    ExpectConsistentLayout(s);
  }
  // Back to one row.
  s.SetMultiLine(false);
  EXPECT_EQ(s.RowCount(), 1);
  ExpectConsistentLayout(s);
}

TEST(TabStripTest, OneRowScrollsToKeepTheSelectedTabInView) {
  TTabStrip s;
  for (const QString& n : Names(30)) s.Add(n);
  s.resize(300, 200);
  s.show();
  EXPECT_TRUE(s.TabRect(29).isEmpty());
  s.SetTabIndex(29);
  EXPECT_FALSE(s.TabRect(29).isEmpty());
  EXPECT_GT(s.FirstVisibleTab(), 0);
  ExpectConsistentLayout(s);
  s.SetTabIndex(0);
  EXPECT_EQ(s.FirstVisibleTab(), 0);
  s.ScrollTabs(3);
  EXPECT_EQ(s.FirstVisibleTab(), 3);
  EXPECT_EQ(s.IndexOfTabAt(s.TabRect(3).center()), 3);
  // Wide enough for all: no scrolling.
  s.resize(5000, 200);
  EXPECT_EQ(s.FirstVisibleTab(), 0);
  for (int i = 0; i < 30; ++i) EXPECT_FALSE(s.TabRect(i).isEmpty());
}

TEST(TabStripTest, ClickSelectsAndDragDropsInBothModes) {
  for (bool multi : {false, true}) {
    SCOPED_TRACE(multi);
    TTabStrip s;
    for (const QString& n : Names(12)) s.Add(n);
    s.SetMultiLine(multi);
    s.resize(400, 300);
    s.show();
    QStringList events;
    s.OnChanging = [&](TTabStrip* t, bool&) {
      events << QString("changing %1").arg(t->TabIndex());
    };
    s.OnChange = [&](TTabStrip* t) { events << QString("change %1").arg(t->TabIndex()); };
    s.OnMouseDown = [&](TTabStrip* t, Qt::MouseButton b, QPoint) {
      events << QString("down %1").arg(t->TabIndex());
      if (b == Qt::LeftButton) t->BeginDrag(5);
    };
    s.OnDragOver = [&](TTabStrip* t, QPoint p, bool& accept) { accept = t->IndexOfTabAt(p) >= 0; };
    int dropped = -1;
    s.OnDragDrop = [&](TTabStrip* t, QPoint p) { dropped = t->IndexOfTabAt(p); };

    QPoint from = s.TabRect(2).center(), to = s.TabRect(5).center();
    Send(s, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    // The press selects before the mouse-down handler runs.
    EXPECT_EQ(events, (QStringList{"changing 0", "change 2", "down 2"}));
    Send(s, QEvent::MouseMove, from + QPoint(0, 2), Qt::NoButton, Qt::LeftButton);
    EXPECT_FALSE(s.Dragging());
    Send(s, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
    EXPECT_TRUE(s.Dragging());
    EXPECT_TRUE(s.DragAccepted());
    Send(s, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(dropped, 5);
    EXPECT_FALSE(s.Dragging());

    // A right press selects nothing; a drop into the client area is refused without asking.
    events.clear();
    Send(s, QEvent::MouseButtonPress, to, Qt::RightButton, Qt::RightButton);
    EXPECT_EQ(events, QStringList{"down 2"});
    dropped = -1;
    Send(s, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    Send(s, QEvent::MouseMove, s.ClientRect().center(), Qt::NoButton, Qt::LeftButton);
    EXPECT_FALSE(s.DragAccepted());
    Send(s, QEvent::MouseButtonRelease, s.ClientRect().center(), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(dropped, -1);
  }
}

TEST(TabStripTest, ClientFillsTheAreaBelowTheTabs) {
  TTabStrip s;
  QWidget client;
  s.Add("Page&0");
  s.SetClient(&client);
  s.resize(320, 240);
  s.show();
  EXPECT_EQ(client.parentWidget(), &s);
  EXPECT_EQ(client.geometry(), s.ClientRect());
  EXPECT_GT(client.height(), 150);
  client.setParent(nullptr);
}

TEST(TabStripTest, RowsThatWouldSqueezeTheClientScrollInstead) {
  TTabStrip s;
  for (const QString& n : Names(60)) s.Add(n);
  s.SetMultiLine(true);
  s.SetMinClientHeight(80);
  s.resize(260, 200);
  s.show();
  ASSERT_GT(s.RowCount(), s.VisibleRowCount());
  EXPECT_GE(s.VisibleRowCount(), 1);
  EXPECT_GE(s.ClientRect().height(), 80);
  ExpectConsistentLayout(s);
  auto shown = [&] {
    int n = 0;
    for (int i = 0; i < s.Count(); ++i) n += s.TabRect(i).isEmpty() ? 0 : 1;
    return n;
  };
  const int inView = shown();
  EXPECT_LT(inView, s.Count());
  // The selected tab's row sits on the client; scrolling brings the far rows in and back.
  s.SetTabIndex(30);
  ASSERT_FALSE(s.TabRect(30).isEmpty());
  const int lastRows = s.RowCount() - s.VisibleRowCount();
  for (int step = 0; step < lastRows; ++step) s.ScrollTabs(-1);
  EXPECT_TRUE(s.TabRect(30).isEmpty());
  ExpectConsistentLayout(s);
  std::vector<bool> seen(s.Count(), false);
  for (int step = 0; step <= lastRows; ++step) {
    for (int i = 0; i < s.Count(); ++i)
      if (!s.TabRect(i).isEmpty()) seen[i] = true;
    s.ScrollTabs(1);
  }
  for (int i = 0; i < s.Count(); ++i) EXPECT_TRUE(seen[i]) << i;
  EXPECT_FALSE(s.TabRect(30).isEmpty());
  // A press on a far row selects that tab; on release its row comes to the client.
  s.ScrollTabs(-lastRows);
  int far = -1;
  for (int i = 0; i < s.Count() && far < 0; ++i)
    if (!s.TabRect(i).isEmpty()) far = i;
  ASSERT_GE(far, 0);
  Send(s, QEvent::MouseButtonPress, s.TabRect(far).center(), Qt::LeftButton, Qt::LeftButton);
  Send(s, QEvent::MouseButtonRelease, s.TabRect(far).center(), Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(s.TabIndex(), far);
  int bottom = 0;
  for (int i = 0; i < s.Count(); ++i)
    if (!s.TabRect(i).isEmpty()) bottom = std::max(bottom, s.TabRect(i).bottom());
  EXPECT_EQ(s.TabRect(far).bottom(), bottom);
  // Tall enough: every row shows again.
  s.resize(260, 2000);
  EXPECT_EQ(s.VisibleRowCount(), s.RowCount());
  EXPECT_EQ(shown(), s.Count());
}
